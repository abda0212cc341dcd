#include "orders/RunRows.h"

#include "bizlib/Table.h"
#include "support/TestDatabase.h"

using bizlib::Record;
using orders::RunRows;

namespace {

class Rows : public testsupport::DataTest
{
protected:
    qint32 addClient(const QString &code)
    {
        bizlib::Table t(db(), QStringLiteral("Clients"));
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        r.setText("Code", code);
        EXPECT_TRUE(t.insert(r).isOk());
        return r.toLong("ClientID");
    }
    void renameElsewhere(qint32 id, const QString &code)
    {
        bizlib::Database other(db().config()); // another workstation's connection
        ASSERT_TRUE(
            other.exec(QStringLiteral("UPDATE \"clients\" SET \"code\" = ? WHERE \"clientid\" = ?"), { code, id })
                .isOk());
    }
};

// What one run reads stays as it read it; a row it forgets, and only that, is read anew and then
// shows what another workstation wrote meanwhile. A row that was not there stays not there for
// the run, and a read of no row is not asked of the database at all.
TEST_P(Rows, aRunKeepsWhatItReadUntilItForgetsTheRow)
{
    const qint32 first = addClient(QStringLiteral("FIRST"));
    const qint32 second = addClient(QStringLiteral("SECOND"));
    RunRows rows(db());
    Record r;
    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), first, &r).isOk());
    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), second, &r).isOk());
    EXPECT_TRUE(rows.read(QStringLiteral("Clients"), 999999, &r).isNotFound());
    EXPECT_TRUE(rows.read(QStringLiteral("Clients"), 0, &r).isNotFound());
    EXPECT_TRUE(r.isValid()) << "an empty record of the table, not an invalid one";
    renameElsewhere(first, QStringLiteral("FIRST2"));
    renameElsewhere(second, QStringLiteral("SECOND2"));

    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), first, &r).isOk());
    EXPECT_EQ(r.text("Code"), QStringLiteral("FIRST"));
    rows.forget(QStringLiteral("Clients"), first);
    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), first, &r).isOk());
    EXPECT_EQ(r.text("Code"), QStringLiteral("FIRST2"));
    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), second, &r).isOk());
    EXPECT_EQ(r.text("Code"), QStringLiteral("SECOND")) << "only the forgotten row is read again";
    rows.forgetTable(QStringLiteral("Clients"));
    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), second, &r).isOk());
    EXPECT_EQ(r.text("Code"), QStringLiteral("SECOND2"));

    // A row the run wrote itself is what it reads back.
    r.setText("Code", QStringLiteral("OURS"));
    rows.keep(QStringLiteral("Clients"), r);
    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), second, &r).isOk());
    EXPECT_EQ(r.text("Code"), QStringLiteral("OURS"));
}

// A failed read keeps nothing: the next read asks the database again.
TEST_P(Rows, aFailedReadIsNotKept)
{
    const qint32 id = addClient(QStringLiteral("FIRST"));
    RunRows rows(db());
    Record r;
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE \"clients\" RENAME TO \"clients_away\"")).isOk());
    EXPECT_TRUE(rows.read(QStringLiteral("Clients"), id, &r).isError());
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE \"clients_away\" RENAME TO \"clients\"")).isOk());
    ASSERT_TRUE(rows.read(QStringLiteral("Clients"), id, &r).isOk());
    EXPECT_EQ(r.text("Code"), QStringLiteral("FIRST"));
}

INSTANTIATE_TEST_SUITE_P(Engines, Rows, testsupport::allEngines(), testsupport::engineName);

} // namespace
