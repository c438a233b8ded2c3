#include "core/DialogParent.h"

#include <QApplication>
#include <QWidget>

QWidget *dialogParent(QWidget *fallback)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    return fallback;
}

void keepAboveOwner(QWidget *dialog)
{
    const QWidget *owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (owner && (owner->windowFlags() & Qt::WindowStaysOnTopHint))
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
