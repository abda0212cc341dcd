#include "demo/DemoData.h"

#include "bizlib/security/Security.h"
#include "bizlib/Clock.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/ConsoleSettingsFile.h"
#include "config/IniFile.h"
#include "config/TraceLog.h"
#include "demo/DemoWorkspace.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>

using namespace bizlib;
using testsupport::DataTest;

namespace {

const QDate kToday(2026, 3, 16);

// Every row of a table in primary key order.
QList<Record> rowsOf(Database &db, const QString &tableName)
{
    Table table(db, tableName);
    TableCursor cursor(table, table.def().primary().name);
    QList<Record> rows;
    Record r;
    Status st;
    while ((st = cursor.next(r)))
        rows.append(r);
    EXPECT_TRUE(st.isNotFound()) << tableName.toStdString() << ": " << st.message().toStdString();
    return rows;
}

// A row as text, field by field, for comparing rows of two databases.
QString rowText(const Record &r)
{
    QStringList values;
    for (int i = 0; i < r.fieldCount(); ++i)
        values << r.text(i);
    return values.join(u'|');
}

QSet<qint32> idsOf(const QList<Record> &rows, const char *field)
{
    QSet<qint32> ids;
    for (const Record &r : rows)
        ids.insert(r.toLong(field));
    return ids;
}

class DemoDataTest : public DataTest
{
protected:
    void fill(Database &target, quint32 seed = 7)
    {
        demo::DemoData data(target, seed);
        data.setToday(kToday);
        const Status st = data.fillAll();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
    }

