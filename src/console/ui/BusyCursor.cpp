#include "console/ui/BusyCursor.h"

#include <QApplication>

namespace console::ui {

void showBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace console::ui
