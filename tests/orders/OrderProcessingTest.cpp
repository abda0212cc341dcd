#include "orders/OrderProcessing.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/mail/MailSender.h"
#include "config/AppContext.h"
#include "data/ClaimBook.h"
#include "data/ClaimCleanup.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>
#include <algorithm>

using bizlib::Decimal;
using bizlib::Record;
using bizlib::Status;
using bizlib::Table;
using orders::OrderProcessing;
using Response = bizlib::forms::Response;

namespace {

// The order form, with something that another workstation does just before a given form opens.
class Forms : public testsupport::ScriptedForms
{
public:
    void runForm(bizlib::forms::FormModel &form) override
    {
        ++shown;
        if (shown == beforeForm && meanwhile)
            meanwhile();
        ScriptedForms::runForm(form);
    }
    int shown = 0;
    int beforeForm = 0;
    std::function<void()> meanwhile;
};

class OrderRun : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        insert("SYCONF", [](Record &r) { r.setLong("LastJobNo", 700); });
        insert("DEFAULTS", [](Record &r) { r.setLong("LeadDays", 5); });
        insert("TaxRates", [](Record &r) {
            r.setText("TaxCode", QStringLiteral("S"));
            r.setText("TaxType", QStringLiteral("Sales"));
            r.setDecimal("GTaxRate", Decimal::fromString(QStringLiteral("20")));
            r.setDecimal("TaxRate", Decimal::fromString(QStringLiteral("20")));
        });
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.brevix.globalData = dataFolder.path();
        ctx.settings.orderPhrases = false;
        ctx.settings.voucherCode = QStringLiteral("VOUCHER");
    }
    Record insert(const char *table, const std::function<void(Record &)> &fill)
    {
        Table t(db(), QLatin1String(table));
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        fill(r);
        const Status st = t.insert(r);
        EXPECT_TRUE(st.isOk()) << table << ": " << st.message().toStdString();
        return r;
    }
    int count(const char *table)
    {
        Table t(db(), QLatin1String(table));
        bizlib::TableCursor c(t, t.def().primary().name);
        Record r;
        int n = 0;
        while (c.next(r).isOk())
            ++n;
        return n;
    }
    Record read(const char *table, qint32 id)
    {
        Table t(db(), QLatin1String(table));
        Record r = t.newRecord();
        if (!t.fetch(t.def().primary().name, { id }, r).isOk())
            return Record();
        return r;
    }
    qint32 lastJobNo()
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(QStringLiteral("SELECT \"lastjobno\" FROM \"syconf\""), {}, &q).isOk());
        return q.next() ? q.value(0).toInt() : -1;
    }
    Record webOrder(const QString &type)
    {
        return insert("WebOrders", [&](Record &r) {
            r.setLong("WebID", 9001);
            r.setText("OrderType", type);
            r.setText("Quantity", QStringLiteral("250"));
            r.setText("Status", QStringLiteral("Pending"));
            r.setText("TaxCode", QStringLiteral("S"));
            r.setLong("DContactID", -1);
            r.setLong("DOfficeID", -1);
        });
    }
    qint32 material(const QString &type, const std::function<void(Record &)> &more = {})
    {
        return insert("Materials", [&](Record &r) {
            r.setText("Code", type + QString::number(++m_materials));
            r.setText("Type", type);
            r.setText("TaxCode", QStringLiteral("S"));
            if (more)
                more(r);
        }).toLong("MaterialID");
    }
    qint32 item(const Record &order, int sequence, const QString &type, qint32 resource,
        const std::function<void(Record &)> &more = {})
    {
        return insert("WebOrderItems", [&](Record &r) {
            r.setLong("OrderID", order.toLong("OrderID"));
            r.setLong("Sequence", sequence);
            r.setText("Type", type);
            r.setText("Code", QStringLiteral("ITEM%1").arg(sequence));
            r.setDecimal("Quantity", Decimal::fromString(QStringLiteral("10")));
            r.setDecimal("Net", Decimal::fromString(QStringLiteral("10")));
            r.setText("TaxCode", QStringLiteral("S"));
            r.setLong(type == QLatin1String("M") ? "MaterialID"
                    : type == QLatin1String("O") ? "OutworkID"
                                                 : "LabourID",
                resource);
            if (more)
                more(r);
        }).toLong("OrderItemID");
    }
    OrderProcessing::Services services()
    {
        OrderProcessing::Services s;
        s.ctx = &ctx;
        s.forms = &forms;
        s.changeNotice = [] {};
        return s;
    }
    // The web order is back as it was: its status, its items, no order and no job number used.
    void expectNothingKept(const Record &web, int items)
    {
        EXPECT_EQ(read("WebOrders", web.toLong("OrderID")).text("Status"), QStringLiteral("Pending"));
        EXPECT_EQ(count("WebOrderItems"), items);
        EXPECT_EQ(count("Orders"), 0);
        EXPECT_EQ(count("OrderItems"), 0);
        EXPECT_EQ(lastJobNo(), 700);
    }

    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
    Forms forms;
    QTemporaryDir dataFolder;
    int m_materials = 0;
};