    qint64 count(const QString &table, const QString &where = {}, const QVariantList &params = {})
    {
        Table t(db(), table);
        qint64 n = -1;
        const Status st = t.count(&n, where, params);
        EXPECT_TRUE(st.isOk()) << st.message().toStdString();
        return n;
    }
};

TEST_P(DemoDataTest, fillAll_givesEveryKindOfRequestInTheStatedNumbers)
{
    fill(db());
    EXPECT_EQ(count("WebQuotes"), 24);
    EXPECT_EQ(count("WebQuotes", "\"status\" = ?", { "Processing" }), 2);
    EXPECT_EQ(count("WebQuotes", "\"status\" = ?", { "Pending" }), 22);
    const qint64 rfq = count("WebQuotes", "\"quotetype\" = ?", { "RFQ" });
    EXPECT_GT(rfq, 0);
    EXPECT_EQ(count("WebQuotes", "\"quotetype\" = ? AND (\"templateid\" <> 0 OR \"previousid\" <> 0)", { "RFQ" }), 0);
    EXPECT_GT(count("WebQuotes", "\"templateid\" > 0 AND \"previousid\" = 0"), 0);
    EXPECT_GT(count("WebQuotes", "\"previousid\" > 0 AND \"templateid\" = 0"), 0);
    EXPECT_EQ(count("WebQuotes", "\"templateid\" > 0 OR \"previousid\" > 0") + rfq, 24);

    EXPECT_EQ(count("WebOrders"), 12);
    EXPECT_GT(count("WebOrders", "\"ordertype\" = ?", { "Product" }), 0);
    EXPECT_GT(count("WebOrders", "\"ordertype\" = ?", { "Service" }), 0);
    EXPECT_EQ(count("WebOrders", "\"ordertype\" = ?", { "service" }), 1);
    EXPECT_GT(count("WebOrders", "\"prepay\" = 1 AND \"prepaid\" = 1"), 0);
    EXPECT_GT(count("WebOrders", "\"prepay\" = 1 AND \"prepaid\" = 0"), 0);
    EXPECT_GT(count("WebOrders", "\"websignupid\" > 0"), 0);
    EXPECT_EQ(count("WebNotes", "\"class\" = ?", { "Payment" }), 1);

    EXPECT_EQ(count("WebSignup", "\"status\" = ?", { "Pending" }), 8);
    EXPECT_GT(count("WebSignup", "\"status\" = ? AND \"source\" = ?", { "Pending", "B2B" }), 0);
    EXPECT_GT(count("WebSignup", "\"status\" = ? AND \"source\" = ?", { "Pending", "B2C" }), 0);
    EXPECT_EQ(count("WebTask"), 12);
    for (const char *status : { "Pending", "Active", "Completed", "Failed" })
        EXPECT_GT(count("WebTask", "\"status\" = ?", { status }), 0) << status;

    EXPECT_EQ(count("Users"), 6);
    EXPECT_EQ(count("Clients"), 10);
    EXPECT_EQ(count("Quotes", "\"istemplate\" = 1"), 3);
    EXPECT_EQ(count("Quotes", "\"istemplate\" = 0"), 4);
    EXPECT_EQ(count("SYCONF", "\"upgradecompleted\" = 1 AND \"multicompany\" = 0"), 1);
    EXPECT_EQ(count("DEFAULTS", "\"emailtransport\" = ? AND \"emailserver\" = ?", { "SMTP", "127.0.0.1" }), 1);
    EXPECT_GT(count("PHRASE", "\"category\" = ? AND \"other\" = 1", { "Rejection" }), 0);
    EXPECT_EQ(count("ReportLayouts", "\"layoutid\" = 1 AND \"description\" = ?", { "Quote letter" }), 1);
}

TEST_P(DemoDataTest, fillAll_linksEveryRowToOwnersThatExist)
{
    fill(db());
    const QList<Record> quotes = rowsOf(db(), "WebQuotes");
    const QList<Record> orders = rowsOf(db(), "WebOrders");
    QHash<qint32, qint32> quoteWebIds, orderWebIds;
    for (const Record &q : quotes)
        quoteWebIds.insert(q.toLong("QuoteID"), q.toLong("WebID"));
    for (const Record &o : orders)
        orderWebIds.insert(o.toLong("OrderID"), o.toLong("WebID"));

    const QList<Record> attachments = rowsOf(db(), "WebAttachments");
    ASSERT_FALSE(attachments.isEmpty());
    for (const Record &a : attachments) {
        const qint32 quoteId = a.toLong("QuoteID");
        const qint32 orderId = a.toLong("OrderID");
        ASSERT_TRUE((quoteId > 0) != (orderId > 0)) << "attachment " << a.toLong("AttachmentID");
        const qint32 webId = quoteId > 0 ? quoteWebIds.value(quoteId, -1) : orderWebIds.value(orderId, -1);
        ASSERT_NE(webId, -1) << "owner of attachment " << a.toLong("AttachmentID") << " is missing";
        EXPECT_EQ(a.text("Filename"), QStringLiteral("%1_%2").arg(webId).arg(a.text("SourceFile")));
    }
    for (const Record &q : quotes)
        EXPECT_EQ(q.toLong("HasAttachments") != 0, idsOf(attachments, "QuoteID").contains(q.toLong("QuoteID")));

    const QList<Record> notes = rowsOf(db(), "WebNotes");
    for (const Record &n : notes) {
        const bool onQuote = n.text("ParentType") == QStringLiteral("QTE");
        EXPECT_TRUE(onQuote ? quoteWebIds.contains(n.toLong("QuoteID")) : orderWebIds.contains(n.toLong("OrderID")));
        EXPECT_EQ(n.toLong("ParentID"), onQuote ? n.toLong("QuoteID") : n.toLong("OrderID"));
    }
    for (const Record &q : quotes) {
        if (q.toLong("NoteID") != 0) {
            EXPECT_TRUE(idsOf(notes, "NoteID").contains(q.toLong("NoteID")));
        }
    }

    const QSet<QString> materialCodes = [&] {
        QSet<QString> codes;
        for (const Record &m : rowsOf(db(), "Materials"))
            codes.insert(m.text("Code"));
        return codes;
    }();
    const QList<Record> items = rowsOf(db(), "WebOrderItems");
    for (const Record &i : items) {
        EXPECT_TRUE(orderWebIds.contains(i.toLong("OrderID"))) << "item " << i.toLong("OrderItemID");
        if (i.text("Type") == QStringLiteral("M")) {
            EXPECT_TRUE(materialCodes.contains(i.text("Code"))) << i.text("Code").toStdString();
        }
    }
    for (const Record &o : orders) {
        const int n = static_cast<int>(std::count_if(
            items.cbegin(), items.cend(), [&](const Record &i) { return i.toLong("OrderID") == o.toLong("OrderID"); }));
        EXPECT_TRUE(n >= 1 && n <= 4) << "order " << o.toLong("Number") << " has " << n << " items";
    }

    // B2C orders: each has a pending consumer sign-up of its own.
    Table signups(db(), "WebSignup");
    QSet<qint32> usedSignups;
    for (const Record &o : orders) {
        const qint32 signupId = o.toLong("WebSignupID");
        if (signupId <= 0)
            continue;
        Record s = signups.newRecord();
        ASSERT_TRUE(signups.fetch("WEBSIGNUPIDKEY", { signupId }, s).isOk()) << "sign-up " << signupId;
        EXPECT_EQ(s.text("Status"), QStringLiteral("Pending"));
        EXPECT_EQ(s.text("Source"), QStringLiteral("B2C"));
        EXPECT_FALSE(usedSignups.contains(signupId));
        usedSignups.insert(signupId);
    }

    // Requests name real clients and contacts of those clients; repeats and templates real quotes.
    QHash<qint32, qint32> contactClient;
    for (const Record &c : rowsOf(db(), "Contacts"))
        contactClient.insert(c.toLong("ContactID"), c.toLong("ClientID"));
    const QList<Record> businessQuotes = rowsOf(db(), "Quotes");
    for (const Record &q : quotes) {
        EXPECT_EQ(contactClient.value(q.toLong("ContactID"), -1), q.toLong("ClientID")) << q.toLong("Number");
        for (const char *link : { "TemplateID", "PreviousID" }) {
            const qint32 id = q.toLong(link);
            if (id == 0)
                continue;
            const auto source = std::find_if(businessQuotes.cbegin(), businessQuotes.cend(),
                [&](const Record &b) { return b.toLong("QuoteID") == id; });
            ASSERT_NE(source, businessQuotes.cend()) << link << " " << id;
            EXPECT_EQ(source->toLong("IsTemplate"), qstrcmp(link, "TemplateID") == 0 ? 1 : 0);
        }
    }
    QSet<QString> initials;
    for (const Record &u : rowsOf(db(), "Users"))
        initials.insert(u.text("Initials"));
    for (const Record &c : rowsOf(db(), "Clients")) {
        EXPECT_TRUE(initials.contains(c.text("Manager"))) << c.text("Code").toStdString();
        EXPECT_TRUE(initials.contains(c.text("Rep"))) << c.text("Code").toStdString();
        const qint64 contacts = count("Contacts", "\"clientid\" = ?", { c.toLong("ClientID") });
        EXPECT_TRUE(contacts >= 2 && contacts <= 3) << c.text("Code").toStdString();
    }
}

TEST_P(DemoDataTest, fillAll_givesUsersPasswordsAndRightsAndStockEveryState)
{
    fill(db());
    QSet<QString> hashes;
    for (const Record &u : rowsOf(db(), "Users")) {
        const QString hash = u.text("PasswordHash");
        EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$"))) << hash.toStdString();
        hashes.insert(hash);
    }
    // The demo users log on through the program's own security with the documented password.
    bizlib::security::Security security(db());
    bizlib::Session session;
    EXPECT_TRUE(security.authenticate(QStringLiteral("js"), QStringLiteral("demo"), &session).isOk());
    EXPECT_EQ(session.userCode, QStringLiteral("JS"));
    EXPECT_FALSE(security.authenticate(QStringLiteral("JS"), QStringLiteral("Demo"), &session).isOk());
    EXPECT_EQ(hashes.size(), 6) << "each with a salt of its own";
    const qint64 mayMarkPaid = count("UserRights", "\"rightno\" = 44");
    EXPECT_GT(mayMarkPaid, 0);
    EXPECT_LT(mayMarkPaid, 6);

    int below = 0, atLevel = 0;
    for (const Record &m : rowsOf(db(), "Materials")) {
        if (m.toLong("Stock") != 1)
            continue;
        below += m.decimal("Available") < m.decimal("Reorder") ? 1 : 0;
        atLevel += m.decimal("Available") == m.decimal("Reorder") ? 1 : 0;
    }
    EXPECT_GT(below, 0);
    EXPECT_EQ(atLevel, 1);
}

TEST_P(DemoDataTest, amounts_addUpFromItemsAndWorkings)
{
    fill(db());
    const QList<Record> items = rowsOf(db(), "WebOrderItems");
    for (const Record &o : rowsOf(db(), "WebOrders")) {
        Decimal net, tax;
        for (const Record &i : items) {
            if (i.toLong("OrderID") != o.toLong("OrderID"))
                continue;
            EXPECT_EQ(i.decimal("Net"), (i.decimal("Quantity") * i.decimal("UnitPrice")).rescaled(2));
            EXPECT_EQ(i.decimal("Gross"), i.decimal("Net") + i.decimal("Tax"));
            net = net + i.decimal("Net");
            tax = tax + i.decimal("Tax");
        }
        EXPECT_EQ(o.decimal("QuotePrice"), net) << "order " << o.toLong("Number");
        EXPECT_EQ(o.decimal("Tax"), tax) << "order " << o.toLong("Number");
        EXPECT_EQ(o.decimal("Total"), net + tax) << "order " << o.toLong("Number");
    }

    const QList<Record> workings = rowsOf(db(), "QuoteWorkings");
    for (const Record &q : rowsOf(db(), "Quotes")) {
        Decimal cost, selling;
        for (const Record &w : workings) {
            if (w.toLong("QuoteID") == q.toLong("QuoteID")) {
                cost = cost + w.decimal("Cost");
                selling = selling + w.decimal("SellingPrice");
            }
        }
        EXPECT_FALSE(selling.isZero()) << "quote " << q.toLong("Number") << " has no workings";
        EXPECT_EQ(q.decimal("CostTotal1"), cost) << "quote " << q.toLong("Number");
        EXPECT_EQ(q.decimal("SellingPrice1"), selling) << "quote " << q.toLong("Number");
        EXPECT_EQ(q.decimal("MarkupTotal1"), selling - cost) << "quote " << q.toLong("Number");
    }
    Table syconf(db(), "SYCONF");
    Record sys = syconf.newRecord();
    TableCursor first(syconf, "SYCONFIDKEY");
    ASSERT_TRUE(first.next(sys).isOk());
    qint32 lastQuote = 0;
    for (const Record &q : rowsOf(db(), "Quotes"))
        lastQuote = std::max(lastQuote, q.toLong("Number"));
    EXPECT_EQ(sys.toLong("LastQuoteNo"), lastQuote);
    EXPECT_EQ(sys.text("CompanyName"), QStringLiteral("Northgate Print Ltd"));
}

TEST_P(DemoDataTest, productOrderItems_showEveryStockState)
{
    fill(db());
    QHash<QString, Record> materials;
    for (const Record &m : rowsOf(db(), "Materials"))
        materials.insert(m.text("Code"), m);
    int plenty = 0, shortOfStock = 0, low = 0;
    for (const Record &i : rowsOf(db(), "WebOrderItems")) {
        if (i.text("Type") != QStringLiteral("M"))
            continue;
        const Record m = materials.value(i.text("Code"));
        if (m.toLong("Stock") != 1)
            continue;
        const Decimal left = m.decimal("Available") - i.decimal("Quantity");
        if (left > m.decimal("Reorder"))
            ++plenty;
        else if (i.decimal("Quantity") > m.decimal("Available"))
            ++shortOfStock;
        else
            ++low;
    }
    EXPECT_GT(plenty, 0);
    EXPECT_GT(shortOfStock, 0);
    EXPECT_GT(low, 0);

    // Repeat orders point at business orders that exist; a works order names a stock product.
    const QSet<qint32> businessOrders = idsOf(rowsOf(db(), "Orders"), "OrderID");
    int repeats = 0;
    for (const Record &o : rowsOf(db(), "WebOrders")) {
        if (o.toLong("PreviousID") != 0) {
            ++repeats;
            EXPECT_TRUE(businessOrders.contains(o.toLong("PreviousID"))) << "order " << o.toLong("Number");
        }
        if (!o.text("StockCode").isEmpty()) {
            EXPECT_TRUE(materials.contains(o.text("StockCode")));
        }
    }
    EXPECT_GT(repeats, 0);
}

TEST_P(DemoDataTest, sameSeedAndDay_giveTheSameRows_anotherSeedOtherRows)
{
    fill(db());
    testsupport::TestDatabase second(GetParam());
    ASSERT_TRUE(second.isAvailable()) << second.skipReason().toStdString();
    fill(second.db());
    testsupport::TestDatabase third(GetParam());
    ASSERT_TRUE(third.isAvailable()) << third.skipReason().toStdString();
    fill(third.db(), 8);

    bool anyDifferent = false;
    for (const char *table : { "Users", "Clients", "Contacts", "Quotes", "QuoteWorkings", "WebQuotes", "WebOrders",
             "WebOrderItems", "WebAttachments", "WebNotes", "WebSignup", "WebTask", "TabTexts" }) {
        const QList<Record> a = rowsOf(db(), table);
        const QList<Record> b = rowsOf(second.db(), table);
        ASSERT_EQ(a.size(), b.size()) << table;
        for (int i = 0; i < a.size(); ++i)
            EXPECT_EQ(rowText(a[i]), rowText(b[i])) << table << " row " << i;
        const QList<Record> c = rowsOf(third.db(), table);
        for (int i = 0; i < std::min(a.size(), c.size()); ++i)
            anyDifferent = anyDifferent || rowText(a[i]) != rowText(c[i]);
    }
    EXPECT_TRUE(anyDifferent);
}

// Made early in the morning, the demo dates nothing later than that moment: no request, sign-up or
// webtask (nor its start, end or response) lies in the future. Only what is due ahead is: delivery
// and due dates, expiries, validity ends.
TEST_P(DemoDataTest, madeEarlyInTheDay_datesNothingInTheFuture)
{
    const QDateTime now(kToday, QTime(8, 15));
    demo::DemoData data(db(), 7);
    data.setNow(now);
    ASSERT_TRUE(data.fillAll().isOk());

    const QSet<QString> dueAhead { QStringLiteral("Required"), QStringLiteral("DueDate"),
        QStringLiteral("WebExpiryDate"), QStringLiteral("ValidTo") };
    int stamps = 0;
    for (const auto &table : Dictionary::instance().tables()) {
        const TableDef &def = *table;
        if (def.primaryKey < 0)
            continue;
        for (const Record &row : rowsOf(db(), def.name)) {
            for (int f = 0; f < def.fields.size(); ++f) {
                const FieldDef &field = def.fields.at(f);
                if (field.type != FieldType::Date || dueAhead.contains(field.name) || row.toLong(f) == 0)
                    continue;
                // Its time of day: "TaskDate" goes with "TaskTime", "CreatedOn" with "CreatedAt".
                QString timeName = field.name;
                if (timeName.endsWith(QLatin1String("Date")))
                    timeName.replace(timeName.size() - 4, 4, QStringLiteral("Time"));
                else if (timeName.endsWith(QLatin1String("On")))
                    timeName.replace(timeName.size() - 2, 2, QStringLiteral("At"));
                const int timeField = def.fieldIndex(timeName);
                const QTime time = timeField >= 0 ? DateTime::toTime(row.toLong(timeField)) : QTime(0, 0);
                const QDateTime stamp(DateTime::toDate(row.toLong(f)), time.isValid() ? time : QTime(0, 0));
                EXPECT_LE(stamp, now) << def.name.toStdString() << "." << field.name.toStdString() << " "
                                      << stamp.toString(Qt::ISODate).toStdString();
                ++stamps;
            }
        }
    }
    EXPECT_GT(stamps, 100);
    // Today's samples are still there, all before now.
    EXPECT_GT(count(QStringLiteral("WebTask")), 0);
}

TEST_P(DemoDataTest, extraRequests_continueTheNumbersAndAreAllPending)
{
    fill(db());
    demo::DemoData data(db(), 99);
    data.setToday(kToday);
    ASSERT_TRUE(data.addWebQuotes(30).isOk());
    ASSERT_TRUE(data.addWebOrders(5).isOk());
    EXPECT_EQ(count("WebQuotes"), 54);
    EXPECT_EQ(count("WebQuotes", "\"number\" > 1024 AND \"status\" = ?", { "Pending" }), 30);
    EXPECT_EQ(count("WebOrders", "\"number\" > 2012 AND \"status\" = ? AND \"websignupid\" = 0", { "Pending" }), 5);
    // Web IDs stay unique: attachment file names are built from them.
    QSet<qint32> webIds = idsOf(rowsOf(db(), "WebQuotes"), "WebID");
    EXPECT_EQ(webIds.size(), 54);
    const QDate oldest = kToday.addDays(-13);
    EXPECT_EQ(count("WebQuotes", "\"createdon\" < ? OR \"createdon\" > ?",
                  { DateTime::fromDate(oldest), DateTime::fromDate(kToday) }),
        0);
}

TEST_P(DemoDataTest, arrivingRequests_neverTakeTheNumbersOfRequestsProcessedAndDeleted)
{
    fill(db());
    QTemporaryDir uploads;
    demo::DemoData data(db(), 5);
    data.setToday(kToday);
    data.setUploadFolder(uploads.path());
    const QDateTime now(kToday, QTime(11, 0));
    for (const QString &table : { QStringLiteral("WebQuotes"), QStringLiteral("WebOrders") }) {
        SCOPED_TRACE(table.toStdString());
        const bool quotes = table == QStringLiteral("WebQuotes");
        const QString key = quotes ? QStringLiteral("QUOTEIDKEY") : QStringLiteral("ORDERIDKEY");
        const auto arrive = [&] {
            qint32 id = 0;
            const Status st = quotes ? data.addArrivingQuote(demo::DemoData::QuoteKind::Rfq, now, &id)
                                     : data.addArrivingOrder(false, false, now, &id);
            EXPECT_TRUE(st.isOk()) << st.message().toStdString();
            Table t(db(), table);
            Record r = t.newRecord();
            EXPECT_TRUE(t.fetch(key, { id }, r).isOk());
            return r;
        };
        const Record first = arrive();
        // Processing takes the newest request away, as it does every request in the end.
        ASSERT_TRUE(Table(db(), table).remove(first).isOk());
        const Record second = arrive();
        EXPECT_GT(second.toLong("Number"), first.toLong("Number"));
        EXPECT_GT(second.toLong("WebID"), first.toLong("WebID"));
    }
}

TEST_P(DemoDataTest, webRequestsWithoutBusinessData_failAndWriteNothing)
{
    demo::DemoData data(db());
    const Status st = data.fillWebRequests();
    EXPECT_TRUE(st.isError());
    EXPECT_FALSE(st.message().isEmpty());
    EXPECT_FALSE(data.addWebQuotes(3).isOk());
    EXPECT_EQ(count("WebQuotes"), 0);
    EXPECT_EQ(count("WebSignup"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, DemoDataTest, testsupport::allEngines(), testsupport::engineName);

// --- the workspace (SQLite only: it is what the run command creates) ---

QString readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(DemoWorkspace, create_writesIniFilesThatTheConsoleReadsBack)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("ws");
    QString error;
    ASSERT_TRUE(demo::createWorkspace(root, false, &error)) << error.toStdString();

    const config::IniFile ini(root + "/webconsole.ini");
    EXPECT_EQ(ini.text("Database", "Driver"), QStringLiteral("QSQLITE"));
    EXPECT_EQ(ini.text("Database", "File"), QStringLiteral("business.db"));
    EXPECT_EQ(ini.text("General", "GlobalPath"), root + "/global");
    EXPECT_EQ(ini.text("General", "LocalData"), root + "/local");
    EXPECT_EQ(ini.text("General", "ResourcePath"), root + "/resources");
    EXPECT_EQ(ini.number("Multicompany", "CompanyNo", -1), 0);
    EXPECT_EQ(ini.number("Email", "EmailDisable", 0), 1);
    for (const char *folder : { "global", "data", "local", "resources", "hot", "edoc" })
        EXPECT_TRUE(QDir(root + '/' + folder).exists()) << folder;

    // Read as the console reads them: the web monitor file for company 0 in the global folder.
    config::SettingsFiles files;
    files.webMonitorIni = config::webMonitorIniPath(ini.text("General", "GlobalPath"), 0);
    files.localIni = root + "/webconsole.ini";
    EXPECT_EQ(files.webMonitorIni, demo::webMonitorSettingsPath(root));
    config::TraceLog trace;
    const config::ConsoleSettings s = config::getIniSettings(files, root + "/resources", trace, root);
    EXPECT_EQ(s.webUrl, QStringLiteral("https://print.example.com"));
    EXPECT_EQ(s.refreshInterval, 30);
    EXPECT_EQ(s.hotFolder, root + "/hot");
    EXPECT_EQ(s.edocHotFolder, root + "/edoc");
    EXPECT_EQ(s.quoteLayout, 1);
    // Automatic processing is off, and the file says how to turn it on: its keys, commented out
    // in the "Settings" section, which take effect once the ";" is gone.
    EXPECT_FALSE(s.autoProcessQuotes);
    EXPECT_FALSE(s.autoProcessRfqs);
    const QString webmonText = readFile(files.webMonitorIni);
    const qsizetype settingsAt = webmonText.indexOf(QStringLiteral("[Settings]"));
    for (const char *key : { ";AutoProcessQuotes=1", ";AutoProcessRFQs=1", ";RFQEstimator=AB", ";AutoEmailRep=1" })
        EXPECT_GT(webmonText.indexOf(QLatin1String(key)), settingsAt) << key;
    QFile webmonFile(files.webMonitorIni);
    ASSERT_TRUE(webmonFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    webmonFile.write(
        QString(webmonText).replace(QStringLiteral(";AutoProcess"), QStringLiteral("AutoProcess")).toUtf8());
    webmonFile.close();
    const config::ConsoleSettings automatic = config::getIniSettings(files, root + "/resources", trace, root);
    EXPECT_TRUE(automatic.autoProcessQuotes);
    EXPECT_TRUE(automatic.autoProcessRfqs);
    EXPECT_EQ(automatic.webUrl, s.webUrl);
    // The demo's own chimes: PCM WAV files of at least a quarter second, whole as their header says.
    EXPECT_EQ(s.enquirySound, root + "/sounds/enquiry.wav");
    EXPECT_EQ(s.signupSound, root + "/sounds/signup.wav");
    for (const QString &sound : { s.enquirySound, s.signupSound }) {
        QFile wav(sound);
        ASSERT_TRUE(wav.open(QIODevice::ReadOnly)) << sound.toStdString();
        const QByteArray data = wav.readAll();
        ASSERT_GT(data.size(), 44 + 22050 / 4 * 2);
        EXPECT_TRUE(data.startsWith("RIFF") && data.mid(8, 8) == "WAVEfmt ");
        EXPECT_EQ(qFromLittleEndian<quint16>(data.constData() + 20), 1); // PCM
        EXPECT_EQ(qFromLittleEndian<quint32>(data.constData() + 40), quint32(data.size() - 44));
    }

    DatabaseConfig cfg;
    cfg.file = root + "/business.db";
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    Table quotes(db, "WebQuotes");
    qint64 n = 0;
    ASSERT_TRUE(quotes.count(&n).isOk());
    EXPECT_EQ(n, 24);
    db.close();
}

TEST(DemoWorkspace, existingWorkspace_isLeftAloneWithoutForce_andMadeAnewWithIt)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("ws");
    QString error;
    ASSERT_TRUE(demo::createWorkspace(root, false, &error)) << error.toStdString();
    EXPECT_TRUE(demo::workspaceExists(root));
    config::IniFile ini(root + "/webconsole.ini");
    ASSERT_TRUE(ini.writeText("General", "Marker", "kept"));
    const QString before = readFile(root + "/webconsole.ini");

    EXPECT_FALSE(demo::createWorkspace(root, false, &error));
    EXPECT_TRUE(error.contains("--force")) << error.toStdString();
    EXPECT_EQ(readFile(root + "/webconsole.ini"), before);

    demo::WorkspaceOptions options;
    options.force = true;
    options.extraQuotes = 5;
    ASSERT_TRUE(demo::createWorkspace(root, options, &error)) << error.toStdString();
    ini.reload();
    EXPECT_FALSE(ini.contains("General", "Marker"));
    DatabaseConfig cfg;
    cfg.file = root + "/business.db";
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    Table quotes(db, "WebQuotes");
    qint64 n = 0;
    ASSERT_TRUE(quotes.count(&n).isOk());
    EXPECT_EQ(n, 29); // made anew, not added to
    db.close();
}

TEST(DemoWorkspace, aWorkspaceItDidNotMake_isNeverTouched_evenWithForce)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("real");
    ASSERT_TRUE(QDir().mkpath(root + "/global"));
    const QStringList files { root + "/webconsole.ini", root + "/business.db", root + "/global/webmon.ini" };
    for (const QString &path : files) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("real\n") == 5);
    }
    demo::WorkspaceOptions options;
    options.force = true;
    QString error;
    EXPECT_FALSE(demo::createWorkspace(root, options, &error));
    EXPECT_TRUE(error.contains("webconsole-demo did not make")) << error.toStdString();
    // A web monitor file alone is not overwritten either.
    ASSERT_TRUE(QFile::remove(files[0]) && QFile::remove(files[1]));
    EXPECT_FALSE(demo::createWorkspace(root, false, &error));
    EXPECT_TRUE(error.contains("webconsole-demo did not make")) << error.toStdString();
    for (const QString &path : files.mid(2))
        EXPECT_EQ(readFile(path), "real\n") << path.toStdString();
    EXPECT_FALSE(QFile::exists(root + "/.webconsole-demo"));

    // What it made itself it makes anew.
    const QString own = dir.filePath("demo");
    ASSERT_TRUE(demo::createWorkspace(own, false, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(own + "/.webconsole-demo"));
    ASSERT_TRUE(demo::createWorkspace(own, options, &error)) << error.toStdString();
}

