#include "orders/WebOrderConversion.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/forms/OrderUpdate.h"
#include "bizlib/order/OrderLibrary.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QTime>

using bizlib::Decimal;
using bizlib::Record;
using bizlib::Status;
using bizlib::Table;
using orders::WebOrderConversion;
using Response = bizlib::forms::Response;

namespace {

Decimal dec(const char *text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}

class Conversion : public testsupport::DataTest
{
protected:
    qint32 lastJobNo()
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(QStringLiteral("SELECT \"lastjobno\" FROM \"syconf\""), {}, &q).isOk());
        return q.next() ? q.value(0).toInt() : -1;
    }
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        insert(QStringLiteral("SYCONF"), [](Record &r) { r.setLong("LastJobNo", 700); });
        insert(QStringLiteral("DEFAULTS"), [](Record &r) { r.setLong("LeadDays", 5); });
        insert(QStringLiteral("TaxRates"), [](Record &r) {
            r.setText("TaxCode", QStringLiteral("S"));
            r.setText("TaxType", QStringLiteral("Sales"));
            r.setDecimal("GTaxRate", dec("20"));
            r.setDecimal("TaxRate", dec("20"));
        });
    }
    Record webOrder(const QString &type, const std::function<void(Record &)> &more = {})
    {
        return insert(QStringLiteral("WebOrders"), [&](Record &r) {
            r.setLong("WebID", 9001);
            r.setText("OrderType", type);
            r.setText("Quantity", QStringLiteral("250"));
            r.setText("Title", QStringLiteral("Web title"));
            r.setText("Status", QStringLiteral("Processing"));
            r.setText("TaxCode", QStringLiteral("S"));
            if (more)
                more(r);
        });
    }
    Record material(const QString &code, const std::function<void(Record &)> &more = {})
    {
        return insert(QStringLiteral("Materials"), [&](Record &r) {
            r.setText("Code", code);
            r.setText("Description", code + QStringLiteral(" stock"));
            r.setText("Type", QStringLiteral("PO"));
            r.setText("TaxCode", QStringLiteral("S"));
            r.setDecimal("UnitPrice", dec("2"));
            if (more)
                more(r);
        });
    }
    Record webItem(const Record &order, int sequence, const QString &type, qint32 resource, const char *net,
        const std::function<void(Record &)> &more = {})
    {
        return insert(QStringLiteral("WebOrderItems"), [&](Record &r) {
            r.setLong("OrderID", order.toLong("OrderID"));
            r.setLong("Sequence", sequence);
            r.setText("Type", type);
            r.setText("Code", QStringLiteral("ITEM%1").arg(sequence));
            r.setText("Description", QStringLiteral("Web item %1").arg(sequence));
            r.setDecimal("Quantity", dec("10"));
            r.setDecimal("Net", dec(net));
            r.setText("TaxCode", QStringLiteral("S"));
            if (type == QLatin1String("M"))
                r.setLong("MaterialID", resource);
            else if (type == QLatin1String("O"))
                r.setLong("OutworkID", resource);
            else
                r.setLong("LabourID", resource);
            if (more)
                more(r);
        });
    }
    WebOrderConversion conversion(const Record &order, data::RequestClaim *claim = nullptr)
    {
        WebOrderConversion::Services s;
        s.db = &db();
        s.prompter = &prompter;
        s.user.userCode = QStringLiteral("JS");
        s.voucherCode = QStringLiteral("VOUCHER");
        s.dataFolder = dataFolder.path();
        s.localCopies.allowedFolders = { dataFolder.path() };
        s.claim = claim;
        return WebOrderConversion(s, order);
    }
    static WebOrderConversion::Call call(int item, qint32 webItem, bool skip = false)
    {
        WebOrderConversion::Call c;
        c.itemNumber = item;
        c.webItemId = webItem;
        c.skipProductOrder = skip;
        return c;
    }

    testsupport::ScriptedPrompter prompter;
    QTemporaryDir dataFolder;
};

