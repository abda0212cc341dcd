#include "console/AlertStep.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/mail/MailSender.h"
#include "config/AppContext.h"
#include "config/FrameEvents.h"
#include "config/PathText.h"
#include "config/WindowEvents.h"
#include "console/AlertWindow.h"
#include "console/AutoProcessing.h"
#include "console/ProcessingProblems.h"
#include "console/general/QuoteListModel.h"
#include "console/RefreshCycle.h"
#include "console/SoundPlayer.h"
#include "quotes/QuoteProcessing.h"
#include "quotes/UserLookup.h"
#include "quotes/WebNotify.h"

#include <QCoreApplication>
#include <memory>

namespace console {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("console", text);
}

bool blank(const QString &s)
{
    return config::clipRight(s).trimmed().isEmpty();
}

bool grew(qint64 now, qint64 seen)
{
    return now > 0 && seen < now;
}

} // namespace

AlertStep::AlertStep(Services services)
    : m_s(services)
{ }

void AlertStep::run(const RequestLists::Counts &seen)
{
    // Copies: automatic processing ends with a status refresh, which renews the monitor's counts.
    const RequestLists::Counts before = seen;
    const RequestLists::Counts now = m_s.lists->counts();
    const config::ConsoleSettings &settings = m_s.ctx->settings;
    if (settings.autoProcessQuotes || settings.autoProcessRfqs)
        processAutomatically();
    else
        alertEnquiries(now, before);
    alertSignups(now, before);
    if (!m_s.cycle->lastReminder())
        m_s.cycle->setLastReminder(m_s.cycle->now());
    if (reminderDue(now))
        sendReminder(now);
}

bool AlertStep::qualifies(const config::ConsoleSettings &settings, const bizlib::Record &request)
{
    return AutoProcessing::qualifies(settings, request);
}

QList<qint32> AlertStep::processAutomatically()
{
    QuoteListModel &list = *m_s.quotes;
    const qint32 remembered = m_s.window->currentQuote();
    AutoProcessing::Services services;
    services.db = m_s.ctx->db;
    services.settings = &m_s.ctx->settings;
    services.problems = m_s.problems;
    services.starting = [this] { m_s.cycle->setLastReminder(m_s.cycle->now()); };
    // The list is the quote list as the General tab shows it; processing reads it again.
    const AutoProcessing::RowAt rowAt = [&list](int row) -> std::optional<bizlib::Record> {
        while (row >= list.rowCount()) {
            if (!list.canFetchMore({}))
                return std::nullopt;
            list.fetchMore({});
        }
        return list.record(row);
    };
    const AutoProcessing::Process process = [this](const bizlib::Record &request, bool isRfq) {
        AutoProcessing::Attempt attempt;
        attempt.response = m_s.window->processQuote(request, isRfq, &attempt.run);
        attempt.failure = attempt.run.failure;
        return attempt;
    };
    const QList<qint32> processed = AutoProcessing(services).run(rowAt, process);
    m_s.window->returnToQuote(remembered);
    return processed;
}

void AlertStep::alertEnquiries(const RequestLists::Counts &now, const RequestLists::Counts &seen)
{
    const bool quotes = grew(now.quotes, seen.quotes);
    const bool orders = grew(now.orders, seen.orders);
    if (!quotes && !orders)
        return;
    const config::ConsoleSettings &settings = m_s.ctx->settings;
    const bool sound = !blank(settings.enquirySound);
    // Only a count that grew is news: quotes that went while orders came raise no quote balloon.
    if (quotes)
        post(sound ? config::NewQuotes : config::NewQuotesWithSound);
    if (orders)
        post(sound ? config::NewOrders : config::NewOrdersWithSound);
    if (sound && m_s.sounds)
        m_s.sounds->play(settings.enquirySound);
    if (settings.enquiryAlert)
        m_s.window->gainFocus();
}

