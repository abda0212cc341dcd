#include "bizlib/mail/MailComposer.h"
#include "bizlib/mail/MailSender.h"
#include "support/ScriptedPrompter.h"
#include "support/SmtpSink.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace bizlib::mail;
using bizlib::params::EmailLinks;
using bizlib::params::EmailParams;
using testsupport::SmtpSink;

namespace {

std::string str(const QString &s)
{
    return s.toStdString();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A compose dialog that edits the draft with a script, or cancels.
class ScriptedComposer : public MailComposer
{
public:
    std::function<void(MailDraft &)> edit;
    bool send = true;
    int shown = 0;
    MailDraft seen;

    bool compose(MailDraft &draft) override
    {
        ++shown;
        seen = draft;
        if (edit)
            edit(draft);
        return send;
    }
};

// Every case sends to a fresh sink with a fresh outbox.
class MailSend : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sink.start());
        m_settings.transport = QStringLiteral("SMTP");
        m_settings.server = QStringLiteral("127.0.0.1");
        m_settings.port = QString::number(m_sink.port());
        m_settings.helo = QStringLiteral("ws1.example.com");
        m_settings.timeoutSeconds = 2;
        m_settings.outboxFolder = m_dir.filePath(QStringLiteral("outbox"));
        m_send.setText("OutputTo", QStringLiteral("Email"));
        m_send.setText("FromAddress", QStringLiteral("sales@example.com"));
        m_send.setText("FromFullName", QStringLiteral("Sales Desk"));
        m_send.setText("ToAddress", QStringLiteral("rep@example.com;manager@example.com"));
        m_send.setText("CCAddress", QStringLiteral("admin@example.com"));
        m_send.setText("BCCAddress", QStringLiteral("audit@example.com"));
        m_send.setText("Subject", QStringLiteral("Web order processed"));
        m_send.setText(
            "MessageText", QStringLiteral("Notification of web order processing: \r\n\r\nClient: Acme Ltd - Jo"));
        m_send.setText("Format", QStringLiteral("Text"));
    }

    QStringList outbox(Outbox::Kind kind) const { return Outbox(m_settings.outboxFolder).files(kind); }

    QTemporaryDir m_dir;
    SmtpSink m_sink;
    MailSettings m_settings;
    EmailParams m_send;
    EmailLinks m_links;
};

} // namespace

TEST_F(MailSend, smtp_deliversRecipientsSubjectAndBody_andKeepsASentCopy)
{
    m_links.setLong("EMAILQUOTEID", 77);
    m_links.setLong("EMAILCLIENTID", 5);
    const EmailResult r = MailSender(m_settings).emailDialog(m_send, m_links);
    ASSERT_TRUE(r.sent()) << str(r.status.message());
    EXPECT_TRUE(r.status.isOk());
    EXPECT_EQ(str(m_send.text("SendStatus")), "Sent");

    const QList<SmtpSink::Message> got = m_sink.messages();
    ASSERT_EQ(got.size(), 1);
    const SmtpSink::Message &m = got.first();
    EXPECT_EQ(str(m.helo), "ws1.example.com");
    EXPECT_EQ(str(m.from), "sales@example.com");
    EXPECT_EQ(m.recipients,
        (QStringList { QStringLiteral("rep@example.com"), QStringLiteral("manager@example.com"),
            QStringLiteral("admin@example.com"), QStringLiteral("audit@example.com") }));
    EXPECT_EQ(str(m.header("From")), "Sales Desk <sales@example.com>");
    EXPECT_EQ(str(m.header("To")), "rep@example.com, manager@example.com");
    EXPECT_EQ(str(m.header("Cc")), "admin@example.com");
    EXPECT_TRUE(m.header("Bcc").isEmpty()); // blind copies are not shown to the others
    EXPECT_EQ(str(m.header("Subject")), "Web order processed");
    EXPECT_FALSE(m.header("Date").isEmpty());
    EXPECT_TRUE(m.header("Message-ID").endsWith(QLatin1String("@example.com>")));
    EXPECT_TRUE(m.body().contains("Notification of web order processing:=20\r\n\r\nClient: Acme Ltd - Jo\r\n"))
        << m.body().toStdString();

    ASSERT_EQ(outbox(Outbox::Kind::Sent).size(), 1);
    EXPECT_TRUE(outbox(Outbox::Kind::Failed).isEmpty());
    EXPECT_EQ(str(r.outboxFile), str(outbox(Outbox::Kind::Sent).first()));
    const QByteArray kept = readFile(r.outboxFile);
    EXPECT_TRUE(kept.startsWith("X-Webconsole-Transport: SMTP\r\nX-Webconsole-Links: QUOTE=77; CLIENT=5\r\n"))
        << kept.left(120).toStdString();
    EXPECT_TRUE(kept.contains("\r\nBcc: audit@example.com\r\n")); // the user can see who got a blind copy
    EXPECT_TRUE(kept.contains(m.data.left(m.data.indexOf("\r\nTo:")))); // same Date, From as sent
}

