#include "console/logs/ui/ListSender.h"

#include "bizlib/sendto/SendTo.h"
#include "bizlib/ui/EmailComposeDialog.h"
#include "bizlib/ui/SendToDialog.h"
#include "config/TraceLog.h"

#include <QWidget>

namespace console::ui {

void ListSender::send(config::AppContext &ctx, const bizlib::sendto::ListSource &list, qint64 rows, QWidget *parent)
{
    bizlib::ui::SendToDialog ask(parent, ctx.trace);
    bizlib::ui::EmailComposeDialog composer(parent, ctx.trace);
    bizlib::sendto::SendTo::Services services;
    services.prompter = ctx.prompter;
    services.ask = &ask;
    services.mail = bizlib::mail::mailSettingsFrom(ctx.brevix);
    services.trace = ctx.trace;
    services.composer = &composer;
    services.sender = ctx.glo.user;
    bizlib::sendto::SendTo(services).run(list, rows);
}

ListSender::Send ListSender::forWindow(config::AppContext &ctx, QWidget *parent)
{
    return [&ctx, parent](const bizlib::sendto::ListSource &list, qint64 rows) { send(ctx, list, rows, parent); };
}

} // namespace console::ui
