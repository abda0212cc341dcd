#include "console/general/AttachmentActions.h"

#include "bizlib/TableCursor.h"
#include "console/ScriptedDesktop.h"
#include "console/WebRows.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using console::AttachmentActions;
using console::RequestRef;
using consoletest::ScriptedDesktop;
using testsupport::DataTest;
using testsupport::ScriptedPrompter;
using Icon = bizlib::Prompter::Icon;

namespace {

class Attachments : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        actions = std::make_unique<AttachmentActions>(db(), prompter, desktop, data.filePath(QStringLiteral("data")));
    }

    QString sourceFile(const QString &name, const QByteArray &content = "artwork")
    {
        const QString path = files.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    bizlib::Record attachment(qint32 id)
    {
        bizlib::Table t(db(), QStringLiteral("WebAttachments"));
        bizlib::Record r = t.newRecord();
        t.fetch(QStringLiteral("ATTACHMENTIDKEY"), { id }, r);
        return r;
    }

    qint64 attachmentCount()
    {
        bizlib::Table t(db(), QStringLiteral("WebAttachments"));
        qint64 n = 0;
        t.count(&n);
        return n;
    }

    qint32 addArtwork(qint32 orderId, int artwork, const QString &localPath = {})
    {
        return consoletest::addRow(db(), QStringLiteral("WebAttachments"), [&](bizlib::Record &r) {
            r.setLong("OrderID", orderId);
            r.setText("SourceName", QStringLiteral("https://example.com/a.pdf"));
            r.setText("Filename", QStringLiteral("1_a.pdf"));
            r.setText("LocalPath", localPath);
            r.setLong("Artwork", artwork);
        });
    }

    QTemporaryDir data;
    QTemporaryDir files;
    ScriptedPrompter prompter;
    ScriptedDesktop desktop;
    std::unique_ptr<AttachmentActions> actions;
};

TEST_P(Attachments, addAsksForFilesWithTheFiltersInOrderAndStoresEachUnderTheOwnersFolder)
{
    const RequestRef order { RequestRef::Kind::Order, 41, 73005 };
    desktop.choose({ sourceFile(QStringLiteral("proof.pdf")), QString(), sourceFile(QStringLiteral("logo.png")) });
    EXPECT_EQ(actions->add(order), 2) << "an empty path adds nothing";

    ASSERT_EQ(desktop.dialogs().size(), 1);
    const ScriptedDesktop::Dialog &dialog = desktop.dialogs().first();
    EXPECT_EQ(dialog.title, QStringLiteral("Select attachment(s)"));
    EXPECT_TRUE(dialog.several);
    QStringList filters;
    for (const auto &f : dialog.filters)
        filters << f.name + u' ' + f.patterns;
    EXPECT_EQ(filters,
        (QStringList { "PDF file(s) *.pdf", "PNG file(s) *.png", "EPS file(s) *.eps", "TIF file(s) *.tif *.tif?",
            "JPEG file(s) *.jpg", "Excel file(s) *.xls *.xls?", "Word file(s) *.doc *.doc?", "All file(s) *.*" }));
    // Each filter shows the three- and the four-letter extension alike.
    const auto shows = [&](int filter, const QString &file) {
        return QDir::match(dialog.filters.at(filter).patterns.split(u' '), file);
    };
    for (const auto &[filter, files] :
        std::initializer_list<std::pair<int, QStringList>> { { 3, { "scan.tif", "scan.tiff" } },
            { 5, { "sums.xls", "sums.xlsx" } }, { 6, { "brief.doc", "brief.docx" } } })
        for (const QString &file : files)
            EXPECT_TRUE(shows(filter, file)) << file.toStdString();
    EXPECT_FALSE(shows(3, QStringLiteral("scan.pdf")));

    const bizlib::Record first = attachment(1);
    EXPECT_EQ(first.toLong("OrderID"), 41);
    EXPECT_EQ(first.toLong("QuoteID"), 0);
    EXPECT_EQ(first.text("Filename"), QStringLiteral("73005_proof.pdf"));
    EXPECT_EQ(first.text("SourceFile"), QStringLiteral("proof.pdf"));
    EXPECT_EQ(first.text("SourceName"), files.filePath(QStringLiteral("proof.pdf")));
    const QString stored = data.filePath(QStringLiteral("data/orders/73005_proof.pdf"));
    EXPECT_EQ(first.text("LocalPath"), stored);
    QFile copy(stored);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("artwork"));

    const RequestRef quote { RequestRef::Kind::Quote, 8, 512 };
    EXPECT_TRUE(actions->addFile(quote, sourceFile(QStringLiteral("brief.docx"))));
    const bizlib::Record q = attachment(3);
    EXPECT_EQ(q.toLong("QuoteID"), 8);
    EXPECT_EQ(q.toLong("OrderID"), 0);
    EXPECT_TRUE(QFile::exists(data.filePath(QStringLiteral("data/quotes/512_brief.docx"))));
}

