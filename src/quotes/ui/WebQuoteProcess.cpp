#include "quotes/ui/WebQuoteProcess.h"

#include "bizlib/mail/MailSender.h"
#include "bizlib/report/PdfQuotes.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/AppContext.h"
#include "config/FrameEvents.h"
#include "config/TraceLog.h"
#include "notes/PhraseToolbox.h"
#include "notes/ui/ProcessingForms.h"
#include "quotes/DetachedDownloader.h"
#include "quotes/QuoteProcessing.h"

namespace quotes::ui {

WebQuoteProcess::WebQuoteProcess(
    QuoteProcessing &processing, const QString &windowIni, QWidget *parent, bizlib::ProcedureTrace *trace)
    : ProcessingWindow(ProcedureName, tr("Web quote processing"),
        tr("Processing web quote request %1 (web reference %2)...")
            .arg(processing.request().toLong("Number"))
            .arg(processing.request().toLong("WebID")),
        stepsOf(processing), windowIni, parent, trace)
{ }

bizlib::forms::Response WebQuoteProcess::run(config::AppContext &ctx, const bizlib::Record &request, bool automatic,
    bool isRfq, QWidget *parent, QuoteOutcome *outcome)
{
    bizlib::ui::WidgetForms forms(parent, ctx.trace);
    notes::ui::ProcessingForms::prepare(forms, ctx);
    bizlib::mail::MailSender mail(bizlib::mail::mailSettingsFrom(ctx.brevix), nullptr, ctx.prompter, ctx.trace);
    bizlib::PdfQuotes documents(*ctx.db);
    DetachedDownloader downloader(ctx.paths.localIni, ctx.paths.downloaderReports);
    QuoteProcessing::Services services;
    services.ctx = &ctx;
    services.forms = &forms;
    services.mail = &mail;
    services.documents = &documents;
    services.downloader = &downloader;
    QuoteProcessing processing(services, request, automatic, isRfq);
    {
        WebQuoteProcess window(processing, ctx.paths.windowIni, parent, ctx.trace);
        forms.setParent(&window);
        // Modal to its parent only, so that the phrase toolbox (a window of its own) still takes
        // drags while the request is processed.
        window.setWindowModality(Qt::WindowModal);
        window.exec();
    }
    // The toolbox started for this request ends with it.
    notes::PhraseToolbox::closeRunning(ctx);
    if (outcome)
        *outcome = processing.outcome();
    return processing.response();
}

} // namespace quotes::ui
