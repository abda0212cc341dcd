#include "auto/AutoService.h"

#include "auto/QuietPrompter.h"
#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/mail/MailSender.h"
#include "bizlib/report/PdfQuotes.h"
#include "config/AppContext.h"
#include "config/DownloaderReport.h"
#include "config/TraceLog.h"
#include "console/ClaimKeeper.h"
#include "quotes/DetachedDownloader.h"
#include "quotes/QuoteProcessing.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace autorun {

using console::AutoProcessing;

namespace {

QString resultWord(AutoProcessing::Result r)
{
    switch (r) {
    case AutoProcessing::Result::Processed:
        return QStringLiteral("processed");
    case AutoProcessing::Result::Declined:
        return QStringLiteral("declined");
    case AutoProcessing::Result::Failed:
        return QStringLiteral("failed");
    case AutoProcessing::Result::NeedsPerson:
        return QStringLiteral("needs-person");
    case AutoProcessing::Result::Left:
        return QStringLiteral("left");
    }
    return {};
}

} // namespace

AutoService::AutoService(config::AppContext &ctx, QuietPrompter &prompter, std::function<void(const QString &)> out,
    std::function<void(const QString &)> err)
    : m_ctx(ctx)
    , m_prompter(prompter)
    , m_out(std::move(out))
    , m_err(std::move(err))
    , m_keeper(std::make_unique<console::ClaimKeeper>(ctx))
    , m_mail(std::make_unique<bizlib::mail::MailSender>(
          bizlib::mail::mailSettingsFrom(ctx.brevix), nullptr, ctx.prompter, ctx.trace))
    , m_documents(std::make_unique<bizlib::PdfQuotes>(*ctx.db))
    , m_downloader(std::make_unique<quotes::DetachedDownloader>(ctx.paths.localIni, ctx.paths.downloaderReports))
{
    QObject::connect(m_keeper.get(), &console::ClaimKeeper::cleaned, m_keeper.get(),
        [this](const QString &summary, const QStringList &details) {
            m_err(QStringLiteral("Cleaned up after interrupted processing: %1.").arg(summary));
            for (const QString &d : details)
                m_problems.add(QStringLiteral("Interrupted run"), d, QDateTime::currentDateTime());
        });
    QObject::connect(m_keeper.get(), &console::ClaimKeeper::failed, m_keeper.get(),
        [this](const QString &reason) { m_err(QStringLiteral("Claims not looked after: %1").arg(reason)); });
}

AutoService::~AutoService() = default;

void AutoService::start()
{
    m_keeper->runOnce();
    m_keeper->start();
    if (bizlib::mail::mailSettingsFrom(m_ctx.brevix).disabled)
        m_err(QStringLiteral("E-mail is switched off on this workstation (EmailDisable in the \"Email\" section): "
                             "no e-mail is sent."));
    if (!m_ctx.settings.autoProcessQuotes && !m_ctx.settings.autoProcessRfqs)
        m_err(QStringLiteral("Automatic processing is switched off in the settings (AutoProcessQuotes and "
                             "AutoProcessRFQs are 0): nothing will be processed."));
}

QList<bizlib::Record> AutoService::waiting(bool *readFailed)
{
    *readFailed = false;
    // The General tab's quote list as it shows what waits: every request not being processed, in
    // request number order.
    QList<bizlib::Record> rows;
    bizlib::Table requests(*m_ctx.db, QStringLiteral("WebQuotes"));
    QSqlQuery q;
    const bizlib::Status st
        = m_ctx.db->exec(QStringLiteral("SELECT %1 FROM \"webquotes\" WHERE COALESCE(RTRIM(\"status\"), "
                                        "'') <> 'Processing' ORDER BY \"number\", \"quoteid\"")
                             .arg(requests.selectList()),
            {}, &q);
    QString failure = st ? QString() : st.message();
    while (failure.isEmpty() && q.next()) {
        bizlib::Status row;
        const bizlib::Record read = requests.fromQuery(q, 0, &row);
        if (row)
            rows << read;
        else
            failure = row.message();
    }
    if (failure.isEmpty() && q.lastError().isValid())
        failure = bizlib::Database::errorText(q.lastError());
    if (!failure.isEmpty()) {
        // What was read is still processed; the round counts as failed.
        *readFailed = true;
        m_err(QStringLiteral("The waiting web quote requests cannot be read: %1").arg(failure));
        if (m_ctx.trace)
            m_ctx.trace->message(QStringLiteral("webconsole-auto: the waiting requests cannot be read: ") + failure);
    }
    return rows;
}

void AutoService::collectDownloads()
{
    // The downloaders this service (or a console on the same workstation settings) started run
    // on their own; how they ended is heard here, a round later.
    const QDateTime now = QDateTime::currentDateTime();
    for (const config::DownloaderReport &report : config::DownloaderReport::collect(m_ctx.paths.downloaderReports)) {
        if (!m_problems.addDownload(report, now))
            continue; // all arrived
        const QString text = QStringLiteral("The attachments of %1 did not all arrive: %2")
                                 .arg(report.subject, report.messages.join(QStringLiteral("; ")));
        m_err(text);
        if (m_ctx.trace)
            m_ctx.trace->message(QStringLiteral("webconsole-auto: ") + text);
    }
}

