#include "bizlib/mail/HtmlText.h"
#include "bizlib/mail/MailAddress.h"
#include "bizlib/mail/MailMessageBuilder.h"
#include "bizlib/mail/MailSettings.h"
#include "bizlib/mail/MimeWriter.h"
#include "bizlib/mail/SmtpTransport.h"
#include "config/SystemConfig.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bizlib::mail;
using bizlib::params::EmailParams;

namespace {

std::string str(const QString &s)
{
    return s.toStdString();
}

// Decodes quoted-printable as a mail reader does.
QString fromQuotedPrintable(const QByteArray &qp)
{
    QByteArray out;
    for (qsizetype i = 0; i < qp.size(); ++i) {
        if (qp.at(i) != '=') {
            out += qp.at(i);
        } else if (qp.mid(i + 1, 2) == "\r\n") {
            i += 2; // soft line break
        } else {
            out += static_cast<char>(qp.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        }
    }
    return QString::fromUtf8(out);
}

// Decodes a header value made of encoded words ("=?UTF-8?B?...?=" separated by blanks).
QString fromEncodedWords(const QByteArray &value)
{
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?="));
    QByteArray bytes;
    auto it = word.globalMatch(QString::fromLatin1(value));
    while (it.hasNext())
        bytes += QByteArray::fromBase64(it.next().captured(1).toLatin1());
    return QString::fromUtf8(bytes);
}

QList<QByteArray> lines(const QByteArray &text)
{
    QList<QByteArray> out = text.split('\n');
    for (QByteArray &l : out) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    return out;
}

MailMessage simpleMessage()
{
    MailMessage m;
    m.from = MailAddress::parse(QStringLiteral("Sales <sales@example.com>"));
    m.to = MailAddress::parseList(QStringLiteral("jo@example.com"));
    m.bcc = MailAddress::parseList(QStringLiteral("boss@example.com"));
    m.subject = QStringLiteral("Hello");
    m.text = QStringLiteral("Body");
    m.messageId = QStringLiteral("id1@example.com");
    m.date = QDateTime(QDate(2025, 7, 1), QTime(14, 3), Qt::OffsetFromUTC, 3600);
    return m;
}

} // namespace

TEST(MailAddressList, splitsNamedQuotedAndPlainEntries)
{
    const QList<MailAddress> list = MailAddress::parseList(
        QStringLiteral(" Jo Bloggs <jo@example.com>; \"Bloggs, Ann\" <ann@example.com>, plain@example.co.uk ;; "));
    ASSERT_EQ(list.size(), 3);
    EXPECT_TRUE(list[0].valid && list[1].valid && list[2].valid);
    EXPECT_EQ(str(list[0].name), "Jo Bloggs");
    EXPECT_EQ(str(list[0].address), "jo@example.com");
    EXPECT_EQ(str(list[1].name), "Bloggs, Ann");
    EXPECT_EQ(str(list[1].address), "ann@example.com");
    EXPECT_EQ(str(list[2].address), "plain@example.co.uk");
    EXPECT_EQ(str(list[1].display()), "\"Bloggs, Ann\" <ann@example.com>");
}

TEST(MailAddressList, keepsEntriesThatAreNotAddressesAsInvalid)
{
    const QList<MailAddress> list = MailAddress::parseList(
        QStringLiteral("not an address; jo@@example.com; @example.com; jo@exa mple.com; ok@x.org"));
    ASSERT_EQ(list.size(), 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(list[i].valid) << str(list[i].raw);
    EXPECT_EQ(str(list[0].raw), "not an address");
    EXPECT_TRUE(list[4].valid);
    // A line break in an address would add header lines: refused.
    EXPECT_FALSE(MailAddress::parse(QStringLiteral("jo@example.com\r\nBcc: evil@example.com")).valid);
    EXPECT_FALSE(MailAddress::parse(QStringLiteral("Jo\r\nBcc: x@y.com <jo@example.com>")).valid);
}

TEST(MailAddressList, mergeDropsRepeatsIgnoringCase)
{
    const QList<MailAddress> merged = MailAddress::merged({ MailAddress::parseList(QStringLiteral("a@x.com; B@x.com")),
        MailAddress::parseList(QStringLiteral("b@X.com; c@x.com")) });
    EXPECT_EQ(str(MailAddress::joined(merged)), "a@x.com; B@x.com; c@x.com");
}

TEST(MimeWriterHeaders, nonAsciiSubjectIsEncodedAndFoldedAndDecodesBack)
{
    MailMessage m = simpleMessage();
    m.subject
        = QStringLiteral("Angebot für Müller & Söhne – Broschüren, Größe A4, zweiseitig bedruckt, Auflage 5000 Stück");
    const QByteArray mime = MimeWriter::write(m, MimeWriter::Bcc::Omit);
    const QByteArray head = mime.left(mime.indexOf("\r\n\r\n"));
    for (const QByteArray &l : lines(head))
        EXPECT_LE(l.size(), 78) << l.toStdString();
    // Unfold the Subject header and decode it.
    const qsizetype start = head.indexOf("Subject:");
    ASSERT_GE(start, 0);
    QByteArray value;
    for (const QByteArray &l : lines(head.mid(start + 8))) {
        if (!value.isEmpty() && !l.startsWith(' '))
            break;
        value += l;
    }
    EXPECT_EQ(str(fromEncodedWords(value)), str(m.subject));
}

TEST(MimeWriterHeaders, lineBreaksInTextsCannotAddHeaders)
{
    MailMessage m = simpleMessage();
    m.subject = QStringLiteral("Hi\r\nBcc: evil@example.com");
    const QByteArray mime = MimeWriter::write(m, MimeWriter::Bcc::Omit);
    EXPECT_TRUE(mime.contains("Subject: Hi  Bcc: evil@example.com\r\n"));
    EXPECT_FALSE(mime.contains("\r\nBcc:"));
}

TEST(MimeWriterHeaders, bccOnlyWhenAskedAndUndisclosedWithoutTo)
{
    MailMessage m = simpleMessage();
    EXPECT_FALSE(MimeWriter::write(m, MimeWriter::Bcc::Omit).contains("Bcc:"));
    EXPECT_TRUE(MimeWriter::write(m, MimeWriter::Bcc::Include).contains("\r\nBcc: boss@example.com\r\n"));
    m.to.clear();
    EXPECT_TRUE(MimeWriter::write(m, MimeWriter::Bcc::Omit).contains("\r\nTo: undisclosed-recipients:;\r\n"));
    const QByteArray mime = MimeWriter::write(simpleMessage(), MimeWriter::Bcc::Omit);
    EXPECT_TRUE(mime.startsWith("Date: Tue, 1 Jul 2025 14:03:00 +0100\r\n")) << mime.left(60).toStdString();
    EXPECT_TRUE(mime.contains("\r\nFrom: Sales <sales@example.com>\r\n"));
    EXPECT_TRUE(mime.contains("\r\nMessage-ID: <id1@example.com>\r\n"));
    // The same message written twice gives the same bytes (the outbox copy equals the sent one).
    EXPECT_EQ(mime, MimeWriter::write(simpleMessage(), MimeWriter::Bcc::Omit));
}

TEST(MimeWriterBody, quotedPrintableGuardsDotsFromLinesAndLongLines)
{
    const QString text = QStringLiteral(".\r\n.hidden line\r\nFrom here on\r\ntrailing blank \r\nPreis: 12,50 €\r\n")
        + QString(200, u'x') + QStringLiteral(" end");
    const QByteArray qp = MimeWriter::quotedPrintable(text);
    for (const QByteArray &l : lines(qp)) {
        EXPECT_LE(l.size(), 76) << l.toStdString();
        EXPECT_FALSE(l.startsWith('.')) << l.toStdString();
        EXPECT_FALSE(l.startsWith("From ")) << l.toStdString();
        EXPECT_FALSE(l.endsWith(' ')) << l.toStdString();
    }
    EXPECT_EQ(str(fromQuotedPrintable(qp)), str(text + QStringLiteral("\r\n")));
}

TEST(MimeWriterBody, lineEndsBecomeCrLf)
{
    EXPECT_EQ(MimeWriter::quotedPrintable(QStringLiteral("a\nb\rc\r\nd")), QByteArray("a\r\nb\r\nc\r\nd\r\n"));
}

TEST(HtmlToText, keepsTheReadableText)
{
    const QString html = QStringLiteral("<html><head><title>x</title><style>p{color:red}</style></head><body>"
                                        "<p>Dear Jo,</p><p>Your quote <b>Q1234</b> is ready &amp; waiting.<br>Thanks"
                                        "</p><script>alert(1)</script></body></html>");
    EXPECT_EQ(str(HtmlText::toPlainText(html)), "Dear Jo,\nYour quote Q1234 is ready & waiting.\nThanks");
}

TEST(MailSettingsFromConfig, takesTheWorkstationsEmailKeys)
{
    config::SystemConfig c;
    c.emailDisable = 1;
    c.emailTransport = QStringLiteral("SMTP");
    c.emailServer = QStringLiteral("mail.example.com");
    c.emailPort = QStringLiteral("2525");
    c.emailEncryption = QStringLiteral("TLS");
    c.emailUsername = QStringLiteral("user");
    c.emailPassword = QStringLiteral("secret");
    c.emailServerTimeout = 7;
    c.emailFrom = QStringLiteral("office@example.com");
    c.emailHelo = QStringLiteral("ws1.example.com");
    c.emailBccSelf = 1;
    c.localData = QStringLiteral("/srv/brevix/local");
    const MailSettings s = mailSettingsFrom(c);
    EXPECT_EQ(str(s.outboxFolder), "/srv/brevix/local/outbox");
    EXPECT_TRUE(s.disabled);
    EXPECT_TRUE(s.isSmtp());
    EXPECT_EQ(str(s.server), "mail.example.com");
    EXPECT_EQ(str(s.port), "2525");
    EXPECT_EQ(str(s.encryption), "TLS");
    EXPECT_EQ(str(s.username), "user");
    EXPECT_EQ(str(s.password), "secret");
    EXPECT_EQ(s.effectiveTimeoutSeconds(), 7);
    EXPECT_EQ(str(s.from), "office@example.com");
    EXPECT_EQ(str(s.helo), "ws1.example.com");
    EXPECT_TRUE(s.bccSelf);
    EXPECT_EQ(MailSettings {}.effectiveTimeoutSeconds(), MailSettings::kDefaultTimeoutSeconds);
}

TEST(SmtpTransportUrl, encryptionChoosesSchemeAndUsualPort)
{
    MailSettings s;
    s.server = QStringLiteral("mail.example.com");
    s.helo = QStringLiteral("ws1");
    EXPECT_EQ(str(SmtpTransport(s).url()), "smtp://mail.example.com:25/ws1");
    s.encryption = QStringLiteral("SSL");
    EXPECT_EQ(str(SmtpTransport(s).url()), "smtps://mail.example.com:465/ws1");
    s.encryption = QStringLiteral("tls");
    EXPECT_EQ(str(SmtpTransport(s).url()), "smtp://mail.example.com:587/ws1");
    s.port = QStringLiteral("2525");
    EXPECT_EQ(str(SmtpTransport(s).url()), "smtp://mail.example.com:2525/ws1");
    s.port.clear();
    s.encryption = QStringLiteral("None");
    s.server = QStringLiteral("mail.example.com:26");
    EXPECT_EQ(str(SmtpTransport(s).url()), "smtp://mail.example.com:26/ws1");
}

TEST(SmtpTransportUrl, badSettingsAreExplained)
{
    MailSettings s;
    QString error;
    EXPECT_TRUE(SmtpTransport(s).url(&error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("EmailServer"))) << str(error);
    s.server = QStringLiteral("mail.example.com");
    s.port = QStringLiteral("smtp");
    EXPECT_TRUE(SmtpTransport(s).url(&error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("\"smtp\""))) << str(error);
    s.port.clear();
    s.encryption = QStringLiteral("Quantum");
    EXPECT_TRUE(SmtpTransport(s).url(&error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("Quantum"))) << str(error);
}

TEST(MailMessageFromRecord, recipientsSenderAndCopies)
{
    MailSettings settings;
    settings.from = QStringLiteral("office@example.com");
    settings.bccSelf = true;
    EmailParams send;
    send.setText("FromAddress", QStringLiteral("jo@example.com"));
    send.setText("FromFullName", QStringLiteral("Jo Bloggs"));
    send.setText("ToAddress", QStringLiteral("a@example.com;b@example.com"));
    send.setText("CCAddress", QStringLiteral("B@example.com; c@example.com"));
    send.setText("RepAddress", QStringLiteral("rep@example.com"));
    send.setLong("CCRep", 1);
    send.setText("MgrAddress", QStringLiteral("mgr@example.com")); // CCMgr 0: not copied
    send.setText("Subject", QStringLiteral("Subject line"));
    send.setText("MessageText", QStringLiteral("Line 1\r\nLine 2"));

    const MailMessageBuilder builder(settings);
    const MailDraft draft = builder.draft(send);
    EXPECT_EQ(str(draft.from), "Jo Bloggs <jo@example.com>");
    EXPECT_EQ(str(draft.cc), "B@example.com; c@example.com; rep@example.com");
    EXPECT_EQ(str(draft.bcc), "jo@example.com");
    QStringList problems;
    const MailMessage m = builder.message(draft, send, &problems);
    EXPECT_TRUE(problems.isEmpty()) << str(problems.join(u' '));
    EXPECT_EQ(str(MailAddress::joined(m.to)), "a@example.com; b@example.com");
    EXPECT_EQ(str(MailAddress::joined(m.cc)), "c@example.com; rep@example.com"); // b already in To
    EXPECT_EQ(str(m.text), "Line 1\r\nLine 2");
    EXPECT_TRUE(m.messageId.endsWith(QLatin1String("@example.com")));

    send.setLong("DisableFromAddress", 1);
    EXPECT_EQ(str(builder.message(draft, send, nullptr).from.address), "office@example.com");
}

TEST(MailMessageFromRecord, problemsKeepItFromBeingSentButNothingIsLost)
{
    QTemporaryDir dir;
    MailSettings settings; // no EmailFrom
    EmailParams send;
    send.setText("ToAddress", QStringLiteral("a@example.com; not valid"));
    send.setText("AttachmentList", dir.filePath(QStringLiteral("missing.pdf")));
    const MailMessageBuilder builder(settings);
    QStringList problems;
    const MailMessage m = builder.message(builder.draft(send), send, &problems);
    ASSERT_EQ(problems.size(), 3) << str(problems.join(u'|'));
    EXPECT_TRUE(problems[0].contains(QStringLiteral("no sender"))) << str(problems[0]);
    EXPECT_TRUE(problems[1].contains(QStringLiteral("\"not valid\""))) << str(problems[1]);
    EXPECT_TRUE(problems[2].contains(QStringLiteral("missing.pdf"))) << str(problems[2]);
    // The invalid entry stays in the message that goes to the failed outbox.
    EXPECT_TRUE(MimeWriter::write(m, MimeWriter::Bcc::Include).contains("To: a@example.com, not valid\r\n"));
}

TEST(MailMessageFromRecord, htmlFormatSendsHtmlWithATextAlternative)
{
    MailSettings settings;
    EmailParams send;
    send.setText("FromAddress", QStringLiteral("jo@example.com"));
    send.setText("ToAddress", QStringLiteral("a@example.com"));
    send.setText("Format", QStringLiteral("Html"));
    send.setText("MessageHTML", QStringLiteral("<p>Hello <b>there</b></p>"));
    const MailMessageBuilder builder(settings);
    MailDraft draft = builder.draft(send);
    EXPECT_TRUE(draft.html);
    MailMessage m = builder.message(draft, send, nullptr);
    EXPECT_EQ(str(m.text), "Hello there");
    const QByteArray mime = MimeWriter::write(m, MimeWriter::Bcc::Omit);
    EXPECT_TRUE(mime.contains("Content-Type: multipart/alternative;"));
    EXPECT_TRUE(mime.contains("Content-Type: text/plain; charset=utf-8"));
    EXPECT_TRUE(mime.contains("Content-Type: text/html; charset=utf-8"));
    EXPECT_LT(mime.indexOf("text/plain"), mime.indexOf("text/html")); // readers show the last they can

    // Format "Text" with only HTML given: the HTML's text, sent as plain text.
    send.setText("Format", QStringLiteral("Text"));
    draft = builder.draft(send);
    EXPECT_FALSE(draft.html);
    EXPECT_EQ(str(draft.body), "Hello there");
}