TEST_P(Conversion, theFirstItemCreatesTheOrder_andEachItemIsPricedByItsFixedChargeFlags)
{
    const Record web
        = webOrder(QStringLiteral("Service"), [](Record &r) { r.setText("DMethod", QStringLiteral("Courier")); });
    const Record paper = material(QStringLiteral("PAPER"));
    const Record out = insert(QStringLiteral("Outwork"), [](Record &r) { r.setText("Code", QStringLiteral("LAM")); });
    struct Case
    {
        QString type;
        qint32 resource;
        bool fixed;
        const char *tax; // expected
        const char *gross;
        QString basis;
    };
    const Case cases[] = {
        { QStringLiteral("M"), paper.toLong("MaterialID"), false, "20.00", "120.00", QString() },
        { QStringLiteral("M"), paper.toLong("MaterialID"), true, "3.00", "103.00", QStringLiteral("Use") },
        { QStringLiteral("O"), out.toLong("OutworkID"), true, "3.00", "103.00", QStringLiteral("Fix") },
    };
    WebOrderConversion conv = conversion(web);
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(n);
        ++n;
        const Record item = webItem(web, n, c.type, c.resource, "100", [&c](Record &r) {
            r.setLong("FixedCharge2", c.fixed ? 1 : 0);
            r.setDecimal("Tax", dec("3"));
            r.setDecimal("Gross", dec("103"));
        });
        ASSERT_EQ(conv.convert(call(n, item.toLong("OrderItemID"))), Response::Completed)
            << conv.lastStatus().message().toStdString();
        const QList<Record> items
            = rows(QStringLiteral("OrderItems"), QStringLiteral("ORDERIDKEY"), { conv.order().toLong("OrderID") });
        ASSERT_EQ(items.size(), n);
        const Record &converted = items.last();
        EXPECT_EQ(converted.toLong("Sequence"), n);
        EXPECT_EQ(converted.decimal("Tax"), dec(c.tax));
        EXPECT_EQ(converted.decimal("Gross"), dec(c.gross));
        EXPECT_EQ(converted.text("PricingBasis"), c.basis);
        EXPECT_EQ(converted.text("CostCode"), c.fixed ? QStringLiteral("NONE") : QString());
        EXPECT_EQ(converted.text("Description"), QStringLiteral("Web item %1").arg(n));
    }
    const Record order = read(QStringLiteral("Orders"), conv.order().toLong("OrderID"));
    EXPECT_EQ(order.text("Status"), QStringLiteral("Active"));
    EXPECT_EQ(order.text("CreatedBy"), QStringLiteral("JS"));
    EXPECT_EQ(order.toLong("WebID"), 9001);
    EXPECT_EQ(order.toLong("DueDate"), bizlib::DateTime::today() + 5);
    EXPECT_EQ(order.toLong("DueTime"), bizlib::DateTime::fromTime(QTime(9, 0)));
    EXPECT_EQ(order.text("UnitText"), QStringLiteral("Job"));
    EXPECT_EQ(order.decimal("PriceQuantity"), dec("250"));
    EXPECT_EQ(order.toLong("ItemNumber"), 3);
    EXPECT_EQ(rows(QStringLiteral("ListOptions"), QStringLiteral("LISTOPTIONIDKEY"), {}).size(), 1);
}