TEST_P(OrderRun, threeMaterialItemsGiveThreeOrdersEndToEnd_andTheWebOrderGoes)
{
    const Record web = webOrder(QStringLiteral("Product"));
    item(web, 1, QStringLiteral("M"), material(QStringLiteral("PO")));
    item(web, 2, QStringLiteral("M"), material(QStringLiteral("PO")));
    item(web, 3, QStringLiteral("L"), 0);
    item(web, 4, QStringLiteral("M"), material(QStringLiteral("PO"), [](Record &r) { r.setLong("WorksOrder", 1); }));
    for (int i = 0; i < 3; ++i)
        forms.answerForm({});
    OrderProcessing p(services(), read("WebOrders", web.toLong("OrderID")), false);
    ASSERT_TRUE(p.open());
    ASSERT_TRUE(p.mayStart());
    ASSERT_EQ(p.run(), Response::Completed) << p.told().toStdString();
    ASSERT_EQ(p.createdOrders().size(), 3);
    EXPECT_EQ(forms.formsShown().size(), 3);
    QList<qint32> made = p.createdOrders();
    std::sort(made.begin(), made.end());
    EXPECT_EQ(ctx.glo.tags.tagged(bizlib::TagSets::kWebOrderRun), made) << "the run's orders are marked";
    // Order 1 has the first material and the labour item, 2 the second material, 3 the works order.
    const int expectedItems[] = { 2, 1, 1 };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Record order = read("Orders", p.createdOrders().at(i));
        EXPECT_EQ(order.toLong("JobNo"), 701 + i);
        Table t(db(), QStringLiteral("OrderItems"));
        bizlib::TableCursor c(t, QStringLiteral("ORDERIDKEY"));
        c.setRange({ order.toLong("OrderID") });
        Record r;
        int n = 0;
        while (c.next(r).isOk())
            ++n;
        EXPECT_EQ(n, expectedItems[i]);
    }
    EXPECT_FALSE(read("WebOrders", web.toLong("OrderID")).isValid());
    EXPECT_EQ(count("WebOrderItems"), 0);
    EXPECT_EQ(count("wc_claims"), 0);
    EXPECT_FALSE(p.claim()->isHeld());
}

