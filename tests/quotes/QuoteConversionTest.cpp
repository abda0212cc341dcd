#include "quotes/QuoteConversion.h"

#include "QuoteFixture.h"
#include "bizlib/Database.h"
#include "bizlib/forms/SelectLibrary.h"
#include "quotes/FileJournal.h"

#include <sys/stat.h>

using bizlib::Record;
using bizlib::forms::Response;
using quotetest::QuoteTest;

namespace {

class Conversion : public QuoteTest
{
protected:
    // Prepares and builds the conversion of `requestId` in one transaction that is kept.
    std::unique_ptr<quotes::QuoteConversion> convert(
        qint32 requestId, bool isRfq, bool automatic, Response expected = Response::Completed)
    {
        bizlib::forms::SelectLibrary select(db(), forms, &prompter); // used by prepare() only
        quotes::QuoteConversion::Services s;
        s.db = &db();
        s.prompter = &prompter;
        s.select = &select;
        s.user = ctx.glo.user;
        s.rfqEstimator = QStringLiteral("AB");
        s.dataFolder = ctx.brevix.globalData;
        s.localCopies = copies;
        auto c = std::make_unique<quotes::QuoteConversion>(s, requestId, isRfq, automatic);
        EXPECT_EQ(c->prepare(), expected);
        if (expected == Response::Completed) {
            bizlib::Status st = c->stageFiles({}, &journal);
            if (st)
                st = c->build();
            EXPECT_TRUE(st.isOk()) << st.message().toStdString();
        }
        return c;
    }

    quotes::FileJournal journal;
    bizlib::LocalFileCopy copies { { files.path() } };
};

TEST_P(Conversion, tabTextsFillTheSpecificationByTabNameAndAreCopiedOntoTheQuote)
{
    const qint32 id = addRequest({ { "SpecDelivery", "By van" } });
    add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Size extra") }, { "Text", "ignored" } });
    add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Other") }, { "Text", "not a section" } });
    add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Notes") }, { "Text", "first" } });
    add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Notes") }, { "Text", "second" } });
    add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Printing") }, { "Text", QString(1200, u'x') } });
    add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Size extra") }, { "Text", "" } });
    const auto c = convert(id, false, true);

    const qint32 quoteId = c->newQuoteId();
    const QList<Record> specs = rows("SpecTexts", "QUOTEIDKEY", { quoteId });
    ASSERT_EQ(specs.size(), 1);
    EXPECT_EQ(specs[0].text("Size"), QStringLiteral("A5"));
    EXPECT_EQ(specs[0].text("Repro"), QStringLiteral("Plates"));
    EXPECT_EQ(specs[0].text("Notes"), QStringLiteral("second"));
    EXPECT_EQ(specs[0].text("Printing"), QString(1000, u'x'));
    EXPECT_TRUE(specs[0].text("Other").isEmpty());
    EXPECT_TRUE(specs[0].text("Delivery").isEmpty()); // the request's own texts are not used
    QStringList copied;
    for (const Record &t : rows("TabTexts", "QUOTEIDTABIDKEY", { quoteId })) {
        EXPECT_EQ(t.toLong("WebQuoteID"), 0);
        copied << t.text("Text").left(8);
    }
    EXPECT_EQ(copied.size(), 7); // every text but the empty one
    EXPECT_TRUE(copied.contains(QStringLiteral("not a se")));
    EXPECT_EQ(rows("TabTexts", "WEBQUOTEIDTABIDKEY", { id }).size(), 8); // the request keeps its own
}

TEST_P(Conversion, aRequestWithoutTabTextsGivesItsOwnSections)
{
    const qint32 id = add("WebQuotes",
        { { "ClientID", client }, { "TemplateID", templateId }, { "SpecSize", "A4" }, { "SpecBrief", "Six designs" },
            { "Status", "Processing" } })
                          .toLong("QuoteID");
    const auto c = convert(id, false, true);
    const QList<Record> specs = rows("SpecTexts", "QUOTEIDKEY", { c->newQuoteId() });
    ASSERT_EQ(specs.size(), 1);
    EXPECT_EQ(specs[0].text("Size"), QStringLiteral("A4"));
    EXPECT_EQ(specs[0].text("Brief"), QStringLiteral("Six designs"));
    // The quote's tab texts follow its specification.
    const QList<Record> texts = rows("TabTexts", "QUOTEIDTABIDKEY", { c->newQuoteId(), tabs.value("Size") });
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0].text("Text"), QStringLiteral("A4"));
}

