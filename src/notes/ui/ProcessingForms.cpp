#include "notes/ui/ProcessingForms.h"

#include "bizlib/ui/WidgetForms.h"
#include "config/TraceLog.h"
#include "config/WindowSettings.h"
#include "notes/PhraseDragFormat.h"
#include "notes/PhraseDrop.h"
#include "notes/PhraseToolbox.h"
#include "notes/ui/PhraseTools.h"

namespace notes::ui {

void ProcessingForms::prepare(bizlib::ui::WidgetForms &forms, config::AppContext &ctx)
{
    if (!ctx.paths.windowIni.isEmpty()) {
        forms.setGeometryStore(
            { [&ctx](const QString &name) { return config::WindowSettings(ctx.paths.windowIni).geometry(name); },
                [&ctx](const QString &name, const QByteArray &geometry) {
                    config::WindowSettings(ctx.paths.windowIni, ctx.trace).setGeometry(name, geometry);
                } });
    }
    forms.setTextDrop({ PhraseDragFormat::mimeType(PhraseDragFormat::acceptedIdentifier()),
        [&ctx](const QString &current, const QString &dropped, int maxLength) -> std::optional<QString> {
            if (!ctx.prompter)
                return PhraseDrop::clipped(current).isEmpty() ? std::optional<QString>(dropped) : std::nullopt;
            return PhraseDrop::apply(current, dropped, *ctx.prompter, maxLength);
        } });
    forms.setFormShown([&ctx](QWidget *form) {
        if (auto *tools = qobject_cast<PhraseTools *>(PhraseToolbox::running(ctx)))
            tools->placeBeside(form);
    });
}

} // namespace notes::ui