void AlertStep::alertSignups(const RequestLists::Counts &now, const RequestLists::Counts &seen)
{
    if (!grew(now.signups, seen.signups))
        return;
    const config::ConsoleSettings &settings = m_s.ctx->settings;
    if (!blank(settings.signupSound)) {
        post(config::NewSignups);
        if (m_s.sounds)
            m_s.sounds->play(settings.signupSound);
    } else {
        post(config::NewSignupsWithSound);
    }
    if (settings.signupAlert)
        m_s.window->gainFocus();
}

void AlertStep::post(int event)
{
    if (m_s.ctx->frame)
        m_s.ctx->frame->postEvent(event);
}

bool AlertStep::reminderDue(const RequestLists::Counts &now) const
{
    const config::ConsoleSettings &settings = m_s.ctx->settings;
    if (!settings.pendingReminder || settings.pendingInterval <= 0)
        return false;
    if (now.quotes <= 0 && now.orders <= 0 && now.signups <= 0)
        return false;
    const qint64 interval = qint64(settings.pendingInterval) * 60 * 1000;
    const auto last = m_s.cycle->lastReminder();
    return last && m_s.cycle->now() - interval >= *last;
}

void AlertStep::sendReminder(const RequestLists::Counts &now)
{
    // The clock moves on whatever becomes of the e-mail: a failing server is not asked every refresh.
    m_s.cycle->setLastReminder(m_s.cycle->now());
    if (!m_s.mail || !m_s.ctx->db)
        return;
    const config::AppContext &ctx = *m_s.ctx;
    bizlib::Database &db = *ctx.db;
    QString to = quotes::UserLookup::email(db, ctx.glo.user.userCode);
    if (to.isEmpty())
        to = ctx.glo.user.email.trimmed();
    bizlib::Table syconf(db, QStringLiteral("SYCONF"));
    bizlib::TableCursor first(syconf, syconf.def().primary().name);
    bizlib::Record system;
    if (!first.next(system))
        system = syconf.newRecord();
    const QString admin = config::clipRight(ctx.settings.adminEmail).trimmed();

    auto send = std::make_unique<bizlib::params::EmailParams>();
    send->setText("OutputTo", QStringLiteral("Email"));
    send->setLong("Dialog", 0);
    send->setLong("Notify", 0);
    send->setText("FromAddress", system.text("Email").trimmed());
    send->setText("ToAddress", to);
    send->setText("CCAddress", !admin.isEmpty() && admin.compare(to, Qt::CaseInsensitive) != 0 ? admin : QString());
    send->setText("CountryCode", system.text("CountryCode").trimmed());
    send->setText("Subject", reminderSubject());
    send->setLong("ThreadNo", quotes::WebNotify::currentThreadNumber());
    send->setText("MessageText", reminderBody(ctx.settings.pendingInterval, now));
    // A failure is the mail library's to log and keep in the outbox.
    m_s.mail->emailDialog(*send, bizlib::params::EmailLinks());
}

QString AlertStep::reminderSubject()
{
    return tr("Webconsole notification - requests pending");
}

QString AlertStep::reminderBody(int intervalMinutes, const RequestLists::Counts &now)
{
    const QString lineBreak = QStringLiteral("\r\n");
    QString body = QStringLiteral("This message is automatically generated by the running instance of Web Console on "
                                  "your workstation. The following web console requests are still pending after ")
        + QString::number(intervalMinutes) + QStringLiteral(" minutes or more: ") + lineBreak + lineBreak;
    if (now.quotes != 0)
        body += QString::number(now.quotes) + u' ' + tr("quote requests") + lineBreak;
    if (now.orders != 0)
        body += QString::number(now.orders) + u' ' + tr("order requests") + lineBreak;
    if (now.signups != 0)
        body += QString::number(now.signups) + u' ' + tr("signup requests") + lineBreak + lineBreak;
    return body + QStringLiteral("Please open web console to process these requests.");
}

} // namespace console