TEST_P(Conversion, notesAndOrderFilesGoWithTheOrder_andAFailedNoteFailsTheCall)
{
    const Record web = webOrder(QStringLiteral("Service"));
    insert(QStringLiteral("WebNotes"), [&web](Record &r) {
        r.setLong("OrderID", web.toLong("OrderID"));
        r.setText("Notes", QStringLiteral("Please rush"));
    });
    QFile source(dataFolder.filePath(QStringLiteral("art.pdf")));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("%PDF");
    source.close();
    for (const QString &name : { QStringLiteral("..\\..\\evil.pdf"), QStringLiteral("..") })
        insert(QStringLiteral("WebAttachments"), [&](Record &r) {
            r.setLong("OrderID", web.toLong("OrderID"));
            r.setText("SourceName", source.fileName());
            r.setText("Filename", name);
        });
    const Record item = webItem(web, 1, QStringLiteral("L"), 0, "10");
    insert(QStringLiteral("WebAttachments"), [&](Record &r) {
        r.setLong("OrderID", web.toLong("OrderID"));
        r.setLong("OrderItemID", item.toLong("OrderItemID"));
        r.setText("SourceName", QStringLiteral("https://example.com/proof.pdf"));
        r.setText("Filename", QStringLiteral("proof.pdf"));
    });
    WebOrderConversion conv = conversion(web);
    ASSERT_EQ(conv.convert(call(1, item.toLong("OrderItemID"))), Response::Completed)
        << conv.lastStatus().message().toStdString();
    const qint32 orderId = conv.order().toLong("OrderID");
    const QList<Record> notes = rows(QStringLiteral("Notes"), QStringLiteral("ORDERIDKEY"), { orderId });
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(read(QStringLiteral("Orders"), orderId).toLong("NoteID"), notes.first().toLong("NoteID"));
    const QList<Record> files = rows(QStringLiteral("Attachments"), QStringLiteral("ORDERIDKEY"), { orderId });
    // Two order files (one copied as evil.pdf inside "orders", one with no usable name) and the
    // labour item's file, which is no material item's and so is not linked.
    ASSERT_EQ(files.size(), 2);
    QStringList copies = QDir(dataFolder.filePath(QStringLiteral("orders"))).entryList(QDir::Files);
    EXPECT_EQ(copies, QStringList { QStringLiteral("evil.pdf") });
    EXPECT_FALSE(QFileInfo::exists(QDir(dataFolder.path()).filePath(QStringLiteral("../evil.pdf"))));

    // A note that cannot be stored: nothing of the order stays, and the copied file goes again.
    const Record second = webOrder(QStringLiteral("Service"));
    insert(QStringLiteral("WebNotes"), [&second](Record &r) { r.setLong("OrderID", second.toLong("OrderID")); });
    insert(QStringLiteral("WebAttachments"), [&](Record &r) {
        r.setLong("OrderID", second.toLong("OrderID"));
        r.setText("SourceName", source.fileName());
        r.setText("Filename", QStringLiteral("second.pdf"));
    });
    ASSERT_TRUE(db().exec(QStringLiteral("DROP TABLE \"notes\"")).isOk());
    WebOrderConversion failing = conversion(second);
    EXPECT_EQ(failing.convert(call(1, 0)), Response::Cancelled);
    EXPECT_TRUE(failing.lastStatus().message().contains(QStringLiteral("note")))
        << failing.lastStatus().message().toStdString();
    EXPECT_EQ(rows(QStringLiteral("Orders"), QStringLiteral("ORDERIDKEY"), {}).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(dataFolder.filePath(QStringLiteral("orders/second.pdf"))));
}

TEST_P(Conversion, linkedItemsAskTwoButtonsOnTheFirstItemAndFourLater)
{
    const Record web = webOrder(QStringLiteral("Product"));
    const Record child = material(QStringLiteral("CHILD"));
    QList<Record> parents;
    for (int i = 1; i <= 3; ++i) {
        const Record parent = material(QStringLiteral("KIT%1").arg(i), [](Record &r) { r.setLong("LinkedItems", 1); });
        insert(QStringLiteral("ResourceLinks"), [&](Record &r) {
            r.setText("ParentType", QStringLiteral("M"));
            r.setLong("ParentResourceID", parent.toLong("MaterialID"));
            r.setText("ChildType", QStringLiteral("M"));
            r.setLong("ChildResourceID", child.toLong("MaterialID"));
            r.setDecimal("Quantity", dec("2"));
        });
        parents << parent;
    }
    WebOrderConversion conv = conversion(web);
    const Record first = webItem(web, 1, QStringLiteral("M"), parents[0].toLong("MaterialID"), "10");
    prompter.answer(1); // Yes
    ASSERT_EQ(conv.convert(call(1, first.toLong("OrderItemID"))), Response::Completed);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().buttons, QStringLiteral("&Yes|&No"));
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Linked items: KIT1"));
    const qint32 orderId = conv.order().toLong("OrderID");
    QList<Record> items = rows(QStringLiteral("OrderItems"), QStringLiteral("ORDERIDKEY"), { orderId });
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[1].toLong("ParentItemID"), items[0].toLong("OrderItemID"));
    EXPECT_EQ(items[1].decimal("Quantity"), dec("20"));
    EXPECT_EQ(items[1].decimal("Net"), dec("40"));
    EXPECT_EQ(items[1].decimal("Gross"), dec("48"));

    // From item 2 on the four-button question; the first item, which has its children, is not
    // offered again, and an item answered No is offered again at the next item's call.
    const Record second = webItem(web, 2, QStringLiteral("M"), parents[1].toLong("MaterialID"), "10");
    prompter.answer(WebOrderConversion::LinkedNo);
    ASSERT_EQ(conv.convert(call(2, second.toLong("OrderItemID"))), Response::Completed);
    const Record third = webItem(web, 3, QStringLiteral("M"), parents[2].toLong("MaterialID"), "10");
    prompter.answer(WebOrderConversion::LinkedYesAll);
    ASSERT_EQ(conv.convert(call(3, third.toLong("OrderItemID"))), Response::Completed);
    ASSERT_EQ(prompter.shown().size(), 3);
    EXPECT_EQ(prompter.shown()[1].buttons, QStringLiteral("&Yes|&No|Yes &all|N&o all"));
    EXPECT_EQ(prompter.shown()[2].buttons, QStringLiteral("&Yes|&No|Yes &all|N&o all"));
    EXPECT_EQ(prompter.shown()[2].defaultButton, WebOrderConversion::LinkedYesAll);
    EXPECT_EQ(prompter.shown()[2].text.size(), 234);
    items = rows(QStringLiteral("OrderItems"), QStringLiteral("ORDERIDKEY"), { orderId });
    // Yes all at item 2's question adds its children and item 3's without asking.
    EXPECT_EQ(items.size(), 6);
}