TEST_P(Conversion, theSourceIsTheTemplateThenThePreviousQuoteAndOtherwiseTheUsersChoice)
{
    const qint32 previous = add("Quotes", { { "Number", 23000 }, { "Title", "Last year" } }).toLong("QuoteID");
    add("QuoteWorkings", { { "QuoteID", previous }, { "Sequence", 10 }, { "Type", "O" }, { "Code", "FOIL" } });
    struct Case
    {
        const char *name;
        qint32 templateId;
        qint32 previousId;
        bool isRfq;
        int answer; // to "Use a template?" (0: not asked)
        bool pickTemplate; // from the template list
        Response prepared;
        int workings; // copied from the source
    };
    const Case cases[] = {
        { "template before previous", templateId, previous, false, 0, false, Response::Completed, 2 },
        { "previous quote", 0, previous, false, 0, false, Response::Completed, 1 },
        { "missing template", 999999, 0, false, 0, false, Response::Completed, 0 },
        { "rfq asks nothing", 0, 0, true, 0, false, Response::Completed, 0 },
        { "template from the list", 0, 0, false, 1, true, Response::Completed, 2 },
        { "manual", 0, 0, false, 2, false, Response::Completed, 0 },
        { "cancel", 0, 0, false, 3, false, Response::Cancelled, 0 },
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        const int asked = prompter.shown().size();
        if (k.answer)
            prompter.answer(k.answer);
        if (k.pickTemplate)
            forms.selectRow(0);
        const qint32 id = add("WebQuotes",
            { { "ClientID", client }, { "TemplateID", k.templateId }, { "PreviousID", k.previousId },
                { "Status", "Processing" } })
                              .toLong("QuoteID");
        const auto c = convert(id, k.isRfq, false, k.prepared);
        EXPECT_EQ(prompter.shown().size(), asked + (k.answer ? 1 : 0));
        if (k.prepared == Response::Cancelled)
            continue;
        EXPECT_EQ(rows("QuoteWorkings", "QUOTEIDKEY", { c->newQuoteId() }).size(), k.workings);
        EXPECT_EQ(c->quote().toLong("Number"), 0);
        EXPECT_EQ(c->quote().toLong("IsTemplate"), 0);
        EXPECT_EQ(c->quote().text("QuoteType"), QLatin1String(k.isRfq ? "RFQ" : "Quote"));
        if (k.templateId == 999999) {
            EXPECT_EQ(c->request().toLong("TemplateID"), 0);
        }
    }
}

TEST_P(Conversion, attachmentsFromLocalDrivesFollowTheAnswerAndNamesNeverLeaveTheFolder)
{
    struct Case
    {
        bool automatic;
        int answer; // to "Copy original attachments?": 1 Yes, 2 No
        int rows; // attachment rows made
    };
    // Three of the four come from local drives; the bare name is recorded without a copy.
    const Case cases[] = { { false, 2, 1 }, { false, 1, 4 }, { true, 0, 4 } };
    const QString outside = files.filePath(QStringLiteral("outside.txt"));
    QFile source(outside);
    ASSERT_TRUE(source.open(QIODevice::WriteOnly) && source.write("x") == 1);
    source.close();
    int webId = 59000;
    for (const Case &k : cases) {
        SCOPED_TRACE(++webId);
        const qint32 id = add("WebQuotes",
            { { "ClientID", client }, { "TemplateID", templateId }, { "WebID", webId }, { "HasAttachments", 1 },
                { "Status", "Processing" } })
                              .toLong("QuoteID");
        add("WebAttachments",
            { { "QuoteID", id }, { "SourceName", "X:\\Jobs\\23000\\old.pdf" },
                { "Filename", QStringLiteral("%1_old.pdf").arg(webId) } });
        add("WebAttachments", { { "QuoteID", id }, { "SourceName", "brief.docx" }, { "Filename", "brief.docx" } });
        add("WebAttachments", { { "QuoteID", id }, { "SourceName", outside }, { "Filename", "../../escape.txt" } });
        add("WebAttachments", { { "QuoteID", id }, { "SourceName", outside }, { "Filename", "c:evil" } });
        if (k.answer)
            prompter.answer(k.answer);
        const auto c = convert(id, false, k.automatic);
        const QList<Record> made = rows("Attachments", "QUOTEIDKEY", { c->newQuoteId() });
        EXPECT_EQ(made.size(), k.rows);
        for (const Record &a : made) {
            EXPECT_EQ(a.text("ParentType"), QStringLiteral("QTE"));
            EXPECT_EQ(a.toLong("ParentID"), c->newQuoteId());
            EXPECT_EQ(a.toLong("Copied"), a.text("Filename").startsWith(QLatin1String("escape")) ? 1 : 0)
                << a.text("Filename").toStdString();
        }
        // Only the local file with a usable name is copied, under its last name part, into the folder
        // (an earlier case's record still names "escape.txt": this copy takes the next free name).
        const QStringList copied = QDir(dataFile({})).entryList(QDir::Files);
        const QString expected = webId == 59002 ? QStringLiteral("escape.txt") : QStringLiteral("escape_2.txt");
        EXPECT_EQ(copied, k.rows == 4 ? QStringList { expected } : QStringList {});
        for (const QString &name : copied)
            QFile::remove(dataFile(name));
    }
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList { QStringLiteral("outside.txt") });
}

