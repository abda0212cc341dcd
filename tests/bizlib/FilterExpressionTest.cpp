#include "bizlib/FilterExpression.h"

#include "bizlib/Database.h"
#include "bizlib/TableDef.h"
#include "support/TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace bizlib;
using testsupport::Engine;

namespace {

// A small table of the shapes the console filters on: texts, whole numbers, flags, dates, decimals.
TableDef makeTable()
{
    TableDef t;
    t.name = QStringLiteral("FilterRows");
    t.prefix = QStringLiteral("FLT");
    t.aliases = { QStringLiteral("FLA") };
    auto add = [&t](const QString &name, FieldDef f) {
        f.name = name;
        t.fieldLookup.insert(name.toLower(), int(t.fields.size()));
        t.fields.append(f);
    };
    add(QStringLiteral("ID"), Type::Long());
    add(QStringLiteral("Status"), Type::CString(21));
    add(QStringLiteral("Manager"), Type::String(3));
    add(QStringLiteral("WebSignupID"), Type::Long());
    add(QStringLiteral("Amount"), Type::Decimal(15, 2));
    add(QStringLiteral("Flag"), Type::Byte());
    add(QStringLiteral("TaskDate"), Type::Date());
    add(QStringLiteral("Notes"), Type::CString(51));
    return t;
}

const TableDef &table()
{
    static const TableDef t = makeTable();
    return t;
}

FieldResolver resolver()
{
    return [](const QString &prefix, const QString &field) -> std::optional<ResolvedField> {
        const int i = table().fieldIndex(field);
        if (!table().hasPrefix(prefix) || i < 0)
            return std::nullopt;
        return ResolvedField { QStringLiteral("t0.") + table().sqlColumn(i), table().fields.at(i) };
    };
}

FilterResult translate(const QString &expr, const FilterBindings &bindings = {}, bool postgres = false)
{
    DatabaseConfig config;
    if (postgres)
        config.driver = QStringLiteral("QPSQL");
    const Database db(config);
    return translateFilter(expr, resolver(), bindings, db);
}

const FilterBindings kBindings {
    { QStringLiteral("brevixidvalue"), 0 },
    { QStringLiteral("loc:signupstatus"), QStringLiteral("Pending") },
    { QStringLiteral("glo:phrasetype"), QStringLiteral("Active") },
};

// Runs each expression against rows of every shape and checks which ids come back. The table is made
// here from the hand-made description, on an empty database of each engine (PostgreSQL when
// WEBCONSOLE_TEST_PG names a server, in a schema of its own).
class FilterRows : public testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        DatabaseConfig config;
        if (GetParam() == Engine::SQLite) {
            config.file = m_dir.filePath(QStringLiteral("filter.db"));
            config.create = true;
        } else {
            if (!testsupport::TestDatabase::postgresConfig(&config)) {
                if (testsupport::TestDatabase::postgresRequired())
                    FAIL() << "WEBCONSOLE_TEST_PG is not set";
                GTEST_SKIP() << "PostgreSQL not available: WEBCONSOLE_TEST_PG is not set";
            }
            Database admin(config);
            const Status adminOpened = admin.open();
            ASSERT_TRUE(adminOpened) << adminOpened.message().toStdString();
            m_schema = QStringLiteral("flt_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
            ASSERT_TRUE(ddl(admin, QStringLiteral("CREATE SCHEMA \"%1\"").arg(m_schema)));
            m_admin = config;
            config.schema = m_schema;
        }
        m_db = std::make_unique<Database>(config);
        const Status opened = m_db->open();
        ASSERT_TRUE(opened) << opened.message().toStdString();
        QStringList cols;
        for (int i = 0; i < table().fields.size(); ++i)
            cols << table().sqlColumn(i) + u' ' + db().columnType(table().fields[i]);
        ASSERT_TRUE(ddl(db(), QStringLiteral("CREATE TABLE %1 (%2)").arg(table().sqlTable(), cols.join(u','))));
        // id, status, manager, signup, amount, flag, date, notes
        insert({ 1, "Processing", "ABC", 0, "1.50", 1, 79999, "Notes" });
        insert({ 2, "Pending   ", "ABC", 12, "5.00", 0, 80000, "" });
        insert({ 3, "Active", "XYZ", 3, "-2.25", 1, 80001, "O'Neill" });
        insert({ 4, "processing", "", 0, "0", 0, 0, "x' OR '1'='1" });
        insert({ 5, "K\u00e4se \u00fcn\u00efcode", "ZZ", 7, "100", 1, 90000, "back\\slash" });
    }