TEST_F(MailSend, smtp_logsInWithTheConfiguredUser)
{
    m_sink.requireLogin(QStringLiteral("office"), QStringLiteral("s3cret"));
    m_settings.username = QStringLiteral("office");
    m_settings.password = QStringLiteral("s3cret");
    const EmailResult ok = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(ok.sent()) << str(ok.status.message());
    ASSERT_EQ(m_sink.messages().size(), 1);
    EXPECT_EQ(str(m_sink.messages().first().user), "office");

    m_settings.password = QStringLiteral("wrong");
    const EmailResult refused = MailSender(m_settings).emailDialog(m_send);
    EXPECT_TRUE(refused.failed());
    EXPECT_TRUE(refused.status.message().contains(QStringLiteral("535"))) << str(refused.status.message());
    EXPECT_EQ(m_sink.messages().size(), 1);
}

TEST_F(MailSend, smtp_refusedConnection_isReportedAndKeptAsFailed)
{
    m_settings.port = QString::number(SmtpSink::closedPort());
    const EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.isError());
    const QString msg = r.status.message();
    EXPECT_TRUE(msg.contains(QStringLiteral("could not be sent"))) << str(msg);
    EXPECT_TRUE(msg.contains(QStringLiteral("127.0.0.1:") + m_settings.port)) << str(msg);
    EXPECT_TRUE(msg.contains(QStringLiteral("connect"), Qt::CaseInsensitive)) << str(msg);
    EXPECT_EQ(str(m_send.text("SendStatus")), "Failed");

    EXPECT_TRUE(outbox(Outbox::Kind::Sent).isEmpty());
    ASSERT_EQ(outbox(Outbox::Kind::Failed).size(), 1);
    const QByteArray kept = readFile(outbox(Outbox::Kind::Failed).first());
    EXPECT_TRUE(kept.contains("\r\nX-Webconsole-Error: The e-mail could not be sent through the SMTP server"));
    EXPECT_TRUE(kept.contains("\r\nSubject: Web order processed\r\n"));
    EXPECT_TRUE(kept.contains("Client: Acme Ltd - Jo"));
}

TEST_F(MailSend, smtp_rejectedRecipient_failsTheWholeMessageWithTheServersAnswer)
{
    m_sink.rejectRecipient(QStringLiteral("manager@example.com"));
    const EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    const QString msg = r.status.message();
    EXPECT_TRUE(msg.contains(QStringLiteral("550 5.1.1 <manager@example.com>: Recipient address rejected")))
        << str(msg);
    EXPECT_TRUE(m_sink.messages().isEmpty()); // nobody got half a mailing
    EXPECT_EQ(outbox(Outbox::Kind::Failed).size(), 1);
}

