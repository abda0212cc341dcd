#include "bizlib/ProcedureTrace.h"
#include "bizlib/mail/MailSender.h"
#include "support/SmtpSink.h"
#include "support/TestCertificate.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bizlib::mail;
using testsupport::SmtpSink;

namespace {

class RecordingTrace : public bizlib::ProcedureTrace
{
public:
    QStringList messages;
    int enterProcedure(const QString &) override { return 0; }
    void leaveProcedure(int) override { }
    void message(const QString &text) override { messages << text; }
};

// An SMTP server that wants a login, and a workstation whose e-mail encryption is "None".
class SmtpTls : public testing::Test
{
protected:
    void SetUp() override
    {
        m_sink.requireLogin(QStringLiteral("sales"), QStringLiteral("pa55word"));
        ASSERT_TRUE(m_sink.start());
        m_settings.transport = QStringLiteral("SMTP");
        m_settings.server = QStringLiteral("127.0.0.1");
        m_settings.port = QString::number(m_sink.port());
        m_settings.encryption = QStringLiteral("None");
        m_settings.username = QStringLiteral("sales");
        m_settings.password = QStringLiteral("pa55word");
        m_settings.timeoutSeconds = 5;
        m_settings.outboxFolder = m_dir.filePath(QStringLiteral("outbox"));
        m_send.setText("OutputTo", QStringLiteral("Email"));
        m_send.setText("FromAddress", QStringLiteral("sales@example.com"));
        m_send.setText("ToAddress", QStringLiteral("rep@example.com"));
        m_send.setText("Subject", QStringLiteral("Web order processed"));
        m_send.setText("MessageText", QStringLiteral("Client: Acme Ltd"));
    }

    EmailResult send() { return MailSender(m_settings, nullptr, nullptr, &m_trace).emailDialog(m_send); }
    bool warned() const { return !m_trace.messages.filter(QStringLiteral("without encryption")).isEmpty(); }

    QTemporaryDir m_dir;
    SmtpSink m_sink;
    MailSettings m_settings;
    bizlib::params::EmailParams m_send;
    RecordingTrace m_trace;
};

TEST_F(SmtpTls, encryptionNone_usesStartTlsWhenTheServerOffersIt_forTheLoginAndTheMessage)
{
    m_sink.offerStartTls();
    const EmailResult r = send();
    ASSERT_TRUE(r.sent()) << r.status.message().toStdString();
    ASSERT_EQ(m_sink.messages().size(), 1);
    EXPECT_TRUE(m_sink.messages().first().loginEncrypted);
    EXPECT_TRUE(m_sink.messages().first().encrypted);
    EXPECT_EQ(m_sink.messages().first().user, QStringLiteral("sales"));
    EXPECT_FALSE(warned()) << m_trace.messages.join(u'\n').toStdString();
}

TEST_F(SmtpTls, encryptionNone_withAServerWithoutStartTls_sendsInTheClear_andWarnsInTheTraceLog)
{
    const EmailResult r = send();
    ASSERT_TRUE(r.sent()) << r.status.message().toStdString();
    ASSERT_EQ(m_sink.messages().size(), 1);
    EXPECT_FALSE(m_sink.messages().first().loginEncrypted);
    ASSERT_TRUE(warned()) << m_trace.messages.join(u'\n').toStdString();
    const QString warning = m_trace.messages.filter(QStringLiteral("without encryption")).first();
    EXPECT_TRUE(warning.contains(QStringLiteral("127.0.0.1:%1").arg(m_sink.port()))) << warning.toStdString();
    EXPECT_FALSE(warning.contains(QStringLiteral("pa55word")));

    // Without a login no password goes anywhere: nothing to warn about.
    SmtpSink open;
    ASSERT_TRUE(open.start());
    m_settings.port = QString::number(open.port());
    m_settings.username.clear();
    m_trace.messages.clear();
    ASSERT_TRUE(send().sent());
    EXPECT_FALSE(warned());
}

TEST_F(SmtpTls, encryptionTls_checksTheServersCertificate)
{
    m_sink.offerStartTls();
    m_settings.encryption = QStringLiteral("TLS");
    // Not signed by a CA this workstation trusts: refused, and nothing is sent.
    EXPECT_TRUE(send().failed());
    EXPECT_TRUE(m_sink.messages().isEmpty());

    const QString ca = m_dir.filePath(QStringLiteral("ca.pem"));
    ASSERT_TRUE(testsupport::writeTestCertificate(ca));
    m_send.setText("CARootPath", ca);
    const EmailResult r = send();
    ASSERT_TRUE(r.sent()) << r.status.message().toStdString();
    ASSERT_EQ(m_sink.messages().size(), 1);
    EXPECT_TRUE(m_sink.messages().first().loginEncrypted);
    EXPECT_FALSE(warned());
}

} // namespace