TEST(DemoWorkspace, attachments_areRealFilesInTheDataFolder)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("ws");
    QString error;
    ASSERT_TRUE(demo::createWorkspace(root, false, &error)) << error.toStdString();
    const QString uploads = config::IniFile(root + "/webconsole.ini").text("General", "GlobalData") + "/uploads/";
    DatabaseConfig cfg;
    cfg.file = root + "/business.db";
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    const QList<Record> attachments = rowsOf(db, "WebAttachments");
    ASSERT_GT(attachments.size(), 5);
    for (const Record &a : attachments) {
        const QString source = a.text("SourceName");
        SCOPED_TRACE(source.toStdString());
        EXPECT_TRUE(source.startsWith(uploads));
        EXPECT_TRUE(QFileInfo(source).isFile());
        EXPECT_GT(QFileInfo(source).size(), 0);
        EXPECT_EQ(QFileInfo(source).fileName(), a.text("SourceFile"));
    }
    db.close();
}

TEST(DemoWorkspace, failure_leavesNoWorkstationIniBehind)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("ws");
    ASSERT_TRUE(QDir().mkpath(root));
    QFile blocker(root + "/global"); // a file where a folder must go
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    EXPECT_FALSE(demo::createWorkspace(root, true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(demo::workspaceExists(root));
    EXPECT_FALSE(QFile::exists(root + "/business.db"));

    const QString file = dir.filePath("plain-file");
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_FALSE(demo::createWorkspace(file, true, &error));
    EXPECT_TRUE(error.contains("not a folder")) << error.toStdString();
}

} // namespace