TEST_F(MailSend, smtp_serverThatRefusesServiceOrStaysSilent)
{
    m_sink.setGreeting(SmtpSink::Greeting::Reject);
    EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("554 5.3.2"))) << str(r.status.message());

    m_sink.setGreeting(SmtpSink::Greeting::Silent);
    m_settings.timeoutSeconds = 1;
    QElapsedTimer clock;
    clock.start();
    r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("did not answer within 1 second")))
        << str(r.status.message());
    EXPECT_EQ(outbox(Outbox::Kind::Failed).size(), 2);
}

TEST_F(MailSend, problemsFoundBeforeSending_failWithoutContactingTheServer)
{
    m_send.setText("ToAddress", QStringLiteral("rep@example.com; rep at example"));
    EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("\"rep at example\" is not a valid e-mail address")))
        << str(r.status.message());

    EmailParams empty;
    empty.setText("FromAddress", QStringLiteral("sales@example.com"));
    r = MailSender(m_settings).emailDialog(empty);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("no recipient"))) << str(r.status.message());

    m_send.setText("ToAddress", QStringLiteral("rep@example.com"));
    m_send.setText("OutputTo", QStringLiteral("SMS"));
    r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("\"SMS\""))) << str(r.status.message());

    EXPECT_EQ(m_sink.connectionCount(), 0);
    EXPECT_EQ(outbox(Outbox::Kind::Failed).size(), 3);
}

// What the mail library writes to its logging category, by level.
class MailLog
{
public:
    MailLog()
    {
        s_lines.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("webconsole.mail.debug=true"));
        m_previous = qInstallMessageHandler(&MailLog::handle);
    }
    ~MailLog()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    QStringList lines(QtMsgType type) const { return s_lines.value(type); }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (qstrcmp(context.category, "webconsole.mail") == 0)
            s_lines[type] << message;
    }
    static inline QHash<QtMsgType, QStringList> s_lines;
    QtMessageHandler m_previous = nullptr;
};

TEST_F(MailSend, switchedOffByEmailDisable_isNoFailure_oneDebugLineAndNothingKept)
{
    m_settings.disabled = true;
    {
        const MailLog log;
        const EmailResult r = MailSender(m_settings).emailDialog(m_send);
        EXPECT_FALSE(r.failed());
        EXPECT_FALSE(r.sent());
        EXPECT_TRUE(r.status.message().contains(QStringLiteral("EmailDisable"))) << str(r.status.message());
        EXPECT_EQ(str(m_send.text("SendStatus")), "Disabled");
        EXPECT_TRUE(log.lines(QtWarningMsg).isEmpty()) << str(log.lines(QtWarningMsg).join(u'\n'));
        EXPECT_EQ(log.lines(QtDebugMsg).size(), 1) << str(log.lines(QtDebugMsg).join(u'\n'));
    }
    EXPECT_EQ(m_sink.connectionCount(), 0);
    EXPECT_TRUE(outbox(Outbox::Kind::Failed).isEmpty());

    // A user who asked for the e-mail is told why it did not go.
    testsupport::ScriptedPrompter prompter;
    m_send.setLong("Notify", 1);
    MailSender(m_settings, nullptr, &prompter).emailDialog(m_send);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().first().text.contains(QStringLiteral("switched off")));
}

TEST_F(MailSend, recordsServerFieldsReplaceTheConfiguration)
{
    m_settings.server = QStringLiteral("mail.invalid");
    m_settings.port = QStringLiteral("1");
    m_send.setText("Server", QStringLiteral("127.0.0.1"));
    m_send.setText("Port", QString::number(m_sink.port()));
    m_send.setText("Helo", QStringLiteral("record.example.com"));
    const EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.sent()) << str(r.status.message());
    EXPECT_EQ(str(m_sink.messages().first().helo), "record.example.com");
}