AutoService::Round AutoService::round(const std::function<bool()> &stopRequested)
{
    collectDownloads();
    Round counts;
    bool readFailed = false;
    const QList<bizlib::Record> rows = waiting(&readFailed);
    if (readFailed)
        ++counts.failed;
    AutoProcessing::Services s;
    s.db = m_ctx.db;
    s.settings = &m_ctx.settings;
    s.problems = &m_problems;
    s.stopRequested = stopRequested;
    // `rows` was read above: starting again at its first row after each request processed made the
    // walk of a long queue quadratic.
    s.listReadOnce = true;
    s.told = [this, &counts](const AutoProcessing::Outcome &o) {
        switch (o.result) {
        case AutoProcessing::Result::Processed:
            ++counts.processed;
            break;
        case AutoProcessing::Result::Declined:
            ++counts.declined;
            break;
        case AutoProcessing::Result::Failed:
        case AutoProcessing::Result::NeedsPerson:
            ++counts.failed;
            break;
        case AutoProcessing::Result::Left:
            // With automatic processing off, the notice at the start has said it all.
            if (m_leftTold.contains(o.quoteId)
                || (!m_ctx.settings.autoProcessQuotes && !m_ctx.settings.autoProcessRfqs))
                return;
            m_leftTold.insert(o.quoteId);
            break;
        }
        const QString text = line(o, QDateTime::currentDateTime());
        m_out(text);
        if (m_ctx.trace
            && (o.result == AutoProcessing::Result::Failed || o.result == AutoProcessing::Result::NeedsPerson))
            m_ctx.trace->message(QStringLiteral("webconsole-auto: ") + text);
    };
    const AutoProcessing::RowAt rowAt = [&rows](int row) -> std::optional<bizlib::Record> {
        if (row >= rows.size())
            return std::nullopt;
        return rows.at(row);
    };
    AutoProcessing(s).run(
        rowAt, [this](const bizlib::Record &request, bool isRfq) { return processOne(request, isRfq); });
    return counts;
}

AutoProcessing::Attempt AutoService::processOne(const bizlib::Record &request, bool isRfq)
{
    m_prompter.takeQuestions();
    quotes::QuoteProcessing::Services services;
    services.ctx = &m_ctx;
    services.mail = m_mail.get();
    services.documents = m_documents.get();
    services.downloader = m_downloader.get();
    quotes::QuoteProcessing processing(services, request, true, isRfq);
    AutoProcessing::Attempt attempt;
    if (processing.open() && processing.mayStart())
        attempt.response = processing.run();
    processing.close();
    const QStringList asked = m_prompter.takeQuestions();
    if (attempt.response == bizlib::forms::Response::Completed) {
        const bizlib::Record &quote = processing.quote();
        attempt.detail = QStringLiteral("%1 %2%3").arg(isRfq ? QStringLiteral("RFQ") : QStringLiteral("quote"),
            quote.text("Number").trimmed(), quote.text("Revision").trimmed());
        // The quote is stored; what could not follow it (the letter, an e-mail) is said beside it.
        if (!processing.lastStatus().isOk())
            attempt.detail += QStringLiteral(" (") + processing.lastStatus().message() + u')';
    } else if (processing.claim() && processing.claim()->outcome() == data::RequestClaim::Outcome::Gone) {
        attempt.detail = QStringLiteral("processed or removed by another workstation");
    } else if (!asked.isEmpty()) {
        attempt.needsPerson = true;
        attempt.failure = asked.join(QStringLiteral("; "));
    } else if (!processing.told().isEmpty()) {
        attempt.failure = processing.told();
    } else if (processing.claim() && processing.claim()->otherHolder().isValid()) {
        attempt.detail = QStringLiteral("held by ") + processing.claim()->otherHolder().describe();
    } else {
        attempt.detail = QStringLiteral("taken by another workstation");
    }
    return attempt;
}

void AutoService::runUntil(const std::function<bool()> &stopRequested)
{
    while (!stopRequested()) {
        round(stopRequested);
        const int seconds = qMax(1, int(m_ctx.settings.refreshInterval));
        QDeadlineTimer next(qint64(seconds) * 1000);
        while (!next.hasExpired() && !stopRequested()) {
            // The claim keeper's timer runs here, between the rounds.
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
            QThread::msleep(100);
        }
    }
}

QString AutoService::line(const AutoProcessing::Outcome &o, const QDateTime &at)
{
    QString text = QStringLiteral("%1 request %2 %3 %4s")
                       .arg(at.toString(Qt::ISODate))
                       .arg(o.number)
                       .arg(resultWord(o.result))
                       .arg(double(o.elapsedMs) / 1000.0, 0, 'f', 2);
    if (!o.detail.isEmpty())
        text += u' ' + QString(o.detail).replace(u'\n', u' ');
    return text;
}

} // namespace autorun
