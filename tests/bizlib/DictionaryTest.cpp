#include "bizlib/Dictionary.h"

#include "bizlib/Table.h"
#include "support/TestDatabase.h"

#include <QSet>

using namespace bizlib;

namespace {

const Dictionary &dict()
{
    return Dictionary::instance();
}

// "CSTRING(501)" for "WQTE:Title"; "?" when the name does not resolve.
std::string typeOf(const char *qualified)
{
    const TableDef *t = nullptr;
    int f = -1;
    if (!dict().resolve(QString::fromLatin1(qualified), &t, &f))
        return "?";
    return t->fields.at(f).typeName().toStdString();
}

TEST(Dictionary, everyTableHasAUniquePrimaryKeyAndOwnsItsPrefixes)
{
    ASSERT_NO_THROW(dict());
    QSet<QString> prefixes;
    for (const auto &t : dict().tables()) {
        SCOPED_TRACE(t->name.toStdString());
        ASSERT_GE(t->primaryKey, 0);
        EXPECT_TRUE(t->primary().unique);
        // A prefix used twice would make one table unreachable by its field names.
        for (const QString &p : QStringList(t->prefix) + t->aliases) {
            EXPECT_FALSE(prefixes.contains(p.toUpper())) << "prefix used twice: " << p.toStdString();
            prefixes.insert(p.toUpper());
            EXPECT_EQ(dict().tableByPrefix(p), t.get());
        }
        if (t->autoNumberField >= 0) {
            EXPECT_EQ(t->fields.at(t->autoNumberField).type, FieldType::Long);
        }
    }
}

TEST(Dictionary, webTableFieldsHaveTheWidthsTheWebMonitorWrites)
{
    EXPECT_EQ(typeOf("WQTE:Title"), "CSTRING(501)");
    EXPECT_EQ(typeOf("WQTE:Spec"), "CSTRING(4001)");
    EXPECT_EQ(typeOf("WQTE:RunOn"), "DECIMAL(11,0)");
    EXPECT_EQ(typeOf("WQTE:Pages"), "USHORT");
    EXPECT_EQ(typeOf("WQTE:Address"), "CSTRING(281)");
    EXPECT_EQ(typeOf("WORD:Revision"), "LONG");
    EXPECT_EQ(typeOf("WORD:Quantity"), "CSTRING(81)");
    EXPECT_EQ(typeOf("WORD:TaxRate"), "DECIMAL(9,4)");
    EXPECT_EQ(typeOf("WORD:DAddress"), "CSTRING(281)");
    EXPECT_EQ(typeOf("WORD:DCounty"), "CSTRING(41)");
    EXPECT_EQ(typeOf("WORDI:Description"), "CSTRING(500)");
    EXPECT_EQ(typeOf("WORDI:Quantity"), "DECIMAL(15,6)");
    EXPECT_EQ(typeOf("WSUP:Response"), "CSTRING(513)");
    EXPECT_EQ(typeOf("WSUP:WebPassword"), "CSTRING(21)");
    EXPECT_EQ(typeOf("WATT:LocalPath"), "CSTRING(257)");
    EXPECT_EQ(typeOf("WNTE:Notes"), "CSTRING(2049)");
    EXPECT_EQ(typeOf("WTSK:Comments"), "CSTRING(4097)");
    EXPECT_EQ(typeOf("WTSK:Priority"), "BYTE");
    EXPECT_EQ(typeOf("MTL:Reorder"), "DECIMAL(11,2)");
}

TEST(Dictionary, keysFollowTheListOrders)
{
    const TableDef &tasks = dict().require(QStringLiteral("WebTask"));
    const KeyDef *rev = tasks.key(QStringLiteral("WTSK:REVDATEKEY"));
    ASSERT_NE(rev, nullptr);
    EXPECT_EQ(rev->fields.first(), tasks.fieldIndex(QStringLiteral("TaskDate")));
    EXPECT_TRUE(rev->descending.first());
    const KeyDef *purge = tasks.key(QStringLiteral("STATUSPRIORITYDATEKEY"));
    ASSERT_NE(purge, nullptr);
    EXPECT_EQ(purge->fields.mid(0, 3),
        (QList<int> { tasks.fieldIndex(QStringLiteral("Status")), tasks.fieldIndex(QStringLiteral("Priority")),
            tasks.fieldIndex(QStringLiteral("TaskDate")) }));
    EXPECT_FALSE(purge->descending.contains(true));

    // Key names are matched in any letter case, as the callers write them both ways.
    const TableDef &items = dict().require(QStringLiteral("WebOrderItems"));
    EXPECT_EQ(items.key(QStringLiteral("WORDI:OrderIDSequenceKey")), items.key(QStringLiteral("ORDERIDSEQUENCEKEY")));
    EXPECT_EQ(items.primary().name, QStringLiteral("ORDERITEMIDKEY"));
    const TableDef &signups = dict().require(QStringLiteral("WebSignup"));
    EXPECT_EQ(
        signups.key(QStringLiteral("STATUSDATEKEY"))->fields.first(), signups.fieldIndex(QStringLiteral("Status")));
}

TEST(Dictionary, aliasPrefixesNameTheSameTableAndFields)
{
    const QList<QPair<QString, QString>> pairs { { "CLI", "CLIA" }, { "CON", "CONA" }, { "OFF", "OFFA" },
        { "USR", "USRA" }, { "TXT", "TXTA" }, { "QTE", "QTEA" }, { "ORD", "ORDA" } };
    for (const auto &[main, alias] : pairs) {
        SCOPED_TRACE(alias.toStdString());
        const TableDef *t = dict().tableByPrefix(main);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(dict().tableByPrefix(alias.toLower()), t);
    }
    const TableDef *t1 = nullptr;
    const TableDef *t2 = nullptr;
    int f1 = -1;
    int f2 = -1;
    ASSERT_TRUE(dict().resolve(QStringLiteral("CLIA:NameCaps"), &t1, &f1));
    ASSERT_TRUE(dict().resolve(QStringLiteral("cli:namecaps"), &t2, &f2));
    EXPECT_EQ(t1, t2);
    EXPECT_EQ(f1, f2);
    EXPECT_NE(dict().require(QStringLiteral("Contacts")).key(QStringLiteral("CONA:ClientIDNameKey")), nullptr);
}

TEST(Dictionary, namesUsedInFiltersAndLookupsResolve)
{
    for (const char *name : { "WQTE:Status", "WQTE:TemplateID", "WORD:WebSignupID", "WORD:Platform",
             "WORD:DCountryCode", "WSUP:Source", "WSUP:Platform", "WSUP:DeliveryContactID", "WTSK:Platform",
             "WTSK:TaskDate", "CLI:Manager", "CLIA:WebEnable", "CLIA:OnStop", "CON:Status", "CON:ClientID", "PHR:Other",
             "PHR:Sundry", "PHR:PhraseTitle", "PHR:PhraseField", "DOM:Description", "CTY:CountryName", "TWN:Area",
             "DOML:DomainID", "CMPY:Currency", "DEF:WebHistory", "DEF:GatewayMode", "MTL:Available", "MTL:StockType",
             "SPTXT:Other", "SYS:LastQuoteNo", "BRV:StartupWebConsole", "BRV:EmailCustom", "USR:PasswordSalt" }) {
        EXPECT_NE(typeOf(name), "?") << name;
    }
    // Workstation-only switches must not be company defaults, or reconciling would overwrite them.
    EXPECT_EQ(typeOf("DEF:EmailCustom"), "?");
    EXPECT_EQ(typeOf("DEF:SMSCustom"), "?");
}

// Web records become business records by copying the fields whose names match; a field whose
// type or width differs on the two sides would be cut or converted on the way.
TEST(Dictionary, fieldsCopiedByNameFromWebRecordsKeepTheirType)
{
    const QList<QPair<QString, QString>> copies { { "WebQuotes", "Quotes" }, { "WebOrders", "Orders" },
        { "WebOrderItems", "OrderItems" }, { "WebAttachments", "Attachments" }, { "WebNotes", "Notes" } };
    for (const auto &[from, to] : copies) {
        const TableDef &src = dict().require(from);
        const TableDef &dst = dict().require(to);
        int shared = 0;
        for (const FieldDef &f : src.fields) {
            const FieldDef *g = dst.field(f.name);
            if (!g)
                continue;
            ++shared;
            EXPECT_EQ(f.typeName(), g->typeName())
                << from.toStdString() << " -> " << to.toStdString() << ": " << f.name.toStdString();
        }
        EXPECT_GT(shared, 5) << to.toStdString();
    }
}

TEST(Dictionary, relationsLinkFieldsOfTheSameKind)
{
    for (const auto &t : dict().tables())
        for (const RelationDef &r : t->relations) {
            const TableDef &child = dict().require(r.childTable);
            SCOPED_TRACE(t->name.toStdString() + " -> " + child.name.toStdString());
            for (const auto &[p, c] : r.links) {
                ASSERT_NE(t->field(p), nullptr);
                ASSERT_NE(child.field(c), nullptr);
                EXPECT_EQ(t->field(p)->type, child.field(c)->type);
                // Clearing part of the child's identity would leave rows that cannot be addressed.
                if (r.rule == RelationRule::Clear) {
                    EXPECT_FALSE(child.primary().fields.contains(child.fieldIndex(c)));
                }
            }
        }
}

class DictionarySchema : public testsupport::DataTest
{
protected:
    Record insert(const QString &table, const QList<QPair<QString, qint64>> &values)
    {
        Table t(db(), table);
        Record r;
        EXPECT_TRUE(t.prime(r).isOk()) << table.toStdString();
        for (const auto &[field, v] : values)
            r.setLong(field, v);
        const Status st = t.insert(r);
        EXPECT_TRUE(st.isOk()) << table.toStdString() << ": " << st.message().toStdString();
        return r;
    }
    qint64 count(const QString &table, const QString &where)
    {
        Table t(db(), table);
        qint64 n = -1;
        EXPECT_TRUE(t.count(&n, where).isOk());
        return n;
    }
};

TEST_P(DictionarySchema, everyTableIsCreated)
{
    QStringList have;
    ASSERT_TRUE(db().tableNames(&have).isOk());
    for (const auto &t : dict().tables())
        EXPECT_TRUE(have.contains(t->name, Qt::CaseInsensitive)) << t->name.toStdString();
}

TEST_P(DictionarySchema, removingAWebOrderTakesItsItemsFilesNotesAndTabTexts)
{
    const Record order = insert(QStringLiteral("WebOrders"), {});
    const Record other = insert(QStringLiteral("WebOrders"), {});
    const qint64 id = order.toLong("OrderID");
    const Record item = insert(QStringLiteral("WebOrderItems"), { { "OrderID", id } });
    insert(QStringLiteral("WebAttachments"), { { "OrderID", id }, { "OrderItemID", item.toLong("OrderItemID") } });
    insert(QStringLiteral("WebAttachments"), { { "OrderID", other.toLong("OrderID") } });
    insert(QStringLiteral("WebNotes"), { { "OrderID", id } });
    insert(QStringLiteral("TabTexts"), { { "WebOrderID", id }, { "TabID", 1 } });

    Table orders(db(), QStringLiteral("WebOrders"));
    ASSERT_TRUE(orders.removeWithRelated(order).isOk());
    EXPECT_EQ(count(QStringLiteral("WebOrderItems"), {}), 0);
    EXPECT_EQ(count(QStringLiteral("WebAttachments"), {}), 1); // the other order's file stays
    EXPECT_EQ(count(QStringLiteral("WebNotes"), {}), 0);
    EXPECT_EQ(count(QStringLiteral("TabTexts"), {}), 0);
}

TEST_P(DictionarySchema, removingAnOrderItemKeepsItsFilesOnTheOrder)
{
    const Record item = insert(QStringLiteral("OrderItems"), { { "OrderID", 7 } });
    const qint64 itemId = item.toLong("OrderItemID");
    insert(QStringLiteral("Attachments"), { { "OrderID", 7 }, { "OrderItemID", itemId } });

    Table items(db(), QStringLiteral("OrderItems"));
    ASSERT_TRUE(items.removeWithRelated(item).isOk());
    EXPECT_EQ(count(QStringLiteral("Attachments"), QStringLiteral("\"orderid\" = 7 AND \"orderitemid\" = 0")), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, DictionarySchema, testsupport::allEngines(), testsupport::engineName);

} // namespace