    void TearDown() override
    {
        if (m_db)
            m_db->close();
        m_db.reset();
        if (!m_schema.isEmpty()) {
            Database admin(m_admin);
            if (admin.open())
                ddl(admin, QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(m_schema));
        }
    }

    Database &db() { return *m_db; }

    // Statements without parameters run unprepared: PostgreSQL cannot prepare DDL.
    static testing::AssertionResult ddl(Database &database, const QString &sql)
    {
        QSqlQuery q(database.connection());
        if (q.exec(sql))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
            << sql.toStdString() << ": " << Database::errorText(q.lastError()).toStdString();
    }

    void insert(const QVariantList &values)
    {
        QVariantList params;
        for (int i = 0; i < values.size(); ++i)
            params << db().toSql(table().fields[i], values[i]);
        const QString marks = QStringList(values.size(), QStringLiteral("?")).join(u',');
        ASSERT_TRUE(db().exec(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table().sqlTable(), marks), params));
    }

    // The ids the filter selects, or {-1} with a test failure when it does not translate or run.
    QList<int> ids(const QString &expr, const FilterBindings &bindings = kBindings)
    {
        const FilterResult r = translateFilter(expr, resolver(), bindings, db());
        EXPECT_TRUE(r.ok) << expr.toStdString() << ": " << r.error.toStdString();
        if (!r.ok)
            return { -1 };
        EXPECT_EQ(r.condition.sql.count(u'?'), r.condition.params.size()) << r.condition.sql.toStdString();
        const QString where = r.condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + r.condition.sql;
        QSqlQuery q(db().connection());
        const Status st = db().exec(
            QStringLiteral("SELECT t0.\"id\" FROM %1 t0%2 ORDER BY t0.\"id\"").arg(table().sqlTable(), where),
            r.condition.params, &q);
        EXPECT_TRUE(st.isOk()) << expr.toStdString() << " -> " << r.condition.sql.toStdString() << ": "
                               << st.message().toStdString();
        QList<int> out;
        while (st && q.next())
            out << q.value(0).toInt();
        return out;
    }

    int rowCount()
    {
        QSqlQuery q(db().connection());
        if (!db().exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table().sqlTable()), {}, &q) || !q.next())
            return -1;
        return q.value(0).toInt();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    DatabaseConfig m_admin;
    QString m_schema;
};

using Ids = QList<int>;

} // namespace