// Sources named by the website are copied only when they are regular files, within the size
// limit, inside an allowed folder; anything else is refused with its reason and the attachment is
// recorded without a copy. Two attachments of the same name get two files, each its own.
TEST_P(Conversion, onlyAllowedRegularFilesAreCopiedEachToAFileOfItsOwn)
{
    const QString allowed = files.filePath(QStringLiteral("uploads"));
    const QString other = files.filePath(QStringLiteral("private"));
    ASSERT_TRUE(QDir().mkpath(allowed) && QDir().mkpath(other));
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    };
    write(QDir(allowed).filePath(QStringLiteral("a.pdf")), "first");
    write(QDir(allowed).filePath(QStringLiteral("b.pdf")), "second");
    write(QDir(allowed).filePath(QStringLiteral("big.pdf")), QByteArray(2048, 'x'));
    write(QDir(other).filePath(QStringLiteral("secret.pdf")), "secret");
    ASSERT_EQ(::mkfifo(QFile::encodeName(QDir(allowed).filePath(QStringLiteral("pipe.pdf"))).constData(), 0600), 0);
    copies = bizlib::LocalFileCopy { { allowed }, 1024 };
    const qint32 id = add("WebQuotes",
        { { "ClientID", client }, { "TemplateID", templateId }, { "WebID", 59100 }, { "HasAttachments", 1 },
            { "Status", "Processing" } })
                          .toLong("QuoteID");
    struct Source
    {
        const char *path; // relative to the test folder
        const char *refusal; // empty: copied
    };
    const Source sources[] = { { "uploads/a.pdf", "" }, { "uploads/b.pdf", "" }, { "private/secret.pdf", "not inside" },
        { "uploads/pipe.pdf", "not a regular file" }, { "uploads/big.pdf", "larger than" },
        { "uploads/../private/secret.pdf", "not inside" } };
    for (const Source &src : sources)
        add("WebAttachments",
            { { "QuoteID", id }, { "SourceName", files.filePath(QLatin1String(src.path)) }, { "Filename", "art.pdf" } });
    const auto c = convert(id, false, true);

    const QList<Record> made = rows("Attachments", "QUOTEIDKEY", { c->newQuoteId() });
    ASSERT_EQ(made.size(), int(std::size(sources)));
    QStringList contents;
    for (const Record &a : made) {
        if (a.toLong("Copied") == 1) {
            QFile f(a.text("LocalPath"));
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            contents << QString::fromLatin1(f.readAll());
        }
    }
    EXPECT_EQ(contents, (QStringList { "first", "second" }));
    const QStringList refusals = c->refusals();
    ASSERT_EQ(refusals.size(), 4);
    for (int i = 2; i < int(std::size(sources)); ++i)
        EXPECT_TRUE(refusals.at(i - 2).contains(QLatin1String(sources[i].refusal))) << refusals.at(i - 2).toStdString();
    EXPECT_EQ(QDir(dataFile({})).entryList(QDir::Files), (QStringList { "art.pdf", "art_2.pdf" }));
}

INSTANTIATE_TEST_SUITE_P(Engines, Conversion, testsupport::allEngines(), testsupport::engineName);

} // namespace
