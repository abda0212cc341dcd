#include "data/ProcessingNotice.h"

#include "bizlib/Prompter.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"

namespace data {

QString tellFailure(config::AppContext &ctx, bool userPresent, const QString &subject, const QString &caption,
    const bizlib::Status &st, const QString &what)
{
    if (st.isOk())
        return {};
    const QString reason = st.message().trimmed();
    const QString text = reason.isEmpty() ? what : what + QStringLiteral("\n\n") + reason;
    if (ctx.trace)
        ctx.trace->message(subject + QStringLiteral(": ") + QString(text).replace(u'\n', u' '));
    if (userPresent && ctx.prompter)
        ctx.prompter->alert(text, caption, bizlib::Prompter::Icon::Exclamation);
    return text;
}

} // namespace data
