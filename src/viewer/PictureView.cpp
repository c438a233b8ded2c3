#include "viewer/PictureView.h"

#include <QPainter>
#include <QResizeEvent>

PictureView::PictureView(QWidget *parent)
    : QWidget(parent)
{
    // The canvas covers the whole widget; nothing beneath needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PictureView::setBackColor(const QColor &color)
{
    m_backColor = color;
}

void PictureView::paintEvent(QPaintEvent *event)
{
    ensureCanvas();
    QPainter painter(this);
    if (m_canvas.isNull())
        painter.fillRect(rect(), m_backColor);
    else
        painter.drawImage(event->rect().topLeft(), m_canvas, event->rect());
    painter.end();
    emit painted();
}

QImage &PictureView::canvas()
{
    ensureCanvas();
    return m_canvas;
}

void PictureView::ensureCanvas()
{
    if (size().isEmpty()) {
        m_canvas = QImage();
        return;
    }
    if (m_canvas.size() == size())
        return;
    // A new canvas starts as background; the surface draws into it again after the layout.
    m_canvas = QImage(size(), QImage::Format_RGB32);
    if (!m_canvas.isNull())
        m_canvas.fill(m_backColor);
}

void PictureView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ensureCanvas();
}

void PictureView::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    emit mouseMoved();
}
