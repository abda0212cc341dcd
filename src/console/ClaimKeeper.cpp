#include "console/ClaimKeeper.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/Database.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "data/ClaimBook.h"

namespace console {

ClaimKeeper::ClaimKeeper(config::AppContext &ctx, QObject *parent)
    : QObject(parent)
    , m_ctx(ctx)
{
    connect(&m_timer, &QTimer::timeout, this, [this] { runOnce(); });
}

data::ClaimCleanup::Report ClaimKeeper::runOnce()
{
    data::ClaimCleanup::Report report;
    if (!m_ctx.db)
        return report;
    bizlib::Status st = data::ClaimBook(*m_ctx.db).heartbeat(data::LiveClaims::owners());
    if (st) {
        data::ClaimCleanup cleanup(*m_ctx.db,
            bizlib::AttachmentFiles::dataFolders(m_ctx.brevix.globalData, m_ctx.brevix.localData),
            m_ctx.db->config().claimTimeout);
        st = cleanup.run(&report);
    }
    for (const QString &line : std::as_const(report.lines))
        if (m_ctx.trace)
            m_ctx.trace->message(line);
    if (!report.isEmpty())
        Q_EMIT cleaned(report.summary(), report.lines);
    if (st.isError()) {
        if (m_ctx.trace)
            m_ctx.trace->message(QStringLiteral("Claims not looked after: ") + st.message());
        Q_EMIT failed(st.message());
    }
    return report;
}

void ClaimKeeper::start(int intervalMs)
{
    m_timer.start(intervalMs);
}

void ClaimKeeper::stop()
{
    m_timer.stop();
}

} // namespace console
