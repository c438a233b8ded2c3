#include "core/EventPump.h"

#include <QCoreApplication>

void QtEventPump::processPendingEvents()
{
    QCoreApplication::processEvents();
}
