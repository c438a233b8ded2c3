#pragma once

#include "viewer/picture/MouseReportingWidget.h"
#include "viewer/picture/PictureTarget.h"

// The viewer's display area (picView): keeps what the image surface drew and paints it.
class PictureView : public MouseReportingWidget, public PictureTarget
{
    Q_OBJECT
public:
    explicit PictureView(QWidget *parent = nullptr);

    QSize targetSize() const override { return size(); }
    // Follows the widget's size at once, also while the window is hidden and resize events
    // wait for it to be shown.
    QImage &canvas() override;
    void showInstead(QImage image) override;
    // Drops the canvas: a bare background needs none, and at start-up none is made before the
    // first picture is drawn.
    void showBackground() override;
    // What the area shows: the canvas, or the picture shown in its place; null while it shows
    // only the background.
    const QImage &shownImage() const { return m_instead.isNull() ? m_canvas : m_instead; }
    QColor backColor() const override { return m_backColor; }
    void refresh() override;
    // Something was drawn that the area has not painted yet.
    bool isPaintDue() const { return m_paintDue; }

    void setBackColor(const QColor &color);

signals:
    // The canvas has been put on screen.
    void painted();
    // 0 a drag entering, 1 leaving, 2 moving over the area.
    void dragOver(int state);
    // Local files or folders dropped on the area, reported after the drop is over.
    void filesDropped(const QStringList &paths);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void ensureCanvas();

    QImage m_canvas;
    QImage m_instead;
    bool m_bare = false;
    bool m_paintDue = false;
    QColor m_backColor = Qt::white;
};
