#include "bizlib/FreeFileName.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

// The small helpers the quote and order conversions call beside the quote operations:
// FORMATADDRESS, SEARCHREPLACE, ADDLISTOPTION, CREATEDIRECTORY.

using namespace bizlib;
using testsupport::DataTest;

namespace {

class QuoteSupportOperations : public DataTest
{
protected:
    QStringList options(const QString &field)
    {
        Table t(db(), QStringLiteral("ListOptions"));
        TableCursor c(t, QStringLiteral("FIELDVALUEKEY"));
        c.setRange({ field });
        QStringList out;
        Record r;
        while (c.next(r))
            out << QStringLiteral("%1:%2:%3").arg(r.text("Parent"), r.text("Value")).arg(r.toLong("Sequence"));
        return out;
    }
};

TEST_P(QuoteSupportOperations, formatAddress_readsTopDownWithTheCountryName)
{
    Table countries(db(), QStringLiteral("Countries"));
    Record c;
    ASSERT_TRUE(countries.prime(c).isOk());
    c.setText("CountryName", QStringLiteral("Ireland"));
    ASSERT_TRUE(countries.insert(c).isOk());

    MainLibrary main(db());
    EXPECT_EQ(main.formatAddress(c.toLong("CountryID"), QStringLiteral("D02 X285"), QStringLiteral("County Dublin"),
                  QStringLiteral("Dublin"), QString(), QStringLiteral(" Unit 4 "), QStringLiteral("Harbour Road")),
        QStringLiteral("Harbour Road\nUnit 4\nDublin\nCounty Dublin\nD02 X285\nIreland"));
    EXPECT_EQ(main.formatAddress(
                  9999, QStringLiteral("LS1 4AP"), {}, QStringLiteral("Leeds"), {}, {}, QStringLiteral("1 Park Row")),
        QStringLiteral("1 Park Row\nLeeds\nLS1 4AP"));
}

TEST_P(QuoteSupportOperations, searchReplace_replacesEveryOccurrenceWithinTheWidth)
{
    EXPECT_EQ(MainLibrary::searchReplace(QStringLiteral("/web/System/Clients/Unknown/a.pdf"),
                  QStringLiteral("/system/clients/unknown"), QStringLiteral("/system/clients/ACME")),
        QStringLiteral("/web/system/clients/ACME/a.pdf"));
    EXPECT_EQ(MainLibrary::searchReplace(QStringLiteral("a-a-a"), QStringLiteral("a"), QStringLiteral("bb"), 6),
        QStringLiteral("bb-bb-"));
    EXPECT_EQ(MainLibrary::searchReplace(
                  QStringLiteral("Aa"), QStringLiteral("a"), QStringLiteral("x"), 0, Qt::CaseSensitive),
        QStringLiteral("Ax"));
    EXPECT_EQ(
        MainLibrary::searchReplace(QStringLiteral("same"), QString(), QStringLiteral("x")), QStringLiteral("same"));
}

TEST_P(QuoteSupportOperations, addListOption_addsEachOptionOnceAtTheEndOfItsList)
{
    MainLibrary main(db());
    bool added = false;
    ASSERT_TRUE(
        main.addListOption(QStringLiteral("CON:Prefix"), QStringLiteral("Dr"), {}, true, true, true, &added).isOk());
    EXPECT_TRUE(added);
    ASSERT_TRUE(main.addListOption(QStringLiteral("CON:Prefix"), QStringLiteral("Mrs "), {}).isOk());
    ASSERT_TRUE(
        main.addListOption(QStringLiteral("con:prefix"), QStringLiteral("Dr"), {}, true, true, true, &added).isOk());
    EXPECT_FALSE(added);
    ASSERT_TRUE(
        main.addListOption(QStringLiteral("CON:Prefix"), QStringLiteral("  "), {}, true, true, true, &added).isOk());
    EXPECT_FALSE(added);
    ASSERT_TRUE(
        main.addListOption(QStringLiteral("PHR:Subcategory"), QStringLiteral("Comments"), QStringLiteral("Rejection"))
            .isOk());
    EXPECT_EQ(
        options(QStringLiteral("CON:Prefix")), (QStringList { QStringLiteral(":Dr:1"), QStringLiteral(":Mrs:2") }));
    EXPECT_EQ(options(QStringLiteral("PHR:Subcategory")), QStringList { QStringLiteral("Rejection:Comments:1") });
    EXPECT_TRUE(main.addListOption(QString(), QStringLiteral("x")).isError());
}

TEST_P(QuoteSupportOperations, addListOption_fromTwoWorkstationsAtOnce_addsOnce)
{
    QString failure;
    QThread *other = QThread::create([&] {
        Database station(testDb().config());
        if (!station.open()) {
            failure = QStringLiteral("cannot open");
            return;
        }
        MainLibrary main(station);
        for (int i = 0; i < 20; ++i) {
            const Status st = main.addListOption(QStringLiteral("ORD:DMethod"), QStringLiteral("Courier %1").arg(i));
            if (!st)
                failure = st.message();
        }
    });
    other->start();
    MainLibrary main(db());
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(main.addListOption(QStringLiteral("ORD:DMethod"), QStringLiteral("Courier %1").arg(i)).isOk());
    ASSERT_TRUE(other->wait(60000));
    delete other;
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_EQ(options(QStringLiteral("ORD:DMethod")).size(), 20);
}

TEST_P(QuoteSupportOperations, createDirectory_makesParentsAndSaysWhyItCannot)
{
    const QString base = testDb().tempPath();
    const QString backslashed = base + QStringLiteral("\\company\\quotes\\2025");
    ASSERT_TRUE(MainLibrary::createDirectory(backslashed).isOk());
    EXPECT_TRUE(QDir(base + QStringLiteral("/company/quotes/2025")).exists());
    EXPECT_TRUE(MainLibrary::createDirectory(backslashed).isOk()); // there already

    QFile blocker(base + QStringLiteral("/plainfile"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Status st = MainLibrary::createDirectory(base + QStringLiteral("/plainfile/quotes"));
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("plainfile"))) << st.message().toStdString();
    EXPECT_TRUE(MainLibrary::createDirectory(QString()).isError());
}

TEST(FreeFileNames, aNameTakenByAnotherProgramAfterTheCheckIsNeverShared)
{
    QTemporaryDir dir;
    const QString wanted = dir.filePath(QStringLiteral("24107A.pdf"));
    // Another workstation creates the file between this program's check and its claim.
    FreeFileName::Options options;
    int checks = 0;
    options.taken = [&checks](const QString &candidate, bool *taken) {
        if (checks++ == 0) {
            QFile theirs(candidate);
            EXPECT_TRUE(theirs.open(QIODevice::WriteOnly));
            theirs.write("theirs");
        }
        *taken = false;
        return Status::ok();
    };
    QString mine;
    ASSERT_TRUE(FreeFileName::claim(wanted, &mine, options).isOk());
    EXPECT_EQ(mine, dir.filePath(QStringLiteral("24107A_2.pdf")));
    QFile theirs(wanted);
    ASSERT_TRUE(theirs.open(QIODevice::ReadOnly));
    EXPECT_EQ(theirs.readAll(), QByteArray("theirs")) << "their file is left as it was";

    EXPECT_TRUE(FreeFileName::claim(dir.filePath(QStringLiteral("none/x.pdf")), &mine).isError());
}

// While the records cannot be asked (the database is not answering), the search ends with that
// failure at once; a name taken everywhere ends after a bounded number of tries.
TEST(FreeFileNames, aFailedQuestionEndsTheSearchAndTheTriesAreBounded)
{
    QTemporaryDir dir;
    FreeFileName::Options options;
    int asked = 0;
    options.taken = [&asked](const QString &, bool *) {
        ++asked;
        return Status::error(QStringLiteral("server closed the connection"));
    };
    QString mine;
    Status st = FreeFileName::claim(dir.filePath(QStringLiteral("a.pdf")), &mine, options);
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("server closed"))) << st.message().toStdString();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(mine.isEmpty());

    options.taken = [&asked](const QString &, bool *taken) {
        ++asked;
        *taken = true;
        return Status::ok();
    };
    asked = 0;
    EXPECT_TRUE(FreeFileName::claim(dir.filePath(QStringLiteral("a.pdf")), &mine, options).isNotFound());
    EXPECT_EQ(asked, FreeFileName::kMaxTries);
}

INSTANTIATE_TEST_SUITE_P(Engines, QuoteSupportOperations, testsupport::allEngines(), testsupport::engineName);

} // namespace
