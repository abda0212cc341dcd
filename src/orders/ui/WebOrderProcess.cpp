#include "orders/ui/WebOrderProcess.h"

#include "bizlib/mail/MailSender.h"
#include "bizlib/report/PdfQuotes.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "notes/PhraseToolbox.h"
#include "notes/ui/ProcessingForms.h"
#include "orders/OrderProcessing.h"
#include "signups/ui/WebSignupProcess.h"

namespace orders::ui {

WebOrderProcess::WebOrderProcess(
    OrderProcessing &processing, const QString &windowIni, QWidget *parent, bizlib::ProcedureTrace *trace)
    : ProcessingWindow(ProcedureName, tr("Web order processing"),
        tr("Processing web order %1 (web reference %2)...")
            .arg(processing.webOrder().toLong("Number"))
            .arg(processing.webOrder().toLong("WebID")),
        stepsOf(processing), windowIni, parent, trace)
{ }

bizlib::forms::Response WebOrderProcess::run(
    config::AppContext &ctx, const bizlib::Record &webOrder, bool automatic, QWidget *parent)
{
    bizlib::ui::WidgetForms forms(parent, ctx.trace);
    notes::ui::ProcessingForms::prepare(forms, ctx);
    bizlib::mail::MailSender mail(bizlib::mail::mailSettingsFrom(ctx.brevix), nullptr, ctx.prompter, ctx.trace);
    OrderProcessing::Services services;
    services.ctx = &ctx;
    services.forms = &forms;
    services.mail = &mail;
    bizlib::PdfQuotes documents(*ctx.db);
    services.documents = &documents;
    services.processSignup = [&ctx, parent](const bizlib::Record &signup, const bizlib::Record &order) {
        return signups::ui::WebSignupProcess::run(ctx, signup, parent, order);
    };
    OrderProcessing processing(services, webOrder, automatic);
    {
        WebOrderProcess window(processing, ctx.paths.windowIni, parent, ctx.trace);
        forms.setParent(&window);
        // Modal to its parent only, so that the phrase toolbox (a window of its own) still takes
        // drags while the web order is processed.
        window.setWindowModality(Qt::WindowModal);
        window.exec();
    }
    // The toolbox started for this web order ends with it.
    notes::PhraseToolbox::closeRunning(ctx);
    return processing.response();
}

} // namespace orders::ui
