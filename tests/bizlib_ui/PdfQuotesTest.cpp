#include "bizlib/report/PdfQuotes.h"

#include "bizlib/Table.h"
#include "bizlib/report/QuoteLetter.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QVariantMap>
#include <gtest/gtest.h>

using namespace bizlib;
using testsupport::Engine;
using testsupport::TestDatabase;

namespace {

// The quote letter as a real PDF: written by PdfQuotes, read back with pdftotext.
class PdfQuotesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_test.isAvailable()) << m_test.skipReason().toStdString();
        add(QStringLiteral("Company"),
            { { "Name", "Northgate Print Ltd" }, { "Address1", "4 Mill Lane" }, { "Town", "Leeds" },
                { "Currency", "GBP" } });
        const Record client
            = add(QStringLiteral("Clients"), { { "Code", "HARB01" }, { "Name", "Harbour Lights Brewery" } });
        const Record contact = add(QStringLiteral("Contacts"),
            { { "ClientID", client.toLong("ClientID") }, { "Name", "Jo Marsh" }, { "Salutation", "Jo" } });
        const Record signer = add(QStringLiteral("Users"),
            { { "Initials", "AB" }, { "FullName", "Alan Bright" }, { "Position", "Estimator" } });
        Table quotes(m_test.db(), QStringLiteral("Quotes"));
        ASSERT_TRUE(quotes.prime(m_quote).isOk());
        const QVariantMap values { { "Number", 24107 }, { "Revision", "A" }, { "QuoteType", "Quote" },
            { "Title", "Beer mats - 95mm round" }, { "ClientID", client.toLong("ClientID") },
            { "Name", "Harbour Lights Brewery" }, { "ContactID", contact.toLong("ContactID") },
            { "Contact", "Jo Marsh" }, { "Address", "Quay Street\nWhitby\nYO21 1DH" },
            { "SignatoryID", signer.toLong("UserID") }, { "Signatory", "Alan Bright" }, { "TaxCode", "S" },
            { "Quantity1", 5000 }, { "QuantityText1", "5,000 mats" }, { "SellingPrice1", "1234.50" },
            { "TaxAmount1", "246.90" }, { "Quantity2", 10000 }, { "SellingPrice2", "1999.00" },
            { "TaxAmount2", "399.80" } };
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            m_quote.setValue(it.key(), it.value());
        ASSERT_TRUE(quotes.insert(m_quote).isOk());
        add(QStringLiteral("SpecTexts"),
            { { "QuoteID", m_quote.toLong("QuoteID") }, { "Size", "95 mm round" }, { "Private", "Do not show this" } });
    }

    Record add(const QString &table, const QVariantMap &values)
    {
        Table t(m_test.db(), table);
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r.setValue(it.key(), it.value());
        EXPECT_TRUE(t.insert(r).isOk());
        return r;
    }

    params::DocumentOutputParams params(const QString &fileName)
    {
        // As the quote processing window fills it.
        params::DocumentOutputParams p;
        p.setText("OutputTo", QStringLiteral("PDF"));
        p.setLong("Overwrite", 1);
        p.setLong("CCRep", 1);
        p.setLong("CCMgr", 1);
        p.setText("Filename", fileName);
        return p;
    }

    static QString pdfText(const QString &fileName)
    {
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), fileName, QStringLiteral("-") });
        if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
            return QStringLiteral("<pdftotext failed: %1>").arg(QString::fromUtf8(tool.readAllStandardError()));
        return QString::fromUtf8(tool.readAllStandardOutput());
    }

    TestDatabase m_test { Engine::SQLite };
    Record m_quote;
};

