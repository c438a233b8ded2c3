#include "viewer/picture/DeferredDecode.h"

#include "viewer/picture/PictureView.h"

DeferredDecode::DeferredDecode(PictureView *view, std::function<void(const QString &)> start,
                               QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_start(std::move(start))
{
    m_wait.setSingleShot(true);
    m_wait.setInterval(longestWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &DeferredDecode::startWaiting);
    // Queued: the painted area is put on screen right after the paint event.
    connect(m_view, &PictureView::painted, this, &DeferredDecode::startWaiting,
            Qt::QueuedConnection);
}

void DeferredDecode::request(const QString &path)
{
    m_path = path;
    if (m_held)
        return;
    if (m_view->isPaintDue())
        m_wait.start();
    else
        startWaiting();
}

void DeferredDecode::cancel()
{
    m_path.clear();
    m_wait.stop();
}

void DeferredDecode::setHeld(bool held)
{
    m_held = held;
    m_wait.stop();
    if (!held && !m_path.isEmpty())
        request(m_path);
}

void DeferredDecode::startWaiting()
{
    m_wait.stop();
    if (!m_held && !m_path.isEmpty())
        m_start(std::exchange(m_path, QString()));
}
