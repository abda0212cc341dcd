#pragma once

#include <QWidget>

namespace bizlib::ui {

// Brings a top-level window back in front of the user: out of the task bar or tray if it was
// minimised or hidden, raised and given the keyboard.
inline void bringToFront(QWidget *window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

} // namespace bizlib::ui
