#include "viewer/picture/MouseReportingWidget.h"

#include <QMouseEvent>

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

MouseReportingWidget::MouseReportingWidget(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void MouseReportingWidget::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), p.x(), p.y());
}

void MouseReportingWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mouseMoved(buttonCode(event->buttons()), shiftCode(event->modifiers()), p.x(), p.y());
}

void MouseReportingWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), p.x(), p.y());
}