TEST_F(PdfQuotesTest, letter_holdsQuoteNumberClientPricesSpecAndSignatory)
{
    // Written with "\" separators into a folder that does not exist yet.
    const QString name = m_test.tempPath() + QStringLiteral("\\quotes\\24107A.pdf");
    PdfQuotes pdf(m_test.db());
    QString written;
    const Status st = pdf.run(params(name), m_quote, &written);
    ASSERT_TRUE(st.isOk()) << st.message().toStdString();
    EXPECT_EQ(written, m_test.tempPath() + QStringLiteral("/quotes/24107A.pdf"));

    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
    file.close();

    const QString text = pdfText(written);
    EXPECT_TRUE(text.contains(QStringLiteral("24107A"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Harbour Lights Brewery")));
    EXPECT_TRUE(text.contains(QStringLiteral("Northgate Print Ltd")));
    EXPECT_TRUE(text.contains(QStringLiteral("Jo Marsh")));
    EXPECT_TRUE(text.contains(QStringLiteral("Beer mats - 95mm round")));
    EXPECT_TRUE(text.contains(QStringLiteral("5,000 mats")));
    EXPECT_TRUE(text.contains(QStringLiteral("1,234.50")));
    EXPECT_TRUE(text.contains(QStringLiteral("1,481.40"))); // 1,234.50 + 246.90
    EXPECT_TRUE(text.contains(QStringLiteral("95 mm round")));
    EXPECT_FALSE(text.contains(QStringLiteral("Do not show this")));
    EXPECT_TRUE(text.contains(QStringLiteral("Alan Bright")));
}

TEST_F(PdfQuotesTest, letter_embedsTheLettersTypefaceOnly)
{
    // Each font costs every letter its embedding: the headings, the bold client name and the page
    // number all come from the letter's one family, in its regular and bold faces.
    const QString name = m_test.tempPath() + QStringLiteral("/24107A.pdf");
    PdfQuotes pdf(m_test.db());
    ASSERT_TRUE(pdf.run(params(name), m_quote, nullptr).isOk());
    QProcess tool;
    tool.start(QStringLiteral("pdffonts"), { name });
    ASSERT_TRUE(tool.waitForFinished(30000) && tool.exitCode() == 0) << tool.readAllStandardError().toStdString();
    QStringList fonts;
    for (const QString &line : QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n').mid(2)) {
        if (!line.trimmed().isEmpty())
            fonts << line.section(u' ', 0, 0);
    }
    fonts.sort();
    const QString family = QuoteLetter::fontFamily().remove(u' ');
    EXPECT_EQ(fonts, QStringList({ family, family + QStringLiteral("-Bold") }));
}

TEST_F(PdfQuotesTest, withoutOverwrite_aSecondLetterTakesAFreeName)
{
    const QString name = m_test.tempPath() + QStringLiteral("/24107A.pdf");
    PdfQuotes pdf(m_test.db());
    QString first;
    ASSERT_TRUE(pdf.run(params(name), m_quote, &first).isOk());
    params::DocumentOutputParams keep = params(name);
    keep.setLong("Overwrite", 0);
    QString second;
    ASSERT_TRUE(pdf.run(keep, m_quote, &second).isOk());
    EXPECT_EQ(first, name);
    EXPECT_EQ(second, m_test.tempPath() + QStringLiteral("/24107A_2.pdf"));
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second));
}

TEST_F(PdfQuotesTest, unwritableFolder_failsClearlyAndWritesNothing)
{
    // A plain file where the folder should be: no user, not even root, can write below it.
    QFile blocker(m_test.tempPath() + QStringLiteral("/quotes"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PdfQuotes pdf(m_test.db());
    QString written = QStringLiteral("stale");
    const Status st = pdf.run(params(m_test.tempPath() + QStringLiteral("/quotes/24107A.pdf")), m_quote, &written);
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("24107A.pdf"))) << st.message().toStdString();
    EXPECT_TRUE(written.isEmpty());
    QDirIterator left(m_test.tempPath(), { QStringLiteral("*24107A*") }, QDir::Files, QDirIterator::Subdirectories);
    EXPECT_FALSE(left.hasNext()) << left.next().toStdString();
}

TEST_F(PdfQuotesTest, requestsBeyondAPdfFile_areRefusedBeforeWriting)
{
    const QString name = m_test.tempPath() + QStringLiteral("/24107A.pdf");
    PdfQuotes pdf(m_test.db());
    QString written;
    params::DocumentOutputParams mail = params(name);
    mail.setLong("EmailNotice", 1);
    EXPECT_TRUE(pdf.run(mail, m_quote, &written).isError());
    params::DocumentOutputParams printer = params(name);
    printer.setText("OutputTo", QStringLiteral("Printer"));
    EXPECT_TRUE(pdf.run(printer, m_quote, &written).isError());
    EXPECT_TRUE(pdf.run(params(QString()), m_quote, &written).isError());
    EXPECT_FALSE(QFileInfo::exists(name));
}

} // namespace