TEST_P(Attachments, addDoesNothingWithoutASelectedRequest)
{
    desktop.choose({ sourceFile(QStringLiteral("proof.pdf")) });
    EXPECT_EQ(actions->add({ RequestRef::Kind::Order, 0, 0 }), 0);
    EXPECT_EQ(actions->add({}), 0);
    EXPECT_TRUE(desktop.dialogs().isEmpty());
    EXPECT_EQ(attachmentCount(), 0);
}

TEST_P(Attachments, storedNameTakesOnlyTheNamePartAndRefusesNamesThatLeaveTheFolder)
{
    EXPECT_EQ(AttachmentActions::storedName(7, QStringLiteral("/home/u/art/final.pdf")), QStringLiteral("7_final.pdf"));
    EXPECT_EQ(
        AttachmentActions::storedName(7, QStringLiteral("C:\\jobs\\..\\final.pdf")), QStringLiteral("7_final.pdf"));
    EXPECT_EQ(AttachmentActions::storedName(7, QStringLiteral("../../etc/passwd")), QStringLiteral("7_passwd"));
    EXPECT_FALSE(AttachmentActions::storedName(7, QStringLiteral("/tmp/..")));
    EXPECT_FALSE(AttachmentActions::storedName(7, QStringLiteral("C:\\jobs\\.")));
    EXPECT_FALSE(AttachmentActions::storedName(7, QStringLiteral("/tmp/art/")));

    // A refused name is reported and leaves no record and no file.
    const QString escaping = files.filePath(QStringLiteral("sub/.."));
    EXPECT_FALSE(actions->addFile({ RequestRef::Kind::Order, 41, 9 }, escaping));
    EXPECT_EQ(attachmentCount(), 0);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().icon, Icon::Exclamation);
    EXPECT_FALSE(QDir(data.filePath(QStringLiteral("data"))).exists());

    // A path with folder parts is stored inside the folder under its name part only.
    QDir().mkpath(files.filePath(QStringLiteral("deep/down")));
    const QString nested = sourceFile(QStringLiteral("deep/down/../x.pdf"));
    EXPECT_TRUE(actions->addFile({ RequestRef::Kind::Order, 41, 9 }, nested));
    EXPECT_EQ(attachment(1).text("LocalPath"), data.filePath(QStringLiteral("data/orders/9_x.pdf")));
}

TEST_P(Attachments, aFailedCopyIsReportedAndKeepsTheRecord)
{
    EXPECT_TRUE(actions->addFile({ RequestRef::Kind::Order, 41, 9 }, files.filePath(QStringLiteral("missing.pdf"))));
    EXPECT_EQ(attachmentCount(), 1);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("could not be copied")));
}

TEST_P(Attachments, deleteRefusesArtworkAndOtherwiseRemovesFileAndRecordAfterConfirmation)
{
    const qint32 artwork = addArtwork(1, 1);
    EXPECT_FALSE(actions->remove(artwork));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text,
        QStringLiteral("WARNING: You cannot remove artwork attachments as these are critical to the order."));
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Cannot delete artwork"));
    EXPECT_EQ(prompter.beeps().first(), Icon::Exclamation);
    EXPECT_EQ(attachmentCount(), 1);

    // The stored copy lives in the orders' attachments folder.
    const QString local = data.filePath(QStringLiteral("data/orders/1_stored.pdf"));
    QDir().mkpath(QFileInfo(local).absolutePath());
    {
        QFile f(local);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const qint32 plain = addArtwork(1, 0, local);
    prompter.answer(2); // No
    EXPECT_FALSE(actions->remove(plain));
    EXPECT_EQ(prompter.shown().last().text, QStringLiteral("Are you sure you want to delete the attachment record?"));
    EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("Confirm delete"));
    EXPECT_EQ(prompter.shown().last().defaultButton, 2) << "No is the default";
    EXPECT_TRUE(QFile::exists(local));
    EXPECT_EQ(attachmentCount(), 2);

    prompter.answer(1); // Yes
    EXPECT_TRUE(actions->remove(plain));
    EXPECT_FALSE(QFile::exists(local));
    EXPECT_EQ(attachmentCount(), 1);
    EXPECT_FALSE(actions->remove(plain)) << "gone: nothing happens";
}

TEST_P(Attachments, openCopyUrlAndArtworkWorkOnTheAttachmentReadAgain)
{
    const qint32 id = addArtwork(1, 0);
    EXPECT_TRUE(actions->open(attachment(id)));
    EXPECT_EQ(desktop.opened(), QStringList { "https://example.com/a.pdf" });
    bizlib::Record blank = attachment(id);
    blank.setText("SourceName", QStringLiteral("   "));
    EXPECT_FALSE(actions->open(blank));
    EXPECT_EQ(desktop.opened().size(), 1);

    EXPECT_TRUE(actions->copyUrl(id));
    EXPECT_EQ(desktop.clipboard(), QStringLiteral("https://example.com/a.pdf"));

    EXPECT_TRUE(actions->toggleArtwork(id));
    EXPECT_EQ(attachment(id).toLong("Artwork"), 1);
    EXPECT_TRUE(actions->toggleArtwork(id));
    EXPECT_EQ(attachment(id).toLong("Artwork"), 0);
    EXPECT_FALSE(actions->toggleArtwork(id + 100));
}

