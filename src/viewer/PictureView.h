#pragma once

#include "viewer/PictureTarget.h"

#include <QWidget>

// The viewer's display area (picView): keeps what the image surface drew and paints it.
class PictureView : public QWidget, public PictureTarget
{
    Q_OBJECT
public:
    explicit PictureView(QWidget *parent = nullptr);

    QSize targetSize() const override { return size(); }
    // Follows the widget's size at once, also while the window is hidden and resize events
    // wait for it to be shown.
    QImage &canvas() override;
    QColor backColor() const override { return m_backColor; }
    void refresh() override { update(); }

    void setBackColor(const QColor &color);

signals:
    // The canvas has been put on screen.
    void painted();
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void ensureCanvas();

    QImage m_canvas;
    QColor m_backColor = Qt::white;
};