TEST_P(Conversion, aWorksOrderItemMakesAServiceOrderToTheMaterialsQuote)
{
    const Record quote = insert(QStringLiteral("Quotes"), [](Record &r) { r.setLong("Number", 42); });
    const Record works = material(QStringLiteral("WO1"), [&quote](Record &r) {
        r.setText("Type", QStringLiteral("WO"));
        r.setLong("QuoteID", quote.toLong("QuoteID"));
        r.setLong("WorksDefault", 0);
    });
    const Record web = webOrder(QStringLiteral("Product"));
    const Record item = webItem(web, 1, QStringLiteral("M"), works.toLong("MaterialID"), "10",
        [](Record &r) { r.setDecimal("Quantity", dec("500")); });
    insert(QStringLiteral("WebAttachments"), [&](Record &r) {
        r.setLong("OrderID", web.toLong("OrderID"));
        r.setLong("OrderItemID", item.toLong("OrderItemID"));
        r.setText("Filename", QStringLiteral("art.pdf"));
    });
    WebOrderConversion conv = conversion(web);
    ASSERT_EQ(conv.convert(call(1, item.toLong("OrderItemID"), true)), Response::Completed)
        << conv.lastStatus().message().toStdString();
    const Record order = read(QStringLiteral("Orders"), conv.order().toLong("OrderID"));
    EXPECT_EQ(order.text("OrderType"), QStringLiteral("Service"));
    EXPECT_EQ(order.toLong("QuoteID"), quote.toLong("QuoteID"));
    EXPECT_EQ(order.text("ProductCode"), QStringLiteral("WO1"));
    EXPECT_EQ(order.text("Quantity"), QStringLiteral("500"));
    EXPECT_EQ(order.toLong("Works"), 0);
    EXPECT_EQ(order.text("Title"), QStringLiteral("Web item 1"));
    // The quote carries the work: the plain item goes, the file belongs to the order.
    EXPECT_TRUE(
        rows(QStringLiteral("OrderItems"), QStringLiteral("ORDERIDKEY"), { order.toLong("OrderID") }).isEmpty());
    const QList<Record> files
        = rows(QStringLiteral("Attachments"), QStringLiteral("ORDERIDKEY"), { order.toLong("OrderID") });
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.first().toLong("OrderItemID"), 0);
}

