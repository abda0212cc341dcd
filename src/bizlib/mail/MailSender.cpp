#include "bizlib/mail/MailSender.h"

#include "bizlib/Prompter.h"
#include "bizlib/mail/MailComposer.h"
#include "bizlib/mail/MailMessageBuilder.h"
#include "bizlib/mail/SendmailTransport.h"
#include "bizlib/mail/SmtpTransport.h"

#include <QLoggingCategory>
#include <memory>

Q_LOGGING_CATEGORY(lcMail, "webconsole.mail")

namespace bizlib::mail {

namespace {

QString field(const params::EmailParams &send, const char *name)
{
    return send.text(QLatin1StringView(name)).trimmed();
}

const char *statusText(EmailResult::Outcome o)
{
    switch (o) {
    case EmailResult::Outcome::Sent:
        return "Sent";
    case EmailResult::Outcome::Failed:
        return "Failed";
    case EmailResult::Outcome::Cancelled:
        return "Cancelled";
    case EmailResult::Outcome::Disabled:
        return "Disabled";
    }
    return "Failed";
}

} // namespace

MailSender::MailSender(const MailSettings &settings, MailComposer *composer, Prompter *prompter, ProcedureTrace *trace)
    : m_settings(settings)
    , m_composer(composer)
    , m_prompter(prompter)
    , m_trace(trace)
{ }

MailSettings MailSender::effectiveSettings(const MailSettings &settings, const params::EmailParams &send)
{
    MailSettings s = settings;
    if (!field(send, "Transport").isEmpty())
        s.transport = field(send, "Transport");
    if (!field(send, "Server").isEmpty()) {
        s.server = field(send, "Server");
        s.port = field(send, "Port");
        s.encryption = field(send, "Encryption");
        s.username = field(send, "Username");
        s.password = send.text("Password");
        s.helo = field(send, "Helo");
    }
    return s;
}

Outbox::Links MailSender::linksOf(const params::EmailLinks &links)
{
    Outbox::Links out;
    const params::RecordLayout &layout = links.layout();
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const params::ParamField &f = layout.field(i);
        const QString name = QString::fromLatin1(f.name.data(), static_cast<qsizetype>(f.name.size()));
        if (!name.endsWith(QLatin1String("ID")))
            continue;
        const qint32 id = links.toLong(name);
        if (id != 0)
            out << qMakePair(name.mid(5, name.size() - 7), id); // EMAILQUOTEID -> QUOTE
    }
    return out;
}

EmailResult MailSender::emailDialog(params::EmailParams &send, const params::EmailLinks &links)
{
    EmailResult result;
    const MailSettings settings = effectiveSettings(m_settings, send);
    const MailMessageBuilder builder(settings);
    MailDraft draft = builder.draft(send);

    if (settings.disabled) {
        // Switched off on purpose: no failure to warn about, and no copy for the outbox.
        result.outcome = EmailResult::Outcome::Disabled;
        result.status = Status::error(QStringLiteral("The e-mail was not sent: sending e-mail is switched off on this "
                                                     "workstation (\"EmailDisable\")."));
        qCDebug(lcMail).noquote() << "E-mail" << draft.subject << "to" << draft.to
                                  << "not sent: e-mail is switched off (EmailDisable)";
        send.setText("SendStatus", QString::fromLatin1(statusText(result.outcome)));
        // A user who asked for the e-mail is told at once, before writing it.
        if (m_prompter && ((send.toLong("Dialog") == 1 && m_composer) || send.toLong("Notify") == 1))
            m_prompter->alert(result.status.message(), QStringLiteral("E-mail"), Prompter::Icon::Exclamation);
        return result;
    }

    const bool composed = send.toLong("Dialog") == 1 && m_composer;
    if (composed) {
        if (!m_composer->compose(draft)) {
            result.outcome = EmailResult::Outcome::Cancelled;
            send.setText("SendStatus", QString::fromLatin1(statusText(result.outcome)));
            return result;
        }
        MailMessageBuilder::applyDraft(draft, send);
    }

    QStringList problems;
    const MailMessage message = builder.message(draft, send, &problems);
    std::unique_ptr<MailTransport> transport;
    if (settings.isSmtp()) {
        SmtpTransport::Tls tls;
        tls.caFile = field(send, "CARootPath");
        tls.verifyPeer = send.toLong("DontVerifyCARoot") == 0;
        tls.verifyHost = send.toLong("DontVerifyCommonName") == 0;
        auto smtp = std::make_unique<SmtpTransport>(settings, tls);
        smtp->setTrace(m_trace);
        transport = std::move(smtp);
    } else {
        transport = std::make_unique<SendmailTransport>(settings.sendmailProgram, settings.effectiveTimeoutSeconds());
    }

    Status st;
    const QString outputTo = field(send, "OutputTo");
    if (!outputTo.isEmpty() && outputTo.compare(QLatin1String("Email"), Qt::CaseInsensitive) != 0)
        st = Status::error(
            QStringLiteral("The e-mail was not sent: output to \"%1\" is not supported here.").arg(outputTo));
    else if (!problems.isEmpty())
        st = Status::error(QStringLiteral("The e-mail was not sent. ") + problems.join(u' '));
    else
        st = transport->send(message);
    result.outcome = st ? EmailResult::Outcome::Sent : EmailResult::Outcome::Failed;

    const Outbox outbox(settings.outboxFolder);
    const Status kept = outbox.record(st ? Outbox::Kind::Sent : Outbox::Kind::Failed, message, transport->name(),
        st.message(), linksOf(links), &result.outboxFile);
    if (!kept) {
        result.outboxError = kept.message();
        qCWarning(lcMail).noquote() << kept.message();
    }
    if (st) {
        result.status = Status::ok();
    } else {
        const QString text = kept ? st.message() : st.message() + u' ' + kept.message();
        result.status = Status::error(text);
        qCWarning(lcMail).noquote() << "E-mail" << message.subject << "to" << draft.to << "failed:" << text;
    }
    send.setText("SendStatus", QString::fromLatin1(statusText(result.outcome)));

    const bool tell = m_prompter && (composed || send.toLong("Notify") == 1);
    if (tell && result.failed())
        m_prompter->alert(result.status.message(), QStringLiteral("E-mail"), Prompter::Icon::Exclamation);
    else if (tell && send.toLong("Notify") == 1)
        m_prompter->alert(
            QStringLiteral("The e-mail was sent."), QStringLiteral("E-mail"), Prompter::Icon::Information);
    return result;
}

} // namespace bizlib::mail
