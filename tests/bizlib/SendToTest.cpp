#include "bizlib/mail/MailComposer.h"
#include "bizlib/sendto/ListWriter.h"
#include "bizlib/sendto/SendTo.h"
#include "support/ScriptedPrompter.h"
#include "support/SmtpSink.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bizlib::sendto;
using Destination = SendToPrompter::Destination;

namespace {

class Rows : public ListSource
{
public:
    QString title() const override { return QStringLiteral("User history"); }
    QStringList headers() const override { return { QStringLiteral("By"), QStringLiteral("Comments") }; }
    bizlib::Status rows(const std::function<void(const QStringList &)> &row) const override
    {
        row({ QStringLiteral("JS"), QStringLiteral("=HYPERLINK(\"http://x\")") });
        row({ QStringLiteral("Zoë"), QStringLiteral("<b>Bad</b> gateway, retried") });
        return bizlib::Status::ok();
    }
};

class ScriptedAsk : public SendToPrompter
{
public:
    Destination destination = Destination::Cancel;
    QString file;
    QString printed;
    qint64 rowsShown = -2;

    Destination chooseDestination(const QString &, qint64 rows) override
    {
        rowsShown = rows;
        return destination;
    }
    QString chooseFile(const QString &, const QString &) override { return file; }
    bool print(const QString &, const QString &html) override
    {
        printed = html;
        return true;
    }
};

class SendsAsIs : public bizlib::mail::MailComposer
{
public:
    bool compose(bizlib::mail::MailDraft &draft) override
    {
        draft.to = QStringLiteral("manager@example.com");
        return true;
    }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(SendTo, csvFieldsAreQuotedWhereNeededAndFormulasDefused)
{
    const QList<QPair<QString, QString>> cases {
        { QStringLiteral("plain"), QStringLiteral("plain") },
        { QStringLiteral("a,b"), QStringLiteral("\"a,b\"") },
        { QStringLiteral("say \"hi\""), QStringLiteral("\"say \"\"hi\"\"\"") },
        { QStringLiteral("two\nlines"), QStringLiteral("\"two\nlines\"") },
        { QStringLiteral(" padded"), QStringLiteral("\" padded\"") },
        { QStringLiteral("=SUM(A1:A9)"), QStringLiteral("'=SUM(A1:A9)") },
        { QStringLiteral("@cmd"), QStringLiteral("'@cmd") },
        { QStringLiteral("-12.5"), QStringLiteral("-12.5") },
        { QStringLiteral("+44 113 496 0000"), QStringLiteral("'+44 113 496 0000") },
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(ListWriter::csvField(in), out) << in.toStdString();
    EXPECT_EQ(ListWriter::fileName(QStringLiteral("Web user: status/all")), QStringLiteral("Web user_ status_all.csv"));
}

TEST(SendTo, toFile_writesTheListAsCsvOrNothingWhenCancelled)
{
    QTemporaryDir dir;
    testsupport::ScriptedPrompter prompter;
    ScriptedAsk ask;
    SendTo::Services services;
    services.prompter = &prompter;
    services.ask = &ask;
    SendTo send(services);
    const QString path = dir.filePath(QStringLiteral("history.csv"));

    EXPECT_EQ(send.run(Rows(), 2), bizlib::forms::Response::Cancelled);
    EXPECT_FALSE(QFile::exists(path));

    ask.destination = Destination::File;
    ask.file = path;
    EXPECT_EQ(send.run(Rows(), 2), bizlib::forms::Response::Completed);
    EXPECT_EQ(ask.rowsShown, 2);
    EXPECT_EQ(readAll(path),
        "\xEF\xBB\xBF"
            + QStringLiteral("By,Comments\r\nJS,\"'=HYPERLINK(\"\"http://x\"\")\"\r\nZoë,\"<b>Bad</b> gateway, retried\"\r\n")
                  .toUtf8());

    ask.file = dir.filePath(QStringLiteral("no/such/folder/list.csv"));
    EXPECT_EQ(send.run(Rows()), bizlib::forms::Response::Cancelled);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Send to"));
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("list.csv")));
}

TEST(SendTo, toPrinterAndEmail_carryTheListEscapedAndAttached)
{
    QTemporaryDir dir;
    testsupport::SmtpSink sink;
    ASSERT_TRUE(sink.start());
    ScriptedAsk ask;
    SendsAsIs composer;
    SendTo::Services services;
    services.ask = &ask;
    services.composer = &composer;
    services.mail.transport = QStringLiteral("SMTP");
    services.mail.server = QStringLiteral("127.0.0.1");
    services.mail.port = QString::number(sink.port());
    services.mail.timeoutSeconds = 2;
    services.mail.outboxFolder = dir.filePath(QStringLiteral("outbox"));
    services.sender.userCode = QStringLiteral("JS");
    services.sender.userName = QStringLiteral("Jane Sutton");
    services.sender.email = QStringLiteral("jane@example.com");

    ask.destination = Destination::Printer;
    EXPECT_EQ(SendTo(services).run(Rows()), bizlib::forms::Response::Completed);
    EXPECT_TRUE(ask.printed.contains(QStringLiteral("&lt;b&gt;Bad&lt;/b&gt;")));
    EXPECT_FALSE(ask.printed.contains(QStringLiteral("<b>Bad")));

    ask.destination = Destination::Email;
    EXPECT_EQ(SendTo(services).run(Rows()), bizlib::forms::Response::Completed);
    ASSERT_EQ(sink.messages().size(), 1);
    const testsupport::SmtpSink::Message m = sink.messages().first();
    EXPECT_EQ(m.from, QStringLiteral("jane@example.com"));
    EXPECT_EQ(m.header("Subject"), QStringLiteral("User history"));
    EXPECT_TRUE(m.data.contains("filename=\"User history.csv\""));
    // The attachment is the list itself (base64 of the CSV with its byte-order mark).
    EXPECT_TRUE(m.data.contains(QByteArray("\xEF\xBB\xBF" "By,Comments\r\nJS,").toBase64().left(20)));
}

} // namespace