TEST_F(MailSend, attachmentsGoAlongAndAMissingOneStopsTheSend)
{
    const QString file = m_dir.filePath(QStringLiteral("quote Q1234.pdf"));
    const QByteArray pdf = QByteArray("%PDF-1.4\n") + QByteArray(3000, '\x01') + "\n%%EOF\n";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(pdf);
    }
    m_send.setText("AttachmentList", file);
    m_send.setText("AttachmentName", QStringLiteral("Quotation.pdf"));
    EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.sent()) << str(r.status.message());
    const QByteArray data = m_sink.messages().first().data;
    EXPECT_TRUE(data.contains("Content-Type: multipart/mixed;"));
    EXPECT_TRUE(data.contains("Content-Type: application/pdf; name=\"Quotation.pdf\""));
    EXPECT_TRUE(data.contains("Content-Disposition: attachment; filename=\"Quotation.pdf\""));
    const qsizetype start = data.indexOf("\r\n\r\n", data.indexOf("filename=\"Quotation.pdf\"")) + 4;
    const QByteArray encoded = data.mid(start, data.indexOf("\r\n\r\n--", start) - start);
    EXPECT_EQ(QByteArray::fromBase64(encoded), pdf);

    m_send.setText("AttachmentList", file + QStringLiteral(";") + m_dir.filePath(QStringLiteral("gone.pdf")));
    r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("gone.pdf"))) << str(r.status.message());
    EXPECT_EQ(m_sink.messages().size(), 1);
}

TEST_F(MailSend, composeDialog_editsGoOutAndBackIntoTheRecord)
{
    ScriptedComposer composer;
    composer.edit = [](MailDraft &d) {
        d.to = QStringLiteral("other@example.com");
        d.cc.clear();
        d.subject = QStringLiteral("Changed subject");
        d.body = QStringLiteral("Changed body");
    };
    m_send.setLong("Dialog", 1);
    const EmailResult r = MailSender(m_settings, &composer).emailDialog(m_send);
    ASSERT_TRUE(r.sent()) << str(r.status.message());
    EXPECT_EQ(composer.shown, 1);
    EXPECT_EQ(str(composer.seen.to), "rep@example.com; manager@example.com");
    EXPECT_EQ(str(composer.seen.from), "Sales Desk <sales@example.com>");
    const SmtpSink::Message m = m_sink.messages().first();
    EXPECT_EQ(m.recipients, (QStringList { QStringLiteral("other@example.com"), QStringLiteral("audit@example.com") }));
    EXPECT_EQ(str(m.header("Subject")), "Changed subject");
    EXPECT_TRUE(m.body().contains("Changed body"));
    EXPECT_EQ(str(m_send.text("ToAddress")), "other@example.com");
    EXPECT_EQ(str(m_send.text("Subject")), "Changed subject");
    EXPECT_EQ(str(m_send.text("MessageText")), "Changed body");

    // Without SEND:Dialog the composer is not asked.
    m_send.setLong("Dialog", 0);
    ASSERT_TRUE(MailSender(m_settings, &composer).emailDialog(m_send).sent());
    EXPECT_EQ(composer.shown, 1);
}

TEST_F(MailSend, composeDialog_cancelSendsAndRecordsNothing)
{
    ScriptedComposer composer;
    composer.send = false;
    m_send.setLong("Dialog", 1);
    const EmailResult r = MailSender(m_settings, &composer).emailDialog(m_send);
    EXPECT_TRUE(r.cancelled());
    EXPECT_TRUE(r.status.isOk());
    EXPECT_EQ(str(m_send.text("SendStatus")), "Cancelled");
    EXPECT_EQ(m_sink.connectionCount(), 0);
    EXPECT_TRUE(outbox(Outbox::Kind::Sent).isEmpty());
    EXPECT_TRUE(outbox(Outbox::Kind::Failed).isEmpty());
}