TEST_P(FilterRows, programExpressions_selectTheRowsTheyDescribe)
{
    EXPECT_EQ(ids(QStringLiteral("(FLT:Status <> 'Processing')")), Ids({ 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Manager = 'ABC'")), Ids({ 1, 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:WebSignupID > 0")), Ids({ 2, 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Flag=1 AND (FLT:Notes = 'Notes' OR FLT:Notes = '')")), Ids({ 1 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Flag=0 AND (FLT:Notes = 'Notes' OR FLT:Notes = '')")), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("(FLT:ID AND FLT:Status = 'Active')")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("(FLT:WebSignupID)")), Ids({ 2, 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:TaskDate < 80000")), Ids({ 1, 4 }));
    EXPECT_EQ(ids(QStringLiteral("UPPER(FLT:Status) <> 'PROCESSING'")), Ids({ 2, 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLA:Flag = 1")), Ids({ 1, 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Notes")), Ids({ 1, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("")), Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("flt:flag = 1 and not flt:id = 1")), Ids({ 3, 5 }));
}

TEST_P(FilterRows, boundNames_arePassedAsValuesAndTestedForTruth)
{
    EXPECT_EQ(ids(QStringLiteral("FLT:WebSignupID <> BrevixIDValue")), Ids({ 2, 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = LOC:SignupStatus")), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = GLO:PhraseType")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("BrevixIDValue")), Ids({}));
    EXPECT_EQ(ids(QStringLiteral("BrevixIDValue OR FLT:ID = 3")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("LOC:SignupStatus AND FLT:ID < 3")), Ids({ 1, 2 }));
    EXPECT_EQ(ids(QStringLiteral("BrevixIDValue = 0 AND FLT:ID = 1")), Ids({ 1 }));
    // A bound name wins over a field of the same name.
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = 'zzz'"), { { QStringLiteral("flt:status"), QStringLiteral("zzz") } }),
        Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(
        ids(QStringLiteral("FLT:Notes = LOC:Nothing"), { { QStringLiteral("loc:nothing"), QVariant() } }), Ids({ 2 }));
    EXPECT_EQ(
        ids(QStringLiteral("FLT:Notes = LOC:Nothing"), { { QStringLiteral("loc:nothing"), QString() } }), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:TaskDate = D"), { { QStringLiteral("d"), QDate(2020, 1, 9) } }), Ids({ 2 }));
    EXPECT_EQ(
        ids(QStringLiteral("FLT:Amount < LIMIT"), { { QStringLiteral("limit"), QVariant::fromValue(Decimal(2, 0)) } }),
        Ids({ 1, 3, 4 }));
}

TEST_P(FilterRows, textsIgnoreTrailingBlanksAndCompareCaseAsWritten)
{
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = 'Pending'")), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = 'Pending      '")), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = 'processing'")), Ids({ 4 }));
    EXPECT_EQ(ids(QStringLiteral("UPPER(FLT:Status) = 'PROCESSING'")), Ids({ 1, 4 }));
    EXPECT_EQ(ids(QStringLiteral("LOWER(FLT:Status) = lower('PROCESSING')")), Ids({ 1, 4 }));
    EXPECT_EQ(ids(QStringLiteral("CLIP(FLT:Status) = 'Pending'")), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Manager = ''")), Ids({ 4 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = \"Active\"")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Status = 'K\u00e4se \u00fcn\u00efcode'")), Ids({ 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Status < 'B'")), Ids({ 3 }));
}

