#include "viewer/VideoSurface.h"

#include <QMouseEvent>
#include <QVideoFrame>
#include <QVideoSink>

namespace {

int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
        | (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

VideoSurface::VideoSurface(QWidget *parent)
    : QVideoWidget(parent)
{
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackColor(m_backColor);
    applyAspect();
    connect(videoSink(), &QVideoSink::videoFrameChanged, this, &VideoSurface::onFrame);
}

void VideoSurface::Move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                        std::optional<int> height)
{
    setGeometry(left.value_or(x()), top.value_or(y()), width.value_or(QWidget::width()),
                height.value_or(QWidget::height()));
}

void VideoSurface::setFitToSize()
{
    m_autoSize = false;
    setDisplaySize(4);
}

void VideoSurface::setAutoSize(bool on)
{
    m_autoSize = on;
    if (on && m_frameSize.isValid())
        resize(m_frameSize);
}

void VideoSurface::setDisplaySize(int size)
{
    m_displaySize = size;
    applyAspect();
}

void VideoSurface::setKeepAspectRatio(bool keep)
{
    m_keepAspect = keep;
    applyAspect();
}

void VideoSurface::applyAspect()
{
    // At display size 0 the surface has the frames' own size, so no scaling shows either way.
    setAspectRatioMode(m_displaySize == 4 && !m_keepAspect ? Qt::IgnoreAspectRatio
                                                           : Qt::KeepAspectRatio);
}

void VideoSurface::setBackColor(const QColor &color)
{
    m_backColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

void VideoSurface::forgetFrames()
{
    m_frameSize = QSize();
}

void VideoSurface::onFrame(const QVideoFrame &frame)
{
    if (!frame.isValid())
        return;
    const QSize size = frame.size();
    if (size == m_frameSize || size.isEmpty())
        return;
    m_frameSize = size;
    if (m_autoSize)
        resize(size);
    emit frameSizeChanged(size);
}

void VideoSurface::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()),
                   event->position().toPoint().x(), event->position().toPoint().y());
}

void VideoSurface::mouseMoveEvent(QMouseEvent *event)
{
    emit MouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()),
                   event->position().toPoint().x(), event->position().toPoint().y());
}

void VideoSurface::mouseReleaseEvent(QMouseEvent *event)
{
    emit MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()),
                 event->position().toPoint().x(), event->position().toPoint().y());
}