TEST_P(OrderRun, aCancelledSecondOrderRemovesTheFirst_andAFailedItemCompletesNoOrder)
{
    const Record web = webOrder(QStringLiteral("Product"));
    item(web, 1, QStringLiteral("M"), material(QStringLiteral("PO")));
    item(web, 2, QStringLiteral("M"), material(QStringLiteral("PO")));
    forms.answerForm({});
    forms.cancelForm();
    ctx.glo.tags.setTag(bizlib::TagSets::kWebOrderRun, 99999, true); // from an earlier run
    {
        OrderProcessing p(services(), read("WebOrders", web.toLong("OrderID")), false);
        ASSERT_TRUE(p.open());
        EXPECT_EQ(p.run(), Response::Cancelled);
        EXPECT_EQ(forms.formsShown().size(), 2);
    }
    expectNothingKept(web, 2);
    EXPECT_TRUE(ctx.glo.tags.tagged(bizlib::TagSets::kWebOrderRun).isEmpty()) << "no order of a cancelled run";

    // The second item of the first order cannot be stored: its order is never offered for
    // completion and nothing of it stays.
    const Record service = webOrder(QStringLiteral("Product"));
    item(service, 1, QStringLiteral("L"), 0);
    item(service, 2, QStringLiteral("L"), 0, [](Record &r) { r.setText("Code", QStringLiteral("REFUSED")); });
    const bool pg = db().isPostgres();
    if (pg) {
        ASSERT_TRUE(
            db().exec(QStringLiteral("CREATE FUNCTION refuse_item() RETURNS trigger AS $$ BEGIN IF NEW.\"code\" "
                                     "= 'REFUSED' THEN RAISE EXCEPTION 'refused'; END IF; RETURN NEW; END $$ "
                                     "LANGUAGE plpgsql"))
                .isOk());
    }
    ASSERT_TRUE(db().exec(pg ? QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"orderitems\" FOR EACH ROW "
                                              "EXECUTE FUNCTION refuse_item()")
                             : QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"orderitems\" WHEN NEW.\"code\" "
                                              "= 'REFUSED' BEGIN SELECT RAISE(ABORT, 'refused'); END"))
                    .isOk());
    forms.answerForm({});
    OrderProcessing p(services(), read("WebOrders", service.toLong("OrderID")), false);
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.run(), Response::Cancelled);
    EXPECT_EQ(forms.formsShown().size(), 2); // none more
    EXPECT_TRUE(p.told().contains(QStringLiteral("Order 1"))) << p.told().toStdString();
    EXPECT_EQ(read("WebOrders", service.toLong("OrderID")).text("Status"), QStringLiteral("Pending"));
    EXPECT_EQ(count("Orders"), 0);
    EXPECT_EQ(lastJobNo(), 700);

    // A product web order without items makes nothing and is not deleted.
    const Record empty = webOrder(QStringLiteral("Product"));
    OrderProcessing none(services(), read("WebOrders", empty.toLong("OrderID")), false);
    ASSERT_TRUE(none.open());
    EXPECT_EQ(none.run(), Response::Cancelled);
    EXPECT_TRUE(none.told().contains(QStringLiteral("no items"))) << none.told().toStdString();
    EXPECT_EQ(read("WebOrders", empty.toLong("OrderID")).text("Status"), QStringLiteral("Pending"));
}

TEST_P(OrderRun, aWebOrderTakenOverBeforeTheLastSaveKeepsNothingOfThisRun)
{
    const Record web = webOrder(QStringLiteral("Product"));
    item(web, 1, QStringLiteral("M"), material(QStringLiteral("PO")));
    item(web, 2, QStringLiteral("M"), material(QStringLiteral("PO")));
    testsupport::ScriptedPrompter theirPrompter;
    data::RequestClaim theirs(db(), data::ClaimVariant::orderProcessing(), web.toLong("OrderID"), &theirPrompter);
    forms.beforeForm = 2;
    forms.meanwhile = [&] {
        theirPrompter.answer(2); // Unlock on the other workstation
        ASSERT_EQ(theirs.claim(false), data::RequestClaim::Outcome::Unlocked);
    };
    forms.answerForm({});
    forms.answerForm({});
    OrderProcessing p(services(), read("WebOrders", web.toLong("OrderID")), false);
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.run(), Response::Cancelled);
    // The web order is still there, held by the other workstation; the first order went with the
    // takeover and the second was never stored.
    EXPECT_EQ(read("WebOrders", web.toLong("OrderID")).text("Status"), QStringLiteral("Processing"));
    EXPECT_TRUE(theirs.isHeld());
    EXPECT_EQ(count("WebOrderItems"), 2);
    EXPECT_EQ(count("Orders"), 0);
}

TEST_P(OrderRun, aWebOrderHeldElsewhereAndNotUnlockedGetsNothingWritten)
{
    const Record web = webOrder(QStringLiteral("Service"));
    item(web, 1, QStringLiteral("L"), 0);
    data::RequestClaim theirs(db(), data::ClaimVariant::orderProcessing(), web.toLong("OrderID"));
    ASSERT_EQ(theirs.claim(true), data::RequestClaim::Outcome::Claimed);
    const Record held = read("WebOrders", web.toLong("OrderID"));
    prompter.answer(1); // Cancel
    OrderProcessing p(services(), held, false);
    EXPECT_FALSE(p.open());
    EXPECT_FALSE(p.mayStart());
    EXPECT_EQ(p.run(), Response::Cancelled);
    p.close();
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(read("WebOrders", web.toLong("OrderID")), held);
    EXPECT_TRUE(theirs.isHeld());
    EXPECT_EQ(count("Orders"), 0);
    EXPECT_TRUE(forms.formsShown().isEmpty());
}