TEST_P(FilterRows, hostileLiteralsAndBindings_stayValues)
{
    EXPECT_EQ(ids(QStringLiteral("FLT:Notes = 'O''Neill'")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Notes = \"O'Neill\"")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Notes = 'x'' OR ''1''=''1'")), Ids({ 4 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Notes = 'back\\slash'")), Ids({ 5 }));

    const QStringList hostile { QStringLiteral("x' OR '1'='1"), QStringLiteral("'; DROP TABLE filterrows; --"),
        QStringLiteral("back\\slash"), QStringLiteral("\\'); DROP TABLE filterrows; --"),
        QStringLiteral("K\u00e4se \u00fcn\u00efcode"), QStringLiteral("?") };
    const QList<Ids> expected { { 4 }, {}, { 5 }, {}, {}, {} };
    for (int i = 0; i < hostile.size(); ++i) {
        const FilterBindings b { { QStringLiteral("loc:value"), hostile[i] } };
        const FilterResult r = translateFilter(QStringLiteral("FLT:Notes = LOC:Value"), resolver(), b, db());
        ASSERT_TRUE(r.ok);
        EXPECT_FALSE(r.condition.sql.contains(QStringLiteral("DROP"))) << r.condition.sql.toStdString();
        EXPECT_EQ(r.condition.params, QVariantList({ hostile[i] }));
        EXPECT_EQ(ids(QStringLiteral("FLT:Notes = LOC:Value"), b), expected[i]) << hostile[i].toStdString();
    }
    EXPECT_EQ(
        ids(QStringLiteral("FLT:Status = LOC:Value"), { { QStringLiteral("loc:value"), hostile[4] } }), Ids({ 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Notes = '''; DROP TABLE filterrows; --'")), Ids({}));
    EXPECT_EQ(rowCount(), 5);
}

TEST_P(FilterRows, decimals_compareExactlyAtTheFieldsPlaces)
{
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount = 1.5")), Ids({ 1 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount = 5")), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount >= 5")), Ids({ 2, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount > 1.499")), Ids({ 1, 2, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount < -2")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount > -2.251")), Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount = 1.505")), Ids({}));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount <> 1.505")), Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount = '100.00'")), Ids({ 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount")), Ids({ 1, 2, 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount < FLT:ID")), Ids({ 3, 4 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount < 99999999999999999.9")), Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:Amount > 99999999999999999.9")), Ids({}));
    // Whole-number columns against fractions.
    EXPECT_EQ(ids(QStringLiteral("FLT:ID < 2.5")), Ids({ 1, 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID >= 2.5")), Ids({ 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID > -0.5")), Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID = 2.0")), Ids({ 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID = 2.5")), Ids({}));
}

TEST_P(FilterRows, operatorsPrecedenceAndConstants)
{
    EXPECT_EQ(ids(QStringLiteral("FLT:Flag = 0 OR FLT:ID = 3 AND FLT:ID = 5")), Ids({ 2, 4 }));
    EXPECT_EQ(ids(QStringLiteral("(FLT:Flag = 0 OR FLT:ID = 3) AND FLT:ID > 2")), Ids({ 3, 4 }));
    EXPECT_EQ(ids(QStringLiteral("NOT FLT:ID = 1 AND FLT:Flag = 1")), Ids({ 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("~(FLT:ID = 1 OR FLT:ID = 2)")), Ids({ 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("NOT NOT FLT:Flag")), Ids({ 1, 3, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID ~= 1")), Ids({ 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID ~< 4")), Ids({ 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID ~> 2")), Ids({ 1, 2 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID => 4")), Ids({ 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID =< 1")), Ids({ 1 }));
    EXPECT_EQ(ids(QStringLiteral("2 < FLT:ID")), Ids({ 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("-FLT:ID < -3")), Ids({ 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID = '3'")), Ids({ 3 }));
    EXPECT_EQ(ids(QStringLiteral("FLT:ID = 'abc'")), Ids({}));
    EXPECT_EQ(ids(QStringLiteral("(FLT:ID = 1) = (FLT:Flag = 1)")), Ids({ 1, 2, 4 }));
    EXPECT_EQ(ids(QStringLiteral("1 = 1")), Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("'a' = 'a   ' AND 'b' > 'a'")), Ids({ 1, 2, 3, 4, 5 }));
    EXPECT_EQ(ids(QStringLiteral("'' OR 0")), Ids({}));
}

INSTANTIATE_TEST_SUITE_P(Engines, FilterRows, testsupport::allEngines(), testsupport::engineName);

TEST(FilterTranslation, constantsTakeTheColumnsType)
{
    // Integer columns get whole numbers, text columns texts, decimals the engine's own form.
    FilterResult r = translate(QStringLiteral("FLT:ID = '3'"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.condition.sql, QStringLiteral("(t0.\"id\" = ?)"));
    ASSERT_EQ(r.condition.params.size(), 1);
    EXPECT_EQ(r.condition.params[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(r.condition.params[0].toLongLong(), 3);

    r = translate(QStringLiteral("FLT:Flag = 1"), {}, true);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.condition.params, QVariantList({ QVariant::fromValue(qint64(1)) }));

    r = translate(QStringLiteral("FLT:Notes = 1.50"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.condition.sql, QStringLiteral("(RTRIM(t0.\"notes\") = ?)"));
    EXPECT_EQ(r.condition.params, QVariantList({ QStringLiteral("1.5") }));

    r = translate(QStringLiteral("FLT:Amount = 5.25"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.condition.params, QVariantList({ QVariant(5.25) })); // SQLite keeps the number itself
    r = translate(QStringLiteral("FLT:Amount = 5"), {}, true);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.condition.params, QVariantList({ QStringLiteral("5.00") }));

    r = translate(QStringLiteral("FLT:Status <> 'Processing  '"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.condition.sql, QStringLiteral("(RTRIM(t0.\"status\") <> ?)"));
    EXPECT_EQ(r.condition.params, QVariantList({ QStringLiteral("Processing") }));

    r = translate(QStringLiteral("(FLT:ID AND UPPER(FLT:Notes))"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.condition.sql, QStringLiteral("((t0.\"id\" <> 0) AND (UPPER(RTRIM(t0.\"notes\")) <> ''))"));
    EXPECT_TRUE(r.condition.params.isEmpty());

    r = translate(QStringLiteral("  \t "));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.condition.isEmpty());
}

TEST(FilterTranslation, badExpressions_reportWhatAndWhere)
{
    struct Case
    {
        const char *expr;
        const char *needle;
        int position;
    };
    const Case cases[] = {
        { "(FLT:ID = 1", "unbalanced", 1 },
        { "((FLT:ID = 1)", "unbalanced", 1 },
        { "FLT:ID = 1)", "unbalanced", 11 },
        { "UPPER(FLT:Notes = 'a'", "unbalanced", 6 },
        { "FLT:Notes = 'abc", "unterminated", 13 },
        { "FLT:Notes = \"abc", "unterminated", 13 },
        { "FLT:Nope = 1", "FLT:Nope", 1 },
        { "XYZ:ID = 1", "XYZ:ID", 1 },
        { "FLT:ID = 1 AND Manager", "Manager", 16 },
        { "FLT:ID = 1 FLT:ID", "FLT:ID", 12 },
        { "FLT:ID = 1 = 2", "'='", 12 },
        { "FLT:ID =", "missing operand", 9 },
        { "FLT:ID = 1 AND", "missing operand", 15 },
        { "AND FLT:ID = 1", "missing operand", 1 },
        { "()", "missing operand", 2 },
        { "FLT:ID = ()", "missing operand", 11 },
        { "UPPER()", "missing operand", 7 },
        { "FLT:ID = 1 & FLT:Flag = 1", "'&'", 12 },
        { "FLT:ID = 1 | FLT:Flag = 1", "'|'", 12 },
        { "FLT:ID # 1", "'#'", 8 },
        { "FOO(FLT:ID)", "FOO", 1 },
        { "FLT:ID = 12abc", "malformed number", 10 },
        { "FLT:ID = 99999999999999999999", "too large", 10 },
        { "FLT:Status = FLT:ID", "FLT:Status", 12 },
        { "-FLT:Status", "needs a number", 1 },
    };
    for (const Case &c : cases) {
        const FilterResult r = translate(QString::fromUtf8(c.expr), kBindings);
        EXPECT_FALSE(r.ok) << c.expr;
        EXPECT_TRUE(r.condition.isEmpty()) << c.expr;
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("Filter expression: "))) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.needle))) << c.expr << " -> " << r.error.toStdString();
        EXPECT_TRUE(r.error.endsWith(QStringLiteral("at position %1").arg(c.position)))
            << c.expr << " -> " << r.error.toStdString();
    }
}

TEST(FilterTranslation, hostileShapes_failCleanly)
{
    const QString deep = QString(5000, u'(') + QStringLiteral("FLT:ID") + QString(5000, u')');
    FilterResult r = translate(deep);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("nested too deeply"))) << r.error.toStdString();

    r = translate(QStringLiteral("NOT ").repeated(5000) + QStringLiteral("FLT:ID"));
    EXPECT_FALSE(r.ok);

    // 150 levels are fine.
    r = translate(QString(150, u'(') + QStringLiteral("FLT:ID") + QString(150, u')'));
    EXPECT_TRUE(r.ok) << r.error.toStdString();

    const FieldResolver throwing = [](const QString &, const QString &) -> std::optional<ResolvedField> {
        throw std::runtime_error("resolver broke");
    };
    const Database db { DatabaseConfig {} };
    r = translateFilter(QStringLiteral("FLT:ID = 1"), throwing, {}, db);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("resolver broke"))) << r.error.toStdString();

    r = translateFilter(QStringLiteral("FLT:ID = 1"), FieldResolver(), {}, db);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("FLT:ID")));
}

TEST(FilterTranslation, programTexts_translateWithTheirOwnNames)
{
    // The names of the console's lists, resolved the way a joined list does (each prefix its own alias).
    const QHash<QString, FieldDef> fields {
        { QStringLiteral("WQTE:Status"), Type::CString(21) },
        { QStringLiteral("WQTE:ClientID"), Type::Long() },
        { QStringLiteral("CLI:Manager"), Type::CString(4) },
        { QStringLiteral("WSUP:Source"), Type::CString(21) },
        { QStringLiteral("WSUP:Status"), Type::CString(21) },
        { QStringLiteral("WORD:Status"), Type::CString(21) },
        { QStringLiteral("WORD:WebSignupID"), Type::Long() },
        { QStringLiteral("WORD:OrderID"), Type::Long() },
        { QStringLiteral("WTSK:TaskDate"), Type::Date() },
        { QStringLiteral("PHR:Other"), Type::Byte() },
        { QStringLiteral("PHR:Estimating"), Type::Byte() },
        { QStringLiteral("PHR:PhraseField"), Type::CString(51) },
        { QStringLiteral("PHR:PhraseTitle"), Type::CString(81) },
        { QStringLiteral("CLIA:WebEnable"), Type::Byte() },
        { QStringLiteral("CON:ClientID"), Type::Long() },
        { QStringLiteral("CON:Status"), Type::CString(21) },
    };
    const FieldResolver byName
        = [&fields](const QString &prefix, const QString &field) -> std::optional<ResolvedField> {
        for (auto it = fields.begin(); it != fields.end(); ++it)
            if (it.key().compare(prefix + u':' + field, Qt::CaseInsensitive) == 0)
                return ResolvedField { prefix.toLower() + QStringLiteral(".\"") + field.toLower() + u'"', it.value() };
        return std::nullopt;
    };
    const Database db { DatabaseConfig {} };
    const QStringList texts { QStringLiteral("(WQTE:Status <> 'Processing')"), QStringLiteral("CLI:Manager = 'ABC'"),
        QStringLiteral("(WSUP:Source <> 'B2C')"), QStringLiteral("(WORD:Status <> 'Processing')"),
        QStringLiteral("WORD:WebSignupID > 0"), QStringLiteral("(WORD:OrderID)"),
        QStringLiteral("WTSK:TaskDate < 80000"), QStringLiteral("PHR:Other = 1"), QStringLiteral("CLIA:WebEnable = 1"),
        QStringLiteral("CLIA:WebEnable = 0"), QStringLiteral("(CON:ClientID AND CON:Status = 'Active')"),
        QStringLiteral("PHR:PhraseTitle"),
        QStringLiteral("PHR:Estimating=1 AND (PHR:PhraseField = 'Notes' OR PHR:PhraseField = '')"),
        QStringLiteral("WQTE:ClientID <> BrevixIDValue"), QStringLiteral("WSUP:Status = LOC:SignupStatus"),
        QStringLiteral("UPPER(WQTE:Status) <> 'PROCESSING'") };
    for (const QString &text : texts) {
        const FilterResult r = translateFilter(text, byName, kBindings, db);
        EXPECT_TRUE(r.ok) << text.toStdString() << ": " << r.error.toStdString();
        EXPECT_EQ(r.condition.sql.count(u'?'), r.condition.params.size()) << text.toStdString();
    }
    FilterResult r = translateFilter(QStringLiteral("CLI:Manager = 'ABC'"), byName, kBindings, db);
    EXPECT_EQ(r.condition.sql, QStringLiteral("(RTRIM(cli.\"manager\") = ?)"));
    r = translateFilter(QStringLiteral("(CON:ClientID AND CON:Status = 'Active')"), byName, kBindings, db);
    EXPECT_EQ(r.condition.sql, QStringLiteral("((con.\"clientid\" <> 0) AND (RTRIM(con.\"status\") = ?))"));
    EXPECT_EQ(r.condition.params, QVariantList({ QStringLiteral("Active") }));
    r = translateFilter(QStringLiteral("WQTE:ClientID <> BrevixIDValue"), byName, kBindings, db);
    EXPECT_EQ(r.condition.sql, QStringLiteral("(wqte.\"clientid\" <> ?)"));
    EXPECT_EQ(r.condition.params, QVariantList({ QVariant::fromValue(qint64(0)) }));
}
