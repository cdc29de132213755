#include "forms/DoEvents.h"

#include <QCoreApplication>

namespace forms {

void DoEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace forms