TEST_P(OrderRun, theSkipProductOrderDecision)
{
    const qint32 quote = insert("Quotes", [](Record &r) { r.setLong("Number", 42); }).toLong("QuoteID");
    const qint32 works = material(QStringLiteral("WO"), [quote](Record &r) { r.setLong("QuoteID", quote); });
    const qint32 excluded = material(QStringLiteral("WO"), [quote](Record &r) {
        r.setLong("QuoteID", quote);
        r.setLong("Exclude", 1);
    });
    const qint32 plain = material(QStringLiteral("PO"));
    const qint32 outwork
        = insert("Outwork", [](Record &r) { r.setText("Code", QStringLiteral("LAM")); }).toLong("OutworkID");
    struct Item
    {
        QString type;
        qint32 resource;
        QString code;
        bool fixed;
    };
    struct Case
    {
        const char *name;
        QString orderType;
        bool setting;
        QList<Item> items;
        bool skip;
    };
    const Item wo { QStringLiteral("M"), works, {}, false };
    const Case cases[] = {
        { "one works material, setting on", QStringLiteral("Product"), true, { wo }, true },
        { "one works material, setting off", QStringLiteral("Product"), false, { wo }, false },
        { "not a product order", QStringLiteral("Service"), true, { wo }, false },
        { "two materials", QStringLiteral("Product"), true, { wo, { QStringLiteral("M"), plain, {}, false } }, false },
        { "a voucher does not count", QStringLiteral("Product"), true,
            { wo, { QStringLiteral("M"), plain, QStringLiteral("VOUCHER"), false } }, true },
        { "a fixed charge does not count", QStringLiteral("Product"), true,
            { wo, { QStringLiteral("M"), plain, {}, true } }, true },
        { "an excluded material", QStringLiteral("Product"), true, { { QStringLiteral("M"), excluded, {}, false } },
            false },
        { "an outwork item", QStringLiteral("Product"), false, { { QStringLiteral("O"), outwork, {}, false } }, true },
        { "a missing outwork", QStringLiteral("Product"), false, { { QStringLiteral("O"), 9999, {}, false } }, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Record web = webOrder(c.orderType);
        int seq = 0;
        for (const Item &i : c.items)
            item(web, ++seq, i.type, i.resource, [&i](Record &r) {
                if (!i.code.isEmpty())
                    r.setText("Code", i.code);
                r.setLong("FixedCharge1", i.fixed ? 1 : 0);
            });
        ctx.settings.skipProductOrder = c.setting;
        bool skip = !c.skip;
        ASSERT_TRUE(OrderProcessing::skipProductOrder(db(), ctx.settings, web, &skip).isOk());
        EXPECT_EQ(skip, c.skip);
    }
}

TEST_P(OrderRun, thePlanOfOrdersAndItems)
{
    using P = OrderProcessing;
    const qint32 po = material(QStringLiteral("PO"));
    const qint32 wo = material(QStringLiteral("WO"));
    struct Case
    {
        const char *name;
        QString orderType;
        QList<QPair<QString, qint32>> items; // in sequence order
        QList<P::PlannedOrder> orders;
        QList<int> itemOrders;
    };
    const Case cases[] = {
        // The first item in sequence order, though it was stored last.
        { "not a product order", QStringLiteral("Service"), { { QStringLiteral("L"), 0 }, { QStringLiteral("M"), po } },
            { { 1, false } }, { 1 } },
        { "an unknown material first joins order 1", QStringLiteral("Product"),
            { { QStringLiteral("M"), 9999 }, { QStringLiteral("M"), po } }, { { 1, false }, { 2, false } }, { 1, 2 } },
        { "an unknown material follows the item before it", QStringLiteral("Product"),
            { { QStringLiteral("M"), wo }, { QStringLiteral("M"), 9999 }, { QStringLiteral("L"), 0 } }, { { 1, true } },
            { 1, 1, 1 } },
        { "works materials share one order", QStringLiteral("Product"),
            { { QStringLiteral("M"), po }, { QStringLiteral("M"), wo }, { QStringLiteral("M"), wo } },
            { { 1, false }, { 2, true } }, { 1, 2, 2 } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Record web = webOrder(c.orderType);
        QList<qint32> ids;
        // Stored in reverse, numbered in order: the plan goes by the sequence.
        for (int i = int(c.items.size()) - 1; i >= 0; --i)
            ids.prepend(item(web, i + 1, c.items[i].first, c.items[i].second));
        P::Plan plan;
        ASSERT_TRUE(P::plan(db(), web, &plan).isOk());
        EXPECT_EQ(plan.orders, c.orders);
        ASSERT_EQ(plan.items.size(), c.itemOrders.size());
        for (int i = 0; i < c.itemOrders.size(); ++i) {
            EXPECT_EQ(plan.items[i].order, c.itemOrders[i]);
            EXPECT_EQ(plan.items[i].webItemId, ids[i]);
        }
    }
}

TEST_P(OrderRun, aPendingB2cSignupGoesFirst_thenTheWebOrderIsReadAgainAndItsFilesAreFiledUnderTheClient)
{
    const qint32 client
        = insert("Clients", [](Record &r) { r.setText("Code", QStringLiteral("SMITH1")); }).toLong("ClientID");
    const qint32 signup = insert("WebSignup", [](Record &r) {
        r.setText("Status", QStringLiteral("Pending"));
        r.setText("Source", QStringLiteral("b2c"));
    }).toLong("WebSignupID");
    for (const bool accepted : { false, true }) {
        SCOPED_TRACE(accepted);
        Record web = webOrder(QStringLiteral("Service"));
        web.setLong("WebSignupID", signup);
        ASSERT_TRUE(Table(db(), QStringLiteral("WebOrders")).update(web).isOk());
        item(web, 1, QStringLiteral("L"), 0);
        const qint32 file = insert("WebAttachments", [&web](Record &r) {
            r.setLong("OrderID", web.toLong("OrderID"));
            r.setText("SourceName", QStringLiteral("https://shop.example/clients/unknown/art.pdf"));
            r.setText("Filename", QStringLiteral("art.pdf"));
        }).toLong("AttachmentID");
        int asked = 0;
        OrderProcessing::Services s = services();
        s.processSignup = [&](const Record &signupRead, const Record &order) {
            ++asked;
            EXPECT_EQ(signupRead.toLong("WebSignupID"), signup);
            EXPECT_EQ(order.toLong("OrderID"), web.toLong("OrderID"));
            if (!accepted)
                return Response::Cancelled;
            // What accepting the sign-up writes: the client, on the sign-up and the web order.
            Record su = read("WebSignup", signup);
            su.setText("Status", QStringLiteral("Accepted"));
            su.setText("ClientCode", QStringLiteral("SMITH1"));
            Record wo = read("WebOrders", web.toLong("OrderID"));
            wo.setLong("ClientID", client);
            EXPECT_TRUE(Table(db(), QStringLiteral("WebSignup")).update(su).isOk());
            EXPECT_TRUE(Table(db(), QStringLiteral("WebOrders")).update(wo).isOk());
            return Response::Completed;
        };
        if (accepted)
            forms.answerForm({});
        OrderProcessing p(s, read("WebOrders", web.toLong("OrderID")), false);
        ASSERT_TRUE(p.open());
        EXPECT_EQ(p.run(), accepted ? Response::Completed : Response::Cancelled) << p.told().toStdString();
        EXPECT_EQ(asked, 1);
        if (!accepted) {
            EXPECT_EQ(read("WebOrders", web.toLong("OrderID")).text("Status"), QStringLiteral("Pending"));
            EXPECT_EQ(read("WebAttachments", file).text("SourceName"),
                QStringLiteral("https://shop.example/clients/unknown/art.pdf"));
            EXPECT_EQ(count("Orders"), 0);
            continue;
        }
        ASSERT_EQ(p.createdOrders().size(), 1);
        EXPECT_EQ(read("Orders", p.createdOrders().first()).toLong("ClientID"), client);
        const QList<Record> files = [&] {
            Table t(db(), QStringLiteral("Attachments"));
            bizlib::TableCursor c(t, t.def().primary().name);
            QList<Record> out;
            Record r;
            while (c.next(r).isOk())
                out << r;
            return out;
        }();
        ASSERT_EQ(files.size(), 1);
        EXPECT_TRUE(files.first().text("SourceName").contains(QStringLiteral("/clients/SMITH1/art.pdf")))
            << files.first().text("SourceName").toStdString();
    }
}

TEST_P(OrderRun, aCancelGivesTheQuoteBackItsStatus_andTakesTheDeliveryPartiesMadeForTheRun)
{
    const Record client = insert("Clients", [](Record &r) { r.setText("Code", QStringLiteral("SMITHSONS")); });
    const qint32 quote = insert("Quotes", [](Record &r) {
        r.setLong("Number", 42);
        r.setText("Status", QStringLiteral("Open"));
    }).toLong("QuoteID");
    struct Case
    {
        const char *name;
        qint32 deliveryContact; // -1: none wanted
        qint32 deliveryOffice;
        int contactsMade;
        int officesMade;
    };
    const Case cases[] = {
        { "contact and office wanted", 0, 0, 1, 1 },
        { "neither wanted", -1, -1, 0, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Record web = webOrder(QStringLiteral("Product"));
        web.setLong("QuoteID", quote);
        web.setLong("ClientID", client.toLong("ClientID"));
        web.setText("Contact", QStringLiteral("Bob Smith"));
        web.setText("Address", QStringLiteral("1 High Street"));
        web.setLong("DClientID", client.toLong("ClientID"));
        web.setText("DContact", QStringLiteral("Ann Lee"));
        web.setLong("DContactID", c.deliveryContact);
        web.setLong("DOfficeID", c.deliveryOffice);
        web.setText("DAddress", QStringLiteral("Unit 4, Dock Road"));
        web.setText("DAddress1", QStringLiteral("Unit 4, Dock Road"));
        ASSERT_TRUE(Table(db(), QStringLiteral("WebOrders")).update(web).isOk());
        item(web, 1, QStringLiteral("M"), material(QStringLiteral("PO")));
        item(web, 2, QStringLiteral("M"), material(QStringLiteral("PO")));
        forms.answerForm({});
        forms.cancelForm();
        int contacts = -1;
        int offices = -1;
        Record during;
        qint32 duringOffice = 0;
        forms.beforeForm = forms.shown + 2;
        forms.meanwhile = [&] {
            contacts = count("Contacts");
            offices = count("Offices");
            during = read("Quotes", quote);
            duringOffice = read("WebOrders", web.toLong("OrderID")).toLong("DOfficeID");
        };
        OrderProcessing p(services(), read("WebOrders", web.toLong("OrderID")), false);
        ASSERT_TRUE(p.open());
        EXPECT_EQ(p.run(), Response::Cancelled);
        EXPECT_EQ(contacts, c.contactsMade);
        EXPECT_EQ(offices, c.officesMade);
        EXPECT_EQ(during.text("Status"), QStringLiteral("Won")) << "the first order's form took the quote";
        EXPECT_EQ(duringOffice != 0, c.officesMade == 1) << "the web order names the office made";
        // Everything back: the quote open and free, no party of the run left, the web order as it was.
        const Record after = read("Quotes", quote);
        EXPECT_EQ(after.text("Status"), QStringLiteral("Open"));
        EXPECT_EQ(after.toLong("OrderID"), 0);
        EXPECT_EQ(count("Contacts"), 0);
        EXPECT_EQ(count("Offices"), 0);
        const Record back = read("WebOrders", web.toLong("OrderID"));
        EXPECT_EQ(back.toLong("DContactID"), c.deliveryContact);
        EXPECT_EQ(back.toLong("DOfficeID"), c.deliveryOffice);
        EXPECT_EQ(back.toLong("DClientID"), client.toLong("ClientID"));
        EXPECT_EQ(count("Orders"), 0);
    }
}

// A run keeps the rows it read, but a row it wrote is read again: each order unlinks the delivery
// contact from another office as the contact is then, also when another workstation linked it
// again after the first order.
TEST_P(OrderRun, eachOrderSeesTheDeliveryContactAsItIsNow_afterTheRunsOwnUnlinkAndAnotherWorkstationsLink)
{
    const qint32 client
        = insert("Clients", [](Record &r) { r.setText("Code", QStringLiteral("DOCKS")); }).toLong("ClientID");
    const auto office = [&](const char *name) {
        return insert("Offices", [&](Record &r) {
            r.setLong("ClientID", client);
            r.setText("Office", QLatin1String(name));
        }).toLong("OfficeID");
    };
    const qint32 delivery = office("Dock Road");
    const qint32 elsewhere = office("High Street");
    const qint32 third = office("Mill Lane");
    const qint32 contact = insert("Contacts", [&](Record &r) {
        r.setLong("ClientID", client);
        r.setText("Name", QStringLiteral("Ann Lee"));
        r.setLong("OfficeID", elsewhere);
    }).toLong("ContactID");
    Record web = webOrder(QStringLiteral("Product"));
    web.setLong("ClientID", client);
    web.setLong("DClientID", client);
    web.setLong("DContactID", contact);
    web.setLong("DOfficeID", delivery);
    ASSERT_TRUE(Table(db(), QStringLiteral("WebOrders")).update(web).isOk());
    item(web, 1, QStringLiteral("M"), material(QStringLiteral("PO")));
    item(web, 2, QStringLiteral("M"), material(QStringLiteral("PO")));
    forms.answerForm({});
    forms.answerForm({});
    qint32 afterFirst = -1;
    forms.beforeForm = 1;
    forms.meanwhile = [&] {
        Record c = read("Contacts", contact);
        afterFirst = c.toLong("OfficeID");
        c.setLong("OfficeID", third);
        ASSERT_TRUE(Table(db(), QStringLiteral("Contacts")).update(c).isOk());
    };
    OrderProcessing p(services(), read("WebOrders", web.toLong("OrderID")), false);
    ASSERT_TRUE(p.open());
    ASSERT_EQ(p.run(), Response::Completed) << p.told().toStdString();
    ASSERT_EQ(p.createdOrders().size(), 2);
    EXPECT_EQ(afterFirst, 0) << "the first order unlinked the contact";
    EXPECT_EQ(read("Contacts", contact).toLong("OfficeID"), 0) << "the second order saw the new link and unlinked it";
}

TEST_P(OrderRun, automaticRunTellsAboutEachOrderOnceAllAreMade_andACancelledRunTellsNothing)
{
    testsupport::SmtpSink sink;
    ASSERT_TRUE(sink.start());
    bizlib::mail::MailSettings settings;
    settings.transport = QStringLiteral("SMTP");
    settings.server = QStringLiteral("127.0.0.1");
    settings.port = QString::number(sink.port());
    settings.from = QStringLiteral("console@print.example");
    settings.outboxFolder = dataFolder.filePath(QStringLiteral("outbox"));
    bizlib::mail::MailSender mail(settings, nullptr, &prompter);
    ctx.settings.adminEmail = QStringLiteral("admin@print.example");
    for (const bool refused : { true, false }) {
        SCOPED_TRACE(refused);
        const Record web = webOrder(QStringLiteral("Product"));
        item(web, 1, QStringLiteral("M"), material(QStringLiteral("PO")));
        item(web, 2, QStringLiteral("M"), material(QStringLiteral("PO"), [refused](Record &r) {
            if (refused)
                r.setText("Code", QStringLiteral("REFUSED"));
        }));
        if (refused) {
            const bool pg = db().isPostgres();
            if (pg) {
                ASSERT_TRUE(db().exec(QStringLiteral("CREATE FUNCTION refuse_item() RETURNS trigger AS $$ BEGIN IF "
                                                     "NEW.\"code\" = 'REFUSED' THEN RAISE EXCEPTION 'refused'; END IF; "
                                                     "RETURN NEW; END $$ LANGUAGE plpgsql"))
                                .isOk());
            }
            ASSERT_TRUE(
                db().exec(pg ? QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"orderitems\" FOR EACH "
                                              "ROW EXECUTE FUNCTION refuse_item()")
                             : QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"orderitems\" WHEN "
                                              "NEW.\"code\" = 'REFUSED' BEGIN SELECT RAISE(ABORT, 'refused'); END"))
                    .isOk());
        }
        OrderProcessing::Services s = services();
        s.mail = &mail;
        OrderProcessing p(s, read("WebOrders", web.toLong("OrderID")), true);
        ASSERT_TRUE(p.open());
        // The first order is stored before the second item fails: nobody hears of it.
        EXPECT_EQ(p.run(), refused ? Response::Cancelled : Response::Completed) << p.told().toStdString();
        EXPECT_TRUE(forms.formsShown().isEmpty()) << "automatic runs show no form";
        if (refused) {
            EXPECT_TRUE(sink.messages().isEmpty());
            EXPECT_EQ(count("Orders"), 0);
            continue;
        }
        const QList<testsupport::SmtpSink::Message> sent = sink.messages();
        ASSERT_EQ(sent.size(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(sent[i].recipients, QStringList { QStringLiteral("admin@print.example") });
            EXPECT_TRUE(sent[i].body().contains(QByteArray::number(701 + i))) << sent[i].body().toStdString();
        }
    }
}

// A workstation that dies with the second order form open: the cleanup of its claim (another
// console's start) finds everything the run made or changed in the claim's record.
TEST_P(OrderRun, theCleanupAfterADeadWorkstationRemovesWhatItsRunMadeAndGivesTheQuoteBack)
{
    const Record client = insert("Clients", [](Record &r) { r.setText("Code", QStringLiteral("SMITHSONS")); });
    const qint32 quote = insert("Quotes", [](Record &r) {
        r.setLong("Number", 42);
        r.setText("Status", QStringLiteral("Open"));
    }).toLong("QuoteID");
    Record web = webOrder(QStringLiteral("Product"));
    web.setLong("QuoteID", quote);
    web.setLong("ClientID", client.toLong("ClientID"));
    web.setLong("DClientID", client.toLong("ClientID"));
    web.setText("DContact", QStringLiteral("Ann Lee"));
    web.setLong("DContactID", 0);
    web.setLong("DOfficeID", 0);
    web.setText("DAddress", QStringLiteral("Unit 4, Dock Road"));
    ASSERT_TRUE(Table(db(), QStringLiteral("WebOrders")).update(web).isOk());
    item(web, 1, QStringLiteral("M"), material(QStringLiteral("PO")));
    item(web, 2, QStringLiteral("M"), material(QStringLiteral("PO")));
    forms.answerForm({});
    forms.answerForm({});
    int made = 0;
    forms.beforeForm = 2;
    forms.meanwhile = [&] {
        made = count("Orders") + count("Contacts") + count("Offices");
        data::ClaimHolder holder;
        ASSERT_TRUE(data::ClaimBook(db()).holderOf(QStringLiteral("WebOrders"), web.toLong("OrderID"), &holder).isOk());
        data::ClaimCleanup::Report report;
        ASSERT_TRUE(data::ClaimCleanup(db(), { dataFolder.path() }, 10).cleanUp(holder, &report).isOk());
    };
    OrderProcessing p(services(), read("WebOrders", web.toLong("OrderID")), false);
    ASSERT_TRUE(p.open());
    // The run goes on unaware until its last save, which finds the claim gone.
    EXPECT_EQ(p.run(), Response::Cancelled);
    EXPECT_EQ(made, 4) << "two orders, the delivery contact and office";
    EXPECT_EQ(count("Orders") + count("Contacts") + count("Offices"), 0);
    EXPECT_EQ(read("Quotes", quote).text("Status"), QStringLiteral("Open"));
    EXPECT_EQ(lastJobNo(), 700);
    const Record back = read("WebOrders", web.toLong("OrderID"));
    EXPECT_EQ(back.text("Status"), QStringLiteral("Pending"));
    EXPECT_EQ(back.toLong("DContactID"), 0);
    EXPECT_EQ(count("WebOrderItems"), 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderRun, testsupport::allEngines(), testsupport::engineName);

} // namespace
