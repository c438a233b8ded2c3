#pragma once

#include <QWidget>

// A surface of the viewer's display area that reports the mouse over it in its own coordinates,
// in the codes the viewer's input takes: the buttons (1 left, 2 right, 4 middle) and the
// modifier keys (1 Shift, 2 Ctrl, 4 Alt), each a sum of its flags. Moves are reported with no
// button held too.
class MouseReportingWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MouseReportingWidget(QWidget *parent = nullptr);

signals:
    // The button pressed or released; for a move, the buttons held.
    void mouseDown(int button, int shift, int x, int y);
    void mouseMoved(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
