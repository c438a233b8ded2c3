#include "controller/window/CornerPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

CornerPlacement::CornerPlacement(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    m_window.installEventFilter(this);
}

void CornerPlacement::place()
{
    placeNow();
}

void CornerPlacement::placeNow()
{
    const QScreen *s = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    if (m_window.isMinimized()) {
        m_placeWhenRestored = true;
        return;
    }
    // Before the window is shown its width may still be below the layout's minimum, which it
    // gets when shown, and its frame counts as nothing.
    const int frameWidth = m_window.frameGeometry().width() - m_window.width();
    const int w
        = qMax(qMax(m_window.width(), m_window.minimumWidth()), m_window.minimumSizeHint().width());
    const QRect work = s->availableGeometry();
    m_window.move(work.right() + 1 - w - frameWidth, work.top());
}

void CornerPlacement::placeWhenFramed()
{
    // Without a frame after ten seconds there is none.
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll, tries = 0]() mutable {
        if (m_window.frameGeometry() == m_window.geometry() && ++tries < 500
            && !m_window.isMinimized())
            return;
        placeNow();
        poll->deleteLater();
    });
    poll->start(20);
}

bool CornerPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::Show) {
            placeWhenFramed();
        } else if (event->type() == QEvent::WindowStateChange && m_placeWhenRestored
                   && !m_window.isMinimized() && m_window.isVisible()) {
            m_placeWhenRestored = false;
            QTimer::singleShot(0, this, [this] { placeNow(); });
        }
    }
    return QObject::eventFilter(watched, event);
}