TEST_P(Attachments, sameNameTwiceKeepsBothCopiesAndDeletingOneLeavesTheOther)
{
    const RequestRef quote { RequestRef::Kind::Quote, 7, 58004 };
    desktop.choose({ sourceFile(QStringLiteral("a/brief.pdf"), "first") });
    desktop.choose({ sourceFile(QStringLiteral("b/brief.pdf"), "second") });
    ASSERT_EQ(actions->add(quote), 1);
    ASSERT_EQ(actions->add(quote), 1);
    bizlib::Table t(db(), QStringLiteral("WebAttachments"));
    bizlib::TableCursor c(t, QStringLiteral("ATTACHMENTIDKEY"));
    QList<bizlib::Record> rows;
    bizlib::Record r;
    while (c.next(r))
        rows << r;
    ASSERT_EQ(rows.size(), 2);
    const QString first = rows[0].text("LocalPath");
    const QString second = rows[1].text("LocalPath");
    EXPECT_NE(first, second);
    EXPECT_TRUE(second.endsWith(QStringLiteral("58004_brief_2.pdf"))) << second.toStdString();
    QFile f1(first);
    ASSERT_TRUE(f1.open(QIODevice::ReadOnly));
    EXPECT_EQ(f1.readAll(), QByteArray("first"));

    prompter.answer(1); // Yes
    ASSERT_TRUE(actions->remove(rows[0].toLong("AttachmentID")));
    EXPECT_FALSE(QFile::exists(first));
    EXPECT_TRUE(QFile::exists(second));
}

TEST_P(Attachments, deletingARecordWhosePathLeavesTheFolderKeepsThatFile)
{
    const QString outside = sourceFile(QStringLiteral("precious.txt"), "keep me");
    const qint32 id = addArtwork(41, 0, outside);
    prompter.answer(1); // Yes
    ASSERT_TRUE(actions->remove(id));
    EXPECT_EQ(attachmentCount(), 0);
    EXPECT_TRUE(QFile::exists(outside));

    // A link inside the folder makes "<folder>/lnk/../victim" look like a file of the folder
    // while it names one outside.
    const QString folder = data.filePath(QStringLiteral("data/orders"));
    QDir().mkpath(folder);
    const QString elsewhere = files.filePath(QStringLiteral("deep/inside"));
    QDir().mkpath(elsewhere);
    ASSERT_TRUE(QFile::link(elsewhere, folder + QStringLiteral("/lnk")));
    const QString victim = sourceFile(QStringLiteral("deep/victim"), "keep me too");
    const qint32 tricked = addArtwork(41, 0, folder + QStringLiteral("/lnk/../victim"));
    prompter.answer(1);
    ASSERT_TRUE(actions->remove(tricked));
    EXPECT_TRUE(QFile::exists(victim));
}

TEST_P(Attachments, deletingOneOfTwoRecordsOfOneFileKeepsTheFile)
{
    const QString local = data.filePath(QStringLiteral("data/orders/1_shared.pdf"));
    QDir().mkpath(QFileInfo(local).absolutePath());
    QFile(local).open(QIODevice::WriteOnly);
    const qint32 first = addArtwork(1, 0, local);
    // The second record names the same file in other words.
    const qint32 second = addArtwork(2, 0, data.filePath(QStringLiteral("data/orders/./1_shared.pdf")));
    prompter.answer(1);
    ASSERT_TRUE(actions->remove(first));
    EXPECT_TRUE(QFile::exists(local)) << "the other record still names it";
    prompter.answer(1);
    ASSERT_TRUE(actions->remove(second));
    EXPECT_FALSE(QFile::exists(local)) << "the last record takes its file along";
}

TEST_P(Attachments, aStoredPathLongerThanItsFieldIsRefusedAlsoAfterARename)
{
    // A folder whose path leaves room for "9_" and a name of exactly `room` characters.
    const QString base = data.filePath(QStringLiteral("d"));
    const qsizetype room = 256 - (base + QStringLiteral("/orders/9_")).size();
    ASSERT_GT(room, 10);
    actions = std::make_unique<AttachmentActions>(db(), prompter, desktop, base);
    const QString fits = QString(room - 4, u'a') + QStringLiteral(".pdf");
    const QString tooLong = u'b' + fits;
    const RequestRef order { RequestRef::Kind::Order, 41, 9 };

    EXPECT_FALSE(actions->addFile(order, sourceFile(tooLong)));
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("must name a file inside")));
    ASSERT_TRUE(actions->addFile(order, sourceFile(fits)));
    EXPECT_EQ(attachment(1).text("LocalPath").size(), 256);
    // The same name again would need "_2": two characters more than the field holds.
    EXPECT_FALSE(actions->addFile(order, sourceFile(fits)));
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("no free name")));
    EXPECT_EQ(attachmentCount(), 1);
    EXPECT_EQ(QDir(base + QStringLiteral("/orders")).entryList(QDir::Files).size(), 1) << "nothing left behind";
}

INSTANTIATE_TEST_SUITE_P(Engines, Attachments, testsupport::allEngines(), testsupport::engineName);

} // namespace