TEST_F(MailSend, failureIsShownOnlyToAUserWhoAskedForIt)
{
    testsupport::ScriptedPrompter prompter;
    m_settings.port = QString::number(SmtpSink::closedPort());
    EXPECT_TRUE(MailSender(m_settings, nullptr, &prompter).emailDialog(m_send).failed());
    EXPECT_TRUE(prompter.shown().isEmpty()); // unattended callers are not stopped by a message box

    m_send.setLong("Notify", 1);
    const EmailResult r = MailSender(m_settings, nullptr, &prompter).emailDialog(m_send);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(str(prompter.shown().first().caption), "E-mail");
    EXPECT_EQ(prompter.shown().first().icon, bizlib::Prompter::Icon::Exclamation);
    EXPECT_EQ(str(prompter.lastText()), str(r.status.message()));
}

TEST_F(MailSend, outboxThatCannotBeWritten_isPartOfTheFailureMessage)
{
    const QString blocker = m_dir.filePath(QStringLiteral("file"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    m_settings.outboxFolder = blocker; // a file where the folder should be
    m_settings.port = QString::number(SmtpSink::closedPort());
    const EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_FALSE(r.outboxError.isEmpty());
    EXPECT_TRUE(r.status.message().contains(r.outboxError)) << str(r.status.message());
    EXPECT_TRUE(r.outboxFile.isEmpty());
}

namespace {

// A sendmail stand-in: saves its arguments and standard input, or fails as told.
QString writeScript(const QTemporaryDir &dir, const QString &body)
{
    const QString path = dir.filePath(QStringLiteral("fake-sendmail"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\n" + body.toUtf8() + "\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace

TEST_F(MailSend, sendmail_getsTheWholeMessageWithBccOnItsInput)
{
    const QString out = m_dir.filePath(QStringLiteral("piped.eml"));
    const QString args = m_dir.filePath(QStringLiteral("args.txt"));
    m_settings.transport = QStringLiteral("MAPI");
    m_settings.sendmailProgram = writeScript(m_dir, QStringLiteral("echo \"$@\" > '%1'\ncat > '%2'").arg(args, out));
    const EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.sent()) << str(r.status.message());
    EXPECT_EQ(readFile(args), QByteArray("-t -i\n"));
    const QByteArray piped = readFile(out);
    EXPECT_TRUE(piped.contains("\r\nTo: rep@example.com, manager@example.com\r\n"));
    EXPECT_TRUE(piped.contains("\r\nCc: admin@example.com\r\n"));
    EXPECT_TRUE(piped.contains("\r\nBcc: audit@example.com\r\n")); // sendmail -t takes them from here
    EXPECT_TRUE(piped.contains("\r\nSubject: Web order processed\r\n"));
    EXPECT_TRUE(piped.contains("Client: Acme Ltd - Jo"));
    EXPECT_EQ(m_sink.connectionCount(), 0);
    ASSERT_EQ(outbox(Outbox::Kind::Sent).size(), 1);
    EXPECT_TRUE(readFile(r.outboxFile).startsWith("X-Webconsole-Transport: MAPI\r\n"));
}

TEST_F(MailSend, sendmail_failureCarriesItsExitCodeAndMessage)
{
    m_settings.transport = QStringLiteral("MAPI");
    m_settings.sendmailProgram
        = writeScript(m_dir, QStringLiteral("cat > /dev/null\necho 'queue is full' >&2\nexit 75"));
    EmailResult r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("exit code 75"))) << str(r.status.message());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("queue is full"))) << str(r.status.message());

    m_settings.sendmailProgram = m_dir.filePath(QStringLiteral("no-such-sendmail"));
    r = MailSender(m_settings).emailDialog(m_send);
    ASSERT_TRUE(r.failed());
    EXPECT_TRUE(r.status.message().contains(QStringLiteral("no-such-sendmail"))) << str(r.status.message());
    EXPECT_EQ(outbox(Outbox::Kind::Failed).size(), 2);
}