TEST_P(Conversion, aCancelRemovesTheRecordedOrderAndStepsTheJobNumberBackOnlyWhileItIsTheLast)
{
    for (const bool laterNumberTaken : { false, true }) {
        SCOPED_TRACE(laterNumberTaken);
        const Record web
            = webOrder(QStringLiteral("Service"), [](Record &r) { r.setText("Status", QStringLiteral("Pending")); });
        data::RequestClaim claim(db(), data::ClaimVariant::orderProcessing(), web.toLong("OrderID"));
        ASSERT_EQ(claim.claim(true), data::RequestClaim::Outcome::Claimed);
        WebOrderConversion conv = conversion(read(QStringLiteral("WebOrders"), web.toLong("OrderID")), &claim);
        ASSERT_EQ(conv.convert(call(1, webItem(web, 1, QStringLiteral("L"), 0, "5").toLong("OrderItemID"))),
            Response::Completed);
        const qint32 orderId = conv.order().toLong("OrderID");

        // The order form numbers and stores the order.
        testsupport::ScriptedForms forms;
        forms.answerForm({ { QStringLiteral("ORD:OrderNo"), QStringLiteral("PO-7") } });
        bizlib::forms::OrderUpdate form(db(), forms);
        bizlib::params::OrderUpdateParams params;
        params.setLong("OrderFromWeb", 1);
        ASSERT_EQ(form.updateOrder(bizlib::forms::Request::Insert, params, conv.order()), Response::Completed)
            << form.lastStatus().message().toStdString();
        const qint32 job = read(QStringLiteral("Orders"), orderId).toLong("JobNo");
        EXPECT_EQ(job, lastJobNo());
        EXPECT_EQ(read(QStringLiteral("Orders"), orderId).text("OrderNo"), QStringLiteral("PO-7"));
        if (laterNumberTaken) {
            qint32 other = 0;
            ASSERT_TRUE(bizlib::OrderLibrary::jobNumbers(db()).take(&other).isOk());
        }
        const qint32 before = lastJobNo();
        ASSERT_TRUE(claim.release().isOk());
        EXPECT_TRUE(rows(QStringLiteral("Orders"), QStringLiteral("ORDERIDKEY"), { orderId }).isEmpty());
        EXPECT_TRUE(rows(QStringLiteral("OrderItems"), QStringLiteral("ORDERIDKEY"), { orderId }).isEmpty());
        EXPECT_EQ(lastJobNo(), laterNumberTaken ? before : before - 1);
        EXPECT_EQ(read(QStringLiteral("WebOrders"), web.toLong("OrderID")).text("Status"), QStringLiteral("Pending"));
    }
}

TEST_P(Conversion, aRepeatCopiesThePreviousOrdersItemsAndSaysWhetherItWasQuoted)
{
    const Record previous = insert(QStringLiteral("Orders"), [](Record &r) {
        r.setLong("JobNo", 650);
        r.setLong("QuoteID", 77);
        r.setText("PackType", QStringLiteral("Box"));
    });
    const Record parent = insert(QStringLiteral("OrderItems"), [&previous](Record &r) {
        r.setLong("OrderID", previous.toLong("OrderID"));
        r.setLong("Sequence", 1);
    });
    insert(QStringLiteral("OrderItems"), [&](Record &r) {
        r.setLong("OrderID", previous.toLong("OrderID"));
        r.setLong("Sequence", 2);
        r.setLong("ParentItemID", parent.toLong("OrderItemID"));
    });
    const Record web = webOrder(
        QStringLiteral("Service"), [&previous](Record &r) { r.setLong("PreviousID", previous.toLong("OrderID")); });
    WebOrderConversion conv = conversion(web);
    ASSERT_EQ(conv.convert(call(1, 0)), Response::Completed) << conv.lastStatus().message().toStdString();
    EXPECT_TRUE(conv.repeatsQuotedOrder());
    const Record order = read(QStringLiteral("Orders"), conv.order().toLong("OrderID"));
    EXPECT_EQ(order.toLong("JobNo"), 0);
    EXPECT_EQ(order.text("PackType"), QStringLiteral("Box"));
    const QList<Record> items
        = rows(QStringLiteral("OrderItems"), QStringLiteral("ORDERIDKEY"), { order.toLong("OrderID") });
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[1].toLong("ParentItemID"), items[0].toLong("OrderItemID"));
    EXPECT_NE(items[0].toLong("OrderItemID"), parent.toLong("OrderItemID"));
}

INSTANTIATE_TEST_SUITE_P(Engines, Conversion, testsupport::allEngines(), testsupport::engineName);

} // namespace
