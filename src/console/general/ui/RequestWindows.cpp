#include "console/general/ui/RequestWindows.h"

#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/ui/SpellCheckDialog.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/TraceLog.h"
#include "notes/ui/UpdateWebNote.h"
#include "orders/ui/WebOrderProcess.h"
#include "quotes/RequestRejection.h"
#include "quotes/ui/WebQuoteProcess.h"
#include "quotes/ui/WebQuoteReject.h"
#include "signups/ui/WebSignupProcess.h"
#include "signups/ui/WebSignupReject.h"

namespace console::ui {

RequestActions::Windows RequestWindows::make(config::AppContext &ctx, QWidget *parent)
{
    RequestActions::Windows w;
    w.processQuote
        = [&ctx, parent](const bizlib::Record &request, bool automatic, bool isRfq, quotes::QuoteOutcome *outcome) {
              return quotes::ui::WebQuoteProcess::run(ctx, request, automatic, isRfq, parent, outcome);
          };
    w.rejectQuote = [&ctx, parent](const bizlib::Record &request) {
        return quotes::ui::WebQuoteReject::run(ctx, quotes::RejectionVariant::quote(), request, parent);
    };
    w.processSignup = [&ctx, parent](const bizlib::Record &request) {
        signups::ui::WebSignupProcess::run(ctx, request, parent);
    };
    w.rejectSignup = [&ctx, parent](const bizlib::Record &request) {
        signups::ui::WebSignupReject::run(ctx, request, parent);
    };
    w.processOrder = [&ctx, parent](const bizlib::Record &request) {
        return orders::ui::WebOrderProcess::run(ctx, request, false, parent);
    };
    w.rejectOrder = [&ctx, parent](const bizlib::Record &request) {
        quotes::ui::WebQuoteReject::run(ctx, quotes::RejectionVariant::order(), request, parent);
    };
    return w;
}

NoteActions::Editor RequestWindows::noteEditor(
    config::AppContext &ctx, std::function<notes::Desktop *()> desktop, QWidget *parent)
{
    return [&ctx, desktop = std::move(desktop), parent](const notes::NoteEditorArgs &args) {
        notes::WebNoteEditor::Services s;
        s.db = ctx.db;
        s.prompter = ctx.prompter;
        s.userCode = ctx.glo.user.userCode;
        s.desktop = desktop();
        s.trace = ctx.trace;
        s.modalWindows = &ctx.modalWindows;
        bizlib::ui::WidgetForms forms(parent, ctx.trace);
        bizlib::forms::SelectLibrary select(*ctx.db, forms, ctx.prompter);
        s.select = &select;
        bizlib::ui::SpellCheckDialog speller(parent, ctx.trace);
        s.speller = &speller;
        return notes::ui::UpdateWebNote::run(s, args, ctx.paths.windowIni, parent);
    };
}

} // namespace console::ui
