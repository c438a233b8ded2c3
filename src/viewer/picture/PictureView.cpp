#include "viewer/picture/PictureView.h"

#include "core/FileDropFilter.h"

#include <QDragEnterEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

PictureView::PictureView(QWidget *parent)
    : MouseReportingWidget(parent)
{
    // The canvas covers the whole widget; nothing beneath needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Only to see drags pass over the area; nothing is ever dropped here.
    setAcceptDrops(true);
}

void PictureView::setBackColor(const QColor &color)
{
    m_backColor = color;
}

void PictureView::refresh()
{
    update();
    // Also while hidden: the window may be about to be shown.
    m_paintDue = true;
}

void PictureView::paintEvent(QPaintEvent *event)
{
    m_paintDue = false;
    if (m_instead.isNull() && !m_bare)
        ensureCanvas();
    const QImage &shown = shownImage();
    QPainter painter(this);
    if (shown.isNull())
        painter.fillRect(rect(), m_backColor);
    else
        painter.drawImage(event->rect().topLeft(), shown, event->rect());
    painter.end();
    emit painted();
}

QImage &PictureView::canvas()
{
    m_bare = false;
    ensureCanvas();
    return m_canvas;
}

void PictureView::showInstead(QImage image)
{
    m_instead = image.size() == size() ? std::move(image) : QImage();
    m_bare = false;
}

void PictureView::showBackground()
{
    m_instead = QImage();
    m_canvas = QImage();
    m_bare = true;
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
    if (m_instead.size() != size())
        m_instead = QImage();
    // The canvas is made when it is drawn on or shown; a picture shown in its place needs none.
    if (m_instead.isNull() && !m_bare)
        ensureCanvas();
}

void PictureView::dragEnterEvent(QDragEnterEvent *event)
{
    // Accepted so that the moves over the area are reported too; only files are taken there.
    event->accept();
    emit dragOver(0);
}

void PictureView::dragMoveEvent(QDragMoveEvent *event)
{
    if (FileDropFilter::localPaths(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
    emit dragOver(2);
}

void PictureView::dropEvent(QDropEvent *event)
{
    const QStringList paths = FileDropFilter::localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, paths] { emit filesDropped(paths); });
}

void PictureView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QWidget::dragLeaveEvent(event);
    emit dragOver(1);
}
