#include "SignupFixture.h"

#include "bizlib/ClientLibrary.h"
#include "signups/ClientParties.h"
#include "signups/RunWrites.h"
#include "signups/SignupParties.h"

#include <QThread>
#include <atomic>
#include <thread>

namespace {

class Rules : public signuptest::SignupTest
{ };

TEST_P(Rules, officeCodes_takeTheFirstFreeNumberAfterTheStem)
{
    struct Case
    {
        const char *clientCode;
        QStringList taken;
        int from;
        const char *expected;
    };
    const Case cases[] = { { "AB", {}, 1, "AB-001" }, { "ABCDEFGH", {}, 1, "ABCDEF-001" }, { "AB", {}, 2, "AB-002" },
        { "AB", { "AB-002", "AB-003" }, 2, "AB-004" } };
    signups::RunWrites writes(db(), nullptr);
    signups::ClientParties parties(writes);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.clientCode);
        const qint32 id = add("Clients", { { "Code", QString::fromLatin1(c.clientCode) + QString::number(c.from) + QString::number(c.taken.size()) } })
                              .toLong("ClientID");
        for (const QString &office : c.taken)
            add("Offices", { { "ClientID", id }, { "Office", office } });
        QString code;
        ASSERT_TRUE(parties.freeOfficeCode(id, QString::fromLatin1(c.clientCode), c.from, &code).isOk());
        EXPECT_EQ(code, QLatin1String(c.expected));
    }
}

TEST_P(Rules, companyNameSearch_triesFourShorterPrefixesThenGivesUp)
{
    struct Case
    {
        const char *client; // the only other client besides Harbour Lights
        bool found;
    };
    // "NORTHERN PRINTERS" has 17 characters: tried as 17, 15, 13 and 11 characters.
    const Case cases[] = { { "NORTHERN PRINTERS", true }, { "NORTHERN PRINTING", true }, { "NORTHERN PR CO", true },
        { "NORTHERN POSTERS", false } };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.client);
        const qint32 other = add("Clients", { { "Code", "N1" }, { "Name", c.client }, { "NameCaps", c.client } })
                                 .toLong("ClientID");
        signups::RunWrites writes(db(), nullptr);
        signups::SignupRecords records = signups::SignupRecords::cleared();
        records.signup = fetch("WebSignup", addSignup({ { "Company", "Northern Printers" } }));
        signups::SignupState state;
        signups::SignupParties parties(writes, records, state, ctx.glo.user, &prompter, {});
        ASSERT_TRUE(parties.companyNameSearch().isOk());
        EXPECT_EQ(records.signup.toLong("IsCustomer"), c.found ? 1 : 0);
        EXPECT_EQ(records.clientAlias.toLong("ClientID"), c.found ? other : 0);
        db().exec(QStringLiteral("DELETE FROM \"clients\" WHERE \"clientid\" = ?"), { other });
    }
}

TEST_P(Rules, accountCodes_areFreeAndValid)
{
    bizlib::ClientLibrary library(db(), ctx.glo.user);
    add("Clients", { { "Code", "LEEGRA01" } });
    const QList<QPair<const char *, const char *>> cases { { "Lee Graphics", "LEEGRA02" }, { "A & B", "AB01" },
        { "", "CLIENT01" } };
    for (const auto &[name, expected] : cases) {
        QString code;
        ASSERT_TRUE(library.assignAccountCode(QLatin1String(name), QStringLiteral("CLI"), &code).isOk());
        EXPECT_EQ(code, QLatin1String(expected));
        EXPECT_TRUE(bizlib::ClientLibrary::validateCode(code).isOk());
    }
    for (const char *bad : { "", "AB 1", "AB/1", "ABCDEFGHIJK" })
        EXPECT_FALSE(bizlib::ClientLibrary::validateCode(QLatin1String(bad)).isOk()) << bad;
}

// Another workstation is adding an office to the same client and has not committed yet: this one
// waits for it and takes the next code instead of the same one.
TEST_P(Rules, officeCodes_ofTwoWorkstationsAddingToOneClient_neverCollide)
{
    std::atomic<bool> ready { false };
    std::thread elsewhere([&] {
        bizlib::Database other(testDb().config());
        if (other.open() && other.begin()) {
            signups::RunWrites writes(other, nullptr);
            signups::ClientParties parties(writes);
            bizlib::Table offices(other, QStringLiteral("Offices"));
            bizlib::Record r;
            bizlib::Table clients(other, QStringLiteral("Clients"));
            bizlib::Record c = clients.newRecord();
            if (clients.fetch(QStringLiteral("CLIENTIDKEY"), { client }, c) && offices.prime(r)) {
                r.setLong("ClientID", client);
                EXPECT_TRUE(parties.insertOffice(r, c, 2).isOk());
            }
            ready = true;
            QThread::msleep(700); // this side reads meanwhile and then waits for the commit
            other.commit();
        }
        ready = true;
        other.close();
    });
    while (!ready)
        QThread::msleep(10);
    signups::RunWrites writes(db(), nullptr);
    signups::ClientParties parties(writes);
    signups::ClientParties::OfficeDetails details;
    details.address1 = QStringLiteral("2 Dock Road");
    bizlib::Record none;
    bizlib::Record office;
    const bizlib::Status st = parties.deliveryOffice(fetch("Clients", client), details, none, &office);
    elsewhere.join();
    ASSERT_TRUE(st.isOk()) << st.message().toStdString();
    QStringList codes;
    for (const bizlib::Record &o : rows("Offices", "CLIENTIDKEY", { client }))
        codes << o.text("Office").trimmed();
    codes.sort();
    EXPECT_EQ(codes, QStringList({ "HARB01-001", "HARB01-002", "HARB01-003" }));
}

INSTANTIATE_TEST_SUITE_P(Engines, Rules, testsupport::allEngines(), testsupport::engineName);

} // namespace
