#include "console/ListPicture.h"
#include "console/general/RequestListSet.h"
#include "console/WebRows.h"
#include "support/ItemModelCheck.h"
#include "support/TestDatabase.h"

#include <QLocale>

using namespace console;
using consoletest::addClient;
using consoletest::addOrder;
using consoletest::addQuote;
using consoletest::addRow;
using consoletest::addSignup;
using testsupport::DataTest;
using testsupport::ItemModelCheck;

namespace {

class ListModels : public DataTest
{
protected:
    static QString cell(const JoinedListModel &m, int row, int column, int role = Qt::DisplayRole)
    {
        return m.data(m.index(row, column), role).toString();
    }
    static QStringList columnTexts(const JoinedListModel &m, int column, int role = Qt::DisplayRole)
    {
        QStringList texts;
        for (int r = 0; r < m.rowCount(); ++r)
            texts << cell(m, r, column, role);
        return texts;
    }
    static QStringList titles(const JoinedListModel &m)
    {
        QStringList t;
        for (int c = 0; c < m.columnCount(); ++c)
            t << m.headerData(c, Qt::Horizontal).toString();
        return t;
    }
    static qint64 count(const JoinedListModel &m)
    {
        qint64 n = -1;
        EXPECT_TRUE(m.totalCount(&n).isOk());
        return n;
    }
};

TEST_P(ListModels, quoteListShowsEveryColumnWithItsPictureAndBlanksZeros)
{
    const qint32 domain = addRow(db(), QStringLiteral("Domains"),
        [](bizlib::Record &r) { r.setText("Description", QStringLiteral("Trade portal")); });
    const qint32 client = addClient(db(), QStringLiteral("Acme Print Buyers"), QStringLiteral("JS"), domain);
    addQuote(db(), 1, client, QStringLiteral("Pending"), [](bizlib::Record &r) {
        r.setLong("HasAttachments", 1);
        r.setLong("NoteID", 9);
        r.setLong("Quantity1", 0);
        r.setText("Title", QString(300, u'x'));
        r.setDecimal("Depth", bizlib::Decimal(2100000, 4));
        r.setLong("Pages", 4);
        r.setDecimal("SellingPrice1", bizlib::Decimal(1250, 2));
        r.setLong("TemplateID", -3);
        r.setText("QuoteType", QStringLiteral("Template"));
    });
    addQuote(db(), 2, 0, QStringLiteral("Pending"), [](bizlib::Record &r) { r.setLong("Quantity1", 2500); });

    QuoteListModel m(db());
    ItemModelCheck check(&m);
    ASSERT_TRUE(m.reset().isOk()) << m.lastError().toStdString();
    EXPECT_EQ(titles(m),
        (QStringList { {}, {}, "Client", "Received", "At", "Quantity", "Title", "Depth", "Width", "Contact", "Pages",
            "Office", "Rep", "Mgr", "Price", "Domain", "Run-on", "Price", "Weight", "TemplateID", "Web ID",
            "PreviousID", "Quote-type", "Quote ID" }));
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(cell(m, 0, QuoteListModel::AttachmentIcon, JoinedListModel::IconRole), QStringLiteral("Attachment"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::NoteIcon, JoinedListModel::IconRole), QStringLiteral("Notes"));
    EXPECT_EQ(cell(m, 1, QuoteListModel::NoteIcon, JoinedListModel::IconRole), QString());
    EXPECT_EQ(cell(m, 0, QuoteListModel::Client), QStringLiteral("Acme Print Buyers"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::Mgr), QStringLiteral("JS"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::Domain), QStringLiteral("Trade portal"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::Received), QLocale().toString(QDate(2026, 3, 14), QLocale::ShortFormat));
    EXPECT_EQ(cell(m, 0, QuoteListModel::At), ListPicture::time(bizlib::DateTime::fromTime(QTime(9, 30))));
    EXPECT_TRUE(cell(m, 0, QuoteListModel::At).contains(QStringLiteral("30")));
    EXPECT_FALSE(cell(m, 0, QuoteListModel::At).contains(QStringLiteral(":00")));
    EXPECT_EQ(cell(m, 0, QuoteListModel::Quantity), QString()) << "blank when 0";
    EXPECT_EQ(cell(m, 1, QuoteListModel::Quantity), QStringLiteral("2500"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::Title).size(), 255);
    EXPECT_EQ(cell(m, 0, QuoteListModel::Depth), QStringLiteral("210.0000"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::Width), QStringLiteral("0.0000")) << "not blank when 0";
    EXPECT_EQ(cell(m, 0, QuoteListModel::Pages), QStringLiteral("4"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::Price), QStringLiteral("12.50"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::RunOn), QString());
    EXPECT_EQ(cell(m, 0, QuoteListModel::RunOnPrice), QString());
    EXPECT_EQ(cell(m, 0, QuoteListModel::Weight), QString());
    EXPECT_EQ(cell(m, 0, QuoteListModel::TemplateId), QStringLiteral("-3"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::WebId), QStringLiteral("50001"));
    EXPECT_EQ(cell(m, 0, QuoteListModel::QuoteType), QStringLiteral("Template"));
    // A request without a client still lists, with the client's columns empty.
    EXPECT_EQ(cell(m, 1, QuoteListModel::Client), QString());
    EXPECT_EQ(cell(m, 1, QuoteListModel::Domain), QString());
    EXPECT_EQ(m.stripeColour(), 0xF5F9F4u);
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST_P(ListModels, requestListsFollowTheirKeyAndHideWhatIsBeingProcessedUntilPendingOnlyIsOff)
{
    for (const qint32 n : { 3, 1, 4, 2 })
        addQuote(db(), n, 0, n == 4 ? QStringLiteral("Processing") : QStringLiteral("Pending"));
    for (const qint32 n : { 12, 11, 13 })
        addOrder(db(), n, 0, n == 12 ? QStringLiteral("Processing") : QStringLiteral("Pending"));

    RequestListSet lists(db(), QStringLiteral("JS"));
    lists.resetAll();
    EXPECT_EQ(columnTexts(lists.quotes(), QuoteListModel::Title), (QStringList { "Quote 1", "Quote 2", "Quote 3" }));
    EXPECT_EQ(columnTexts(lists.orders(), OrderListModel::Title), (QStringList { "Order 11", "Order 13" }));
    EXPECT_EQ(lists.counts().quotes, 3);
    EXPECT_EQ(lists.counts().orders, 2);

    ASSERT_TRUE(lists.setFilters({ false, false, false }).isOk());
    EXPECT_EQ(columnTexts(lists.quotes(), QuoteListModel::Title),
        (QStringList { "Quote 1", "Quote 2", "Quote 3", "Quote 4" }));
    EXPECT_EQ(columnTexts(lists.orders(), OrderListModel::Title), (QStringList { "Order 11", "Order 12", "Order 13" }));
    EXPECT_EQ(lists.counts().quotes, 4);

    ASSERT_TRUE(lists.setFilters({ false, true, false }).isOk());
    EXPECT_EQ(lists.quotes().rowCount(), 3);
}

TEST_P(ListModels, myAccountsFilterBindsTheUsersCodeSoThatAQuoteInItIsJustAValue)
{
    const qint32 mine = addClient(db(), QStringLiteral("Mine Ltd"), QStringLiteral("O'N"));
    const qint32 theirs = addClient(db(), QStringLiteral("Theirs Ltd"), QStringLiteral("JS"));
    addQuote(db(), 1, mine);
    addQuote(db(), 2, theirs);
    addQuote(db(), 3, 0);
    addOrder(db(), 1, theirs);
    addOrder(db(), 2, mine);
    addSignup(db(), QStringLiteral("Sam Signup"), QStringLiteral("Pending"), QStringLiteral("Web"));

    RequestListSet lists(db(), QStringLiteral("O'N  "));
    ASSERT_TRUE(lists.setFilters({ true, true, false }).isOk());
    EXPECT_TRUE(lists.quotes().lastError().isEmpty()) << lists.quotes().lastError().toStdString();
    EXPECT_EQ(columnTexts(lists.quotes(), QuoteListModel::Title), QStringList { "Quote 1" });
    EXPECT_EQ(columnTexts(lists.orders(), OrderListModel::Title), QStringList { "Order 2" });
    EXPECT_EQ(lists.counts().quotes, 1);
    EXPECT_EQ(lists.counts().orders, 1);
    lists.signups().reset();
    EXPECT_EQ(lists.signups().rowCount(), 1) << "sign-ups are not filtered by account";

    // A code that tries to close the quote and add a condition matches nothing.
    RequestListSet hostile(db(), QStringLiteral("' OR '1'='1"));
    ASSERT_TRUE(hostile.setFilters({ true, true, false }).isOk());
    EXPECT_EQ(hostile.quotes().rowCount(), 0);
    EXPECT_EQ(hostile.counts().orders, 0);
}

TEST_P(ListModels, b2cAndAccountFiltersCombineWithTheStatusCondition)
{
    const qint32 mine = addClient(db(), QStringLiteral("Mine Ltd"), QStringLiteral("AB"));
    addOrder(db(), 1, mine, QStringLiteral("Pending"), [](bizlib::Record &r) { r.setLong("WebSignupID", 4); });
    addOrder(db(), 2, mine);
    addOrder(db(), 3, 0, QStringLiteral("Pending"), [](bizlib::Record &r) { r.setLong("WebSignupID", 5); });
    addOrder(db(), 4, mine, QStringLiteral("Processing"), [](bizlib::Record &r) { r.setLong("WebSignupID", 6); });

    RequestListSet lists(db(), QStringLiteral("AB"));
    lists.setFilters({ false, true, true });
    EXPECT_EQ(columnTexts(lists.orders(), OrderListModel::Title), (QStringList { "Order 1", "Order 3" }));
    lists.setFilters({ true, true, true });
    EXPECT_EQ(columnTexts(lists.orders(), OrderListModel::Title), QStringList { "Order 1" });
    lists.setFilters({ true, false, true });
    EXPECT_EQ(columnTexts(lists.orders(), OrderListModel::Title), (QStringList { "Order 1", "Order 4" }));
    EXPECT_EQ(lists.counts().orders, 2);
}

TEST_P(ListModels, orderListMarksTypeNotesNewRegistrationsAndPayment)
{
    const auto type = [](const char *t, const char *stock) {
        return [t, stock](bizlib::Record &r) {
            r.setText("OrderType", QString::fromLatin1(t));
            r.setText("StockCode", QString::fromLatin1(stock));
        };
    };
    addOrder(db(), 1, 0, QStringLiteral("Pending"), type("Product", ""));
    addOrder(db(), 2, 0, QStringLiteral("Pending"), type("service", "MAT-1"));
    addOrder(db(), 3, 0, QStringLiteral("Pending"), type("Service", "MAT-1"));
    addOrder(db(), 4, 0, QStringLiteral("Pending"), [](bizlib::Record &r) {
        r.setText("OrderType", QStringLiteral("Service"));
        r.setText("Notes", QStringLiteral("Please call before delivery."));
        r.setLong("WebSignupID", 12);
        r.setLong("Prepay", 1);
        r.setDecimal("Tax", bizlib::Decimal(-150, 2));
        r.setDecimal("TaxRate", bizlib::Decimal(200000, 4));
    });
    addOrder(db(), 5, 0, QStringLiteral("Pending"), [](bizlib::Record &r) { r.setLong("NoteID", 3); });

    OrderListModel m(db());
    ItemModelCheck check(&m);
    ASSERT_TRUE(m.reset().isOk());
    ASSERT_EQ(m.rowCount(), 5);
    EXPECT_EQ(m.columnCount(), 30);
    EXPECT_EQ(columnTexts(m, OrderListModel::TypeIcon, JoinedListModel::IconRole),
        (QStringList { "Order_product", {}, "Order_works", {}, "Order_product" }));
    EXPECT_TRUE(OrderListModel::isServiceOrder(m.record(1))) << "the details test ignores letter case";
    EXPECT_EQ(columnTexts(m, OrderListModel::NoteIcon, JoinedListModel::IconRole),
        (QStringList { {}, {}, {}, "Notes", "Notes" }));
    EXPECT_EQ(cell(m, 3, OrderListModel::NoteIcon, Qt::ToolTipRole), QStringLiteral("Please call before delivery."));
    EXPECT_EQ(cell(m, 3, OrderListModel::Client, JoinedListModel::IconRole), QStringLiteral("New"));
    EXPECT_EQ(cell(m, 0, OrderListModel::Client, JoinedListModel::IconRole), QString());
    EXPECT_EQ(m.data(m.index(3, OrderListModel::Prepay), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(m.data(m.index(3, OrderListModel::Paid), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    EXPECT_EQ(cell(m, 3, OrderListModel::Tax), QStringLiteral("-1.50"));
    EXPECT_EQ(cell(m, 3, OrderListModel::Total), QString());
    EXPECT_EQ(cell(m, 3, OrderListModel::TaxRate), QStringLiteral("20.0000%"));
    EXPECT_EQ(cell(m, 0, OrderListModel::WebId), QStringLiteral("70001"));
    EXPECT_EQ(m.stripeColour(), 0xF7F9FBu);
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST_P(ListModels, signupListIsRangedOnPendingAndNeverShowsConsumerSignups)
{
    const qint32 country = addRow(db(), QStringLiteral("Countries"),
        [](bizlib::Record &r) { r.setText("CountryName", QStringLiteral("Ireland")); });
    addSignup(db(), QStringLiteral("Ann Pending"), QStringLiteral("Pending"), QStringLiteral("Web"),
        [country](bizlib::Record &r) {
            r.setLong("CountryID", country);
            r.setLong("IsCustomer", 1);
        });
    addSignup(db(), QStringLiteral("Bob Accepted"), QStringLiteral("Accepted"), QStringLiteral("Web"));
    addSignup(db(), QStringLiteral("Cy Consumer"), QStringLiteral("Pending"), QStringLiteral("B2C"));

    SignupListModel m(db());
    ItemModelCheck check(&m);
    ASSERT_TRUE(m.reset().isOk());
    EXPECT_EQ(columnTexts(m, SignupListModel::Contact), QStringList { "Ann Pending" });
    EXPECT_EQ(cell(m, 0, SignupListModel::Contact, JoinedListModel::IconRole), QStringLiteral("Client"));
    EXPECT_EQ(cell(m, 0, SignupListModel::Country), QStringLiteral("Ireland"));

    m.applyFilters({ false, false, false });
    m.reset();
    EXPECT_EQ(columnTexts(m, SignupListModel::Contact), (QStringList { "Bob Accepted", "Ann Pending" }))
        << "every status, in status order; B2C still hidden";
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST_P(ListModels, orderItemsShowTheStockIconOfStockMaterialsOnly)
{
    const auto material = [this](const char *code, int stock, int available, int reorder) {
        return addRow(db(), QStringLiteral("Materials"), [=](bizlib::Record &r) {
            r.setText("Code", QString::fromLatin1(code));
            r.setLong("Stock", stock);
            r.setDecimal("Available", bizlib::Decimal::fromInt(available));
            r.setDecimal("Reorder", bizlib::Decimal::fromInt(reorder));
        });
    };
    const qint32 order = addOrder(db(), 1, 0);
    const auto item = [&](int seq, const char *type, qint32 materialId, int quantity) {
        addRow(db(), QStringLiteral("WebOrderItems"), [=](bizlib::Record &r) {
            r.setLong("OrderID", order);
            r.setLong("Sequence", seq);
            r.setText("Code", QStringLiteral("ITEM%1").arg(seq));
            r.setText("Type", QString::fromLatin1(type));
            r.setLong("MaterialID", materialId);
            r.setDecimal("Quantity", bizlib::Decimal::fromInt(quantity));
        });
    };
    item(1, "M", material("EXACT", 1, 100, 0), 100); // available - quantity = 0 = re-order level
    item(2, "M", material("PLENTY", 1, 500, 50), 100); // 400 > 50
    item(3, "M", material("SHORT", 1, 80, 10), 100); // more than available
    item(4, "M", material("LOW", 1, 150, 60), 100); // 50 <= 60, enough stock
    item(5, "M", material("NOSTOCK", 0, 10, 0), 100); // not stock-controlled
    item(6, "L", 0, 1);

    OrderItemListModel m(db());
    ItemModelCheck check(&m);
    m.reset();
    EXPECT_EQ(m.rowCount(), 0) << "no current order";
    m.setOrder(order);
    ASSERT_TRUE(m.reset().isOk());
    EXPECT_EQ(columnTexts(m, OrderItemListModel::Code, JoinedListModel::IconRole),
        (QStringList { "YellowSq", "GreenSq", "RedSq", "YellowSq", {}, {} }));
    EXPECT_EQ(cell(m, 1, OrderItemListModel::Available), QStringLiteral("500.00"));
    EXPECT_EQ(cell(m, 1, OrderItemListModel::Reorder), QStringLiteral("50"));
    EXPECT_EQ(cell(m, 1, OrderItemListModel::Quantity), QStringLiteral("100.00"));
    m.setOrder(0);
    m.reset();
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST_P(ListModels, attachmentAndNoteListsFollowTheirRequestInNameOrder)
{
    const qint32 quote = addQuote(db(), 1, 0);
    const qint32 order = addOrder(db(), 1, 0);
    const auto attach = [this](const char *owner, qint32 id, const char *file, int artwork) {
        addRow(db(), QStringLiteral("WebAttachments"), [=](bizlib::Record &r) {
            r.setLong(owner, id);
            r.setText("Filename", QString::fromLatin1(file));
            r.setText("SourceName", QStringLiteral("https://example.com/") + QString::fromLatin1(file));
            r.setLong("Artwork", artwork);
        });
    };
    attach("QuoteID", quote, "1_b.pdf", 0);
    attach("QuoteID", quote, "1_a.pdf", 1);
    attach("OrderID", order, "2_c.pdf", 0);
    const auto note = [this](const char *owner, qint32 id, const char *subject) {
        addRow(db(), QStringLiteral("WebNotes"), [=](bizlib::Record &r) {
            r.setLong(owner, id);
            r.setText("Subject", QString::fromLatin1(subject));
            r.setText("Notes", QStringLiteral("line one\r\nline two"));
        });
    };
    note("OrderID", order, "Zebra");
    note("OrderID", order, "Alpha");
    note("QuoteID", quote, "Quote note");

    RequestListSet lists(db());
    ItemModelCheck check(&lists.attachments());
    ASSERT_TRUE(lists.quotes().reset().isOk());
    ASSERT_TRUE(lists.orders().reset().isOk());
    const bizlib::Record q = lists.quotes().record(0);
    const bizlib::Record o = lists.orders().record(0);

    lists.setDetailRequest(RequestRef::quote(q));
    EXPECT_EQ(columnTexts(lists.attachments(), AttachmentListModel::SourceName),
        (QStringList { "https://example.com/1_a.pdf", "https://example.com/1_b.pdf" }));
    EXPECT_EQ(cell(lists.attachments(), 0, AttachmentListModel::SourceName, JoinedListModel::IconRole),
        QStringLiteral("Mouse"));
    EXPECT_EQ(cell(lists.attachments(), 0, AttachmentListModel::Artwork, JoinedListModel::IconRole),
        QStringLiteral("TagOne"));
    EXPECT_EQ(cell(lists.attachments(), 1, AttachmentListModel::Artwork, JoinedListModel::IconRole), QString());
    EXPECT_EQ(cell(lists.attachments(), 0, AttachmentListModel::SourceName, Qt::ToolTipRole),
        QStringLiteral("https://example.com/1_a.pdf"));
    EXPECT_EQ(columnTexts(lists.notes(), NoteListModel::Subject), QStringList { "Quote note" });

    lists.setDetailRequest(RequestRef::order(o));
    EXPECT_EQ(columnTexts(lists.attachments(), AttachmentListModel::SourceName),
        QStringList { "https://example.com/2_c.pdf" });
    EXPECT_EQ(columnTexts(lists.notes(), NoteListModel::Subject), (QStringList { "Alpha", "Zebra" }));
    EXPECT_EQ(cell(lists.notes(), 0, NoteListModel::Notes), QStringLiteral("line one line two"));

    lists.setDetailRequest({ RequestRef::Kind::Order, 0, 0 });
    EXPECT_EQ(lists.attachments().rowCount(), 0);
    EXPECT_EQ(lists.notes().rowCount(), 0);
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST_P(ListModels, listsFetchPageByPageWhileTheDatabaseCountsEveryRow)
{
    ASSERT_TRUE(db().begin().isOk());
    for (int n = 1; n <= 25; ++n)
        addQuote(db(), n, 0, n % 5 == 0 ? QStringLiteral("Processing") : QStringLiteral("Pending"));
    ASSERT_TRUE(db().commit().isOk());

    QuoteListModel m(db());
    m.setPageSize(8);
    ASSERT_TRUE(m.reset().isOk());
    EXPECT_EQ(m.rowCount(), 8);
    EXPECT_EQ(count(m), 20);
    ASSERT_TRUE(m.canFetchMore({}));
    m.fetchMore({});
    EXPECT_EQ(m.rowCount(), 16);
    m.fetchMore({});
    EXPECT_EQ(m.rowCount(), 20);
    EXPECT_FALSE(m.canFetchMore({}));
    EXPECT_EQ(cell(m, 19, QuoteListModel::Title), QStringLiteral("Quote 24"));
    EXPECT_EQ(m.rowOfId(m.idAt(11)), 11);
    m.reset();
    EXPECT_EQ(m.rowCount(), 8) << "a reset reads the first page again";
    // The model tester reads every page while it checks, also after a reset.
    ItemModelCheck check(&m);
    EXPECT_EQ(m.rowCount(), 20);
    m.reset();
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

// A read made away from the list's thread shows its rows afterwards, unless the list was read
// again on its own thread meanwhile; a read that fails leaves the rows the list shows.
TEST_P(ListModels, aFailedOrOvertakenReadLeavesTheRowsTheListShows)
{
    addQuote(db(), 1, 0);
    RequestListSet lists(db());
    lists.resetAll();
    ASSERT_EQ(lists.quotes().rowCount(), 1);

    addQuote(db(), 2, 0);
    const RequestLists::Read read = lists.readAll();
    ASSERT_TRUE(read.read().isOk());
    EXPECT_EQ(lists.quotes().rowCount(), 1) << "nothing shows before it is applied";
    read.apply();
    EXPECT_EQ(lists.quotes().rowCount(), 2);
    EXPECT_EQ(lists.counts().quotes, 2);

    const RequestLists::Read overtaken = lists.readForRefresh(RequestLists::Focus::Quotes);
    ASSERT_TRUE(overtaken.read().isOk());
    addQuote(db(), 3, 0);
    lists.resetAll();
    overtaken.apply();
    EXPECT_EQ(lists.quotes().rowCount(), 3);
    EXPECT_EQ(lists.counts().quotes, 3);

    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE \"webquotes\" RENAME TO \"gone\"")).isOk());
    EXPECT_TRUE(lists.quotes().reset().isError());
    const RequestLists::Read failing = lists.readAll();
    EXPECT_TRUE(failing.read().isError());
    failing.apply();
    EXPECT_EQ(lists.quotes().rowCount(), 3);
    EXPECT_EQ(lists.counts().quotes, 3);
    EXPECT_FALSE(lists.quotes().lastError().isEmpty());
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE \"gone\" RENAME TO \"webquotes\"")).isOk());
}

INSTANTIATE_TEST_SUITE_P(Engines, ListModels, testsupport::allEngines(), testsupport::engineName);

} // namespace
