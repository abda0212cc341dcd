#pragma once

#include "config/AppContext.h"

#include <functional>

class QWidget;

namespace bizlib::sendto {
class ListSource;
}

namespace console::ui {

// The send-to window of the Logs pages with the program's dialogs: the destination, the file
// dialog, the e-mail compose dialog (mail through the workstation's e-mail settings, from the
// logged-on user) and the print dialog. Pages hold a Send function so that tests can put their
// own in its place.
class ListSender
{
public:
    using Send = std::function<void(const bizlib::sendto::ListSource &list, qint64 rows)>;

    static void send(config::AppContext &ctx, const bizlib::sendto::ListSource &list, qint64 rows, QWidget *parent);
    // send() bound to a context and a parent window.
    static Send forWindow(config::AppContext &ctx, QWidget *parent);
};

} // namespace console::ui
