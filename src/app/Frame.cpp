#include "app/Frame.h"

#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/SystemConfigFile.h"
#include "config/TraceLog.h"
#include "config/WindowEvents.h"

namespace app {

namespace {
bool firstRecordReadable(bizlib::Database &db, const QString &table)
{
    bizlib::Table t(db, table);
    bizlib::TableCursor c(t, t.def().primary().name);
    bizlib::Record r;
    return c.next(r).isOk();
}
} // namespace

Frame::Frame(config::AppContext &context, std::function<bool(config::AppContext &)> logon)
    : m_ctx(context), m_logon(std::move(logon))
{
}

Frame::OpenResult Frame::open()
{
    if (m_logon && !m_logon(m_ctx))
        return OpenResult::Refused;
    if (!m_ctx.db || !firstRecordReadable(*m_ctx.db, QStringLiteral("SYCONF"))
        || !firstRecordReadable(*m_ctx.db, QStringLiteral("DEFAULTS")))
        return OpenResult::Refused;
    if (m_ctx.settings.webUrl.trimmed().isEmpty() && !m_ctx.setupSwitch) {
        if (m_ctx.prompter)
            m_ctx.prompter->alert(
                QStringLiteral("WARNING: This version of web console has not been configured to synchronise with a "
                               "website. Please re-run this program using a /setup command line switch."),
                QStringLiteral("Program not configured"), bizlib::Prompter::Icon::Exclamation);
        return OpenResult::NotConfigured;
    }
    m_open = true;
    return OpenResult::Open;
}

bool Frame::confirmClose()
{
    const bool yes = !m_ctx.prompter
                     || m_ctx.prompter->askYesNo(
                         QStringLiteral("WARNING: If you close the web console window you will not receive notifications "
                                        "of web activity... Do you still wish to exit?"),
                         QStringLiteral("Confirm close WebConsole"), false);
    m_ctx.closeConfirmed = yes;
    return yes;
}

QString Frame::phraseToolboxFor(int event) const
{
    if (m_ctx.glo.phraseToolboxThread != 0)
        return {};
    if (event == config::StartOrderPhrases)
        return QStringLiteral("Production");
    if (event == config::StartQuotePhrases)
        return QStringLiteral("Estimating");
    return {};
}

bool Frame::writeBack()
{
    if (!m_open)
        return true;
    QString error;
    if (config::writeSystemConfig(m_ctx.brevix, m_ctx.paths.localIni, &error))
        return true;
    if (m_ctx.trace)
        m_ctx.trace->message(QStringLiteral("System configuration not saved: ") + error);
    return false;
}

} // namespace app
