#include "bizlib/security/Security.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/security/PasswordHasher.h"
#include "support/ScriptedLogon.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>

using namespace bizlib;
using bizlib::security::PasswordHasher;
using bizlib::security::Security;
using testsupport::DataTest;
using testsupport::ScriptedLogon;

namespace {

// Small work factors keep the tests quick; a stored hash names its cost, so verification follows.
constexpr int kTestIterations = 500;
const PasswordHasher::Cost kTestCost = PasswordHasher::Cost::minimal();

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

TEST(PasswordHasher, derivesTheRfc7914ReferenceKeys)
{
    EXPECT_EQ(hex(PasswordHasher::pbkdf2Sha256("passwd", "salt", 1, 64)),
        QStringLiteral("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                       "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"));
    EXPECT_EQ(hex(PasswordHasher::pbkdf2Sha256("Password", "NaCl", 80000, 64)),
        QStringLiteral("4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
                       "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"));
}

TEST(PasswordHasher, olderScheme_matchesAnIndependentReference_forAPasswordLongerThanOneBlock)
{
    // 81 UTF-8 bytes: longer than the 64-byte HMAC block, so the key is hashed first. Reference:
    // Python's hashlib.pbkdf2_hmac("sha256", password, salt, 1000, 32).
    const QString password = QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e aus der Druckerei, ").repeated(3);
    ASSERT_EQ(password.toUtf8().size(), 81);
    const QString salt = QStringLiteral("00112233445566778899aabbccddeeff");
    const QString reference
        = QStringLiteral("pbkdf2-sha256$1000$e477484c91b4caa3a20596e8090cadd6a7f1787ec6ad0ce04b0de930aa6a2b7f");
    EXPECT_EQ(PasswordHasher::pbkdf2Hash(password, salt, 1000), reference);
    EXPECT_EQ(PasswordHasher::check(password, salt, reference), PasswordHasher::Check::Match);
    EXPECT_EQ(PasswordHasher::check(password.chopped(1), salt, reference), PasswordHasher::Check::Mismatch);
}

TEST(PasswordHasher, currentScheme_isArgon2idAndVerifiesOnlyTheRightPassword)
{
    const QString hash = PasswordHasher::hash(QStringLiteral("Tr0ub4dor"), kTestCost);
    EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$"))) << hash.toStdString();
    EXPECT_NE(PasswordHasher::hash(QStringLiteral("Tr0ub4dor"), kTestCost), hash) << "a salt of its own each time";
    EXPECT_TRUE(PasswordHasher::verify(QStringLiteral("Tr0ub4dor"), {}, hash));
    EXPECT_FALSE(PasswordHasher::verify(QStringLiteral("tr0ub4dor"), {}, hash));
    EXPECT_FALSE(PasswordHasher::needsRehash(hash, kTestCost));
    EXPECT_TRUE(PasswordHasher::needsRehash(hash, PasswordHasher::Cost::interactive()));
    EXPECT_TRUE(PasswordHasher::needsRehash(PasswordHasher::pbkdf2Hash(QStringLiteral("x"), QStringLiteral("s"), 1)));

    // A given salt writes the text libsodium writes, and libsodium reads it.
    const QString salted = PasswordHasher::hashWithSalt(QStringLiteral("Tr0ub4dor"), QByteArray(16, 'k'), kTestCost);
    EXPECT_EQ(salted, PasswordHasher::hashWithSalt(QStringLiteral("Tr0ub4dor"), QByteArray(16, 'k'), kTestCost));
    EXPECT_TRUE(PasswordHasher::verify(QStringLiteral("Tr0ub4dor"), {}, salted)) << salted.toStdString();
    EXPECT_FALSE(PasswordHasher::verify(QStringLiteral("Tr0ub4dox"), {}, salted));
}

TEST(PasswordHasher, verifiesOnlyTheRightPasswordAndWellFormedHashes)
{
    const PasswordHasher::Credential c = PasswordHasher::createPbkdf2(QStringLiteral("Tr0ub4dor"), kTestIterations);
    EXPECT_TRUE(PasswordHasher::verify(QStringLiteral("Tr0ub4dor"), c.salt, c.hash));
    EXPECT_FALSE(PasswordHasher::verify(QStringLiteral("tr0ub4dor"), c.salt, c.hash));
    EXPECT_FALSE(PasswordHasher::verify(QStringLiteral("Tr0ub4dor"), c.salt + u'0', c.hash));
    EXPECT_EQ(PasswordHasher::iterationsOf(c.hash), kTestIterations);

    const QString key = c.hash.section(u'$', 2);
    // A plain SHA-256 of salt and password (an older, fast scheme) is not accepted as a hash.
    const QString plain
        = hex(QCryptographicHash::hash((c.salt + QStringLiteral("Tr0ub4dor")).toUtf8(), QCryptographicHash::Sha256));
    for (const QString &damaged :
        { QString(), plain, QStringLiteral("pbkdf2-sha256$0$") + key, QStringLiteral("pbkdf2-sha256$99999999$") + key,
            QStringLiteral("pbkdf2-sha1$500$") + key, QStringLiteral("pbkdf2-sha256$500$") + key.left(62) }) {
        EXPECT_FALSE(PasswordHasher::verify(QStringLiteral("Tr0ub4dor"), c.salt, damaged)) << damaged.toStdString();
    }
    EXPECT_TRUE(PasswordHasher::constantTimeEquals("abc", "abc"));
    EXPECT_FALSE(PasswordHasher::constantTimeEquals("abc", "abd"));
    EXPECT_FALSE(PasswordHasher::constantTimeEquals("abc", "abcd"));
}

class SecurityData : public DataTest
{
protected:
    qint32 addUser(
        const QString &initials, const QString &password, QList<qint32> rights = {}, bool administrator = false)
    {
        Security::NewUser u;
        u.initials = initials;
        u.fullName = QStringLiteral("User ") + initials;
        u.email = initials.toLower() + QStringLiteral("@example.com");
        u.password = password;
        u.rights = rights;
        u.administrator = administrator;
        qint32 id = 0;
        const Status st = Security(db(), kTestCost).addUser(u, &id);
        EXPECT_TRUE(st.isOk()) << st.message().toStdString();
        return id;
    }

    Record userRow(qint32 id)
    {
        Table users(db(), QStringLiteral("Users"));
        Record r = users.newRecord();
        EXPECT_TRUE(users.fetch(QStringLiteral("USERIDKEY"), { id }, r).isOk());
        return r;
    }

    void setActive(qint32 id, int active)
    {
        Table users(db(), QStringLiteral("Users"));
        Record r = userRow(id);
        r.setLong("Active", active);
        ASSERT_TRUE(users.update(r).isOk());
    }
};

TEST_P(SecurityData, storedCredential_isNeitherThePasswordNorAPlainHashOfIt)
{
    const QString password = QStringLiteral("Sunday-Roast-42");
    const Record a = userRow(addUser(QStringLiteral("AB"), password));
    const Record b = userRow(addUser(QStringLiteral("CD"), password));

    const QString hash = a.text("PasswordHash");
    const QString salt = a.text("PasswordSalt");
    EXPECT_FALSE(hash.contains(password));
    EXPECT_FALSE(salt.contains(password));
    for (const QByteArray &input : { password.toUtf8(), (salt + password).toUtf8(), (password + salt).toUtf8() }) {
        const QString plain = hex(QCryptographicHash::hash(input, QCryptographicHash::Sha256));
        EXPECT_FALSE(hash.contains(plain, Qt::CaseInsensitive));
    }
    // The salt lives in the hash: the same password gives another salt and so another hash.
    EXPECT_TRUE(salt.isEmpty());
    EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$"))) << hash.toStdString();
    EXPECT_NE(b.text("PasswordHash"), hash);
}

TEST_P(SecurityData, authenticate_refusesWrongPasswordsAndUnknownInitialsAlike)
{
    const qint32 id = addUser(QStringLiteral("JSX"), QStringLiteral("secret"));
    Security security(db(), kTestCost);

    Session session;
    session.userCode = QStringLiteral("untouched");
    const Status wrong = security.authenticate(QStringLiteral("JSX"), QStringLiteral("Secret"), &session);
    const Status unknown = security.authenticate(QStringLiteral("ZZ"), QStringLiteral("secret"), &session);
    EXPECT_TRUE(wrong.isNotFound());
    EXPECT_TRUE(unknown.isNotFound());
    EXPECT_EQ(wrong.message(), unknown.message());
    EXPECT_EQ(session.userCode, QStringLiteral("untouched"));
    // Initials longer than three characters are refused, never cut to a user's initials.
    EXPECT_TRUE(security.authenticate(QStringLiteral("JSXY"), QStringLiteral("secret"), &session).isNotFound());
    EXPECT_TRUE(security.authenticate(QString(), QString(), &session).isNotFound());

    ASSERT_TRUE(security.authenticate(QStringLiteral(" jsx "), QStringLiteral("secret"), &session).isOk());
    EXPECT_EQ(session.userId, id);
    EXPECT_EQ(session.userCode, QStringLiteral("JSX"));
    EXPECT_EQ(session.userName, QStringLiteral("User JSX"));
    EXPECT_EQ(session.email, QStringLiteral("jsx@example.com"));
}

TEST_P(SecurityData, authenticate_refusesInactiveUsersAndUsersWithoutPassword)
{
    const qint32 inactive = addUser(QStringLiteral("IN"), QStringLiteral("pw"));
    setActive(inactive, 0);
    addUser(QStringLiteral("NP"), QString());
    Security security(db(), kTestCost);
    Session session;
    const Status st = security.authenticate(QStringLiteral("IN"), QStringLiteral("pw"), &session);
    EXPECT_TRUE(st.isNotFound());
    EXPECT_EQ(st.message(), Security::inactiveText());
    EXPECT_TRUE(security.authenticate(QStringLiteral("NP"), QString(), &session).isNotFound());
    EXPECT_EQ(session.userId, 0);
}

TEST_P(SecurityData, olderSchemeHash_isAcceptedAndReplacedAtTheNextLogon)
{
    const qint32 id = addUser(QStringLiteral("OS"), QString());
    const PasswordHasher::Credential old = PasswordHasher::createPbkdf2(QStringLiteral("old-scheme"), kTestIterations);
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"users\" SET \"passwordsalt\" = ?, \"passwordhash\" = ? WHERE \"userid\" = ?"),
                    { old.salt, old.hash, id })
                    .isOk());
    Security security(db(), kTestCost);
    Session session;
    EXPECT_TRUE(security.authenticate(QStringLiteral("OS"), QStringLiteral("wrong"), &session).isNotFound());
    EXPECT_EQ(userRow(id).text("PasswordHash"), old.hash) << "a refused try changes nothing";

    ASSERT_TRUE(security.authenticate(QStringLiteral("OS"), QStringLiteral("old-scheme"), &session).isOk());
    const QString upgraded = userRow(id).text("PasswordHash");
    EXPECT_TRUE(upgraded.startsWith(QStringLiteral("$argon2id$"))) << upgraded.toStdString();
    EXPECT_FALSE(PasswordHasher::needsRehash(upgraded, kTestCost));
    EXPECT_TRUE(security.authenticate(QStringLiteral("OS"), QStringLiteral("old-scheme"), &session).isOk());
    EXPECT_TRUE(security.authenticate(QStringLiteral("OS"), QStringLiteral("wrong"), &session).isNotFound());
}

TEST_P(SecurityData, storedCostBeyondTheCeiling_isABadRecord_refusedWithoutComputing)
{
    const qint32 id = addUser(QStringLiteral("BC"), QString());
    const QString key = QString(64, u'a');
    const QString b64 = QStringLiteral("c2FsdHNhbHRzYWx0c2FsdA");
    Security security(db(), kTestCost);
    for (const QString &stored : { QStringLiteral("pbkdf2-sha256$1000001$") + key,
             QStringLiteral("pbkdf2-sha256$10000000$") + key,
             QStringLiteral("$argon2id$v=19$m=4194304,t=2,p=1$") + b64 + u'$' + b64,
             QStringLiteral("$argon2id$v=19$m=65536,t=1000,p=1$") + b64 + u'$' + b64 }) {
        // A computed check would say Mismatch: the stored key is not the password's.
        EXPECT_EQ(PasswordHasher::check(QStringLiteral("pw"), QStringLiteral("salt"), stored),
            PasswordHasher::Check::BadRecord)
            << stored.toStdString();
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"users\" SET \"passwordhash\" = ? WHERE \"userid\" = ?"),
                        { stored, id })
                        .isOk());
        Session session;
        const Status st = security.authenticate(QStringLiteral("BC"), QStringLiteral("pw"), &session);
        EXPECT_TRUE(st.isNotFound());
        EXPECT_EQ(st.message(), Security::badRecordText());
    }
}

TEST_P(SecurityData, logon_acceptsARightPasswordOnALaterTryAndFillsTheSession)
{
    const qint32 id = addUser(QStringLiteral("MK"), QStringLiteral("letmein"));
    Security security(db(), kTestCost);
    ASSERT_TRUE(security.loadQs().isOk());
    ScriptedLogon prompter;
    prompter.answer(QStringLiteral("MK"), QStringLiteral("letmeout"));
    prompter.answer(QStringLiteral("MK"), QStringLiteral("letmein"));

    Session session;
    const Security::LogonResult r = security.logon(prompter, &session);
    ASSERT_TRUE(r.isLoggedOn()) << r.message.toStdString();
    EXPECT_EQ(session.userId, id);
    EXPECT_EQ(session.userCode, QStringLiteral("MK"));
    ASSERT_EQ(prompter.attempts().size(), 2);
    EXPECT_TRUE(prompter.attempts().at(0).message.isEmpty());
    EXPECT_EQ(prompter.attempts().at(1).number, 2);
    EXPECT_EQ(prompter.attempts().at(1).message, Security::refusedText());
    EXPECT_EQ(prompter.attempts().at(1).initials, QStringLiteral("MK"));
    EXPECT_EQ(userRow(id).toLong("LastLoginDate"), DateTime::today());
}

TEST_P(SecurityData, logon_isRefusedAfterThreeWrongTriesAndWhenCancelled)
{
    addUser(QStringLiteral("MK"), QStringLiteral("letmein"));
    Security security(db(), kTestCost);
    ScriptedLogon threeWrong;
    for (int i = 0; i < 4; ++i)
        threeWrong.answer(QStringLiteral("MK"), QStringLiteral("guess%1").arg(i));
    Session session;
    Security::LogonResult r = security.logon(threeWrong, &session);
    EXPECT_EQ(r.outcome, Security::LogonOutcome::Refused);
    EXPECT_EQ(threeWrong.attempts().size(), Security::kMaxTries);
    EXPECT_EQ(session.userId, 0);

    ScriptedLogon cancelling;
    cancelling.answer(QStringLiteral("MK"), QStringLiteral("nope"));
    cancelling.cancel();
    r = security.logon(cancelling, &session);
    EXPECT_EQ(r.outcome, Security::LogonOutcome::Cancelled);
    EXPECT_EQ(cancelling.attempts().size(), 2);
    EXPECT_EQ(session.userId, 0);
}

TEST_P(SecurityData, hasRight_44_forHoldersAndAdministratorsOnly)
{
    const qint32 payer = addUser(QStringLiteral("LP"), QStringLiteral("x"), { 1, Security::kRightMarkOrdersPaid });
    const qint32 other = addUser(QStringLiteral("TD"), QStringLiteral("x"), { 1, 20 });
    const qint32 admin = addUser(QStringLiteral("JS"), QStringLiteral("x"), {}, true);
    Security security(db(), kTestCost);

    EXPECT_TRUE(security.hasRight(payer, 44));
    EXPECT_FALSE(security.hasRight(other, 44));
    EXPECT_TRUE(security.hasRight(other, 20));
    EXPECT_TRUE(security.hasRight(admin, 44));
    EXPECT_FALSE(security.hasRight(999999, 44));

    setActive(payer, 0);
    EXPECT_FALSE(security.hasRight(payer, 44));
    setActive(payer, 1);
    ASSERT_TRUE(security.revokeRight(payer, 44).isOk());
    EXPECT_FALSE(security.hasRight(payer, 44));
    ASSERT_TRUE(security.grantRight(other, 44).isOk());
    ASSERT_TRUE(security.grantRight(other, 44).isOk()); // held already: harmless
    EXPECT_TRUE(security.hasRight(other, 44));
}

TEST_P(SecurityData, setPassword_replacesTheCredential)
{
    const qint32 id = addUser(QStringLiteral("RP"), QStringLiteral("old"));
    Security security(db(), kTestCost);
    ASSERT_TRUE(security.setPassword(id, QStringLiteral("new")).isOk());
    Session session;
    EXPECT_TRUE(security.authenticate(QStringLiteral("RP"), QStringLiteral("old"), &session).isNotFound());
    EXPECT_TRUE(security.authenticate(QStringLiteral("RP"), QStringLiteral("new"), &session).isOk());
    EXPECT_TRUE(security.setPassword(424242, QStringLiteral("x")).isNotFound());
}

TEST_P(SecurityData, addUser_refusesBadOrTakenInitialsAndWritesNothing)
{
    addUser(QStringLiteral("AB"), QStringLiteral("x"));
    Security security(db(), kTestCost);
    Security::NewUser u;
    u.password = QStringLiteral("x");
    u.rights = { 44 };
    u.initials = QStringLiteral("ab");
    EXPECT_TRUE(security.addUser(u, nullptr).isDuplicate());
    u.initials = QStringLiteral("ABCD");
    EXPECT_TRUE(security.addUser(u, nullptr).isError());
    u.initials = QStringLiteral("  ");
    EXPECT_TRUE(security.addUser(u, nullptr).isError());

    Table users(db(), QStringLiteral("Users"));
    Table rights(db(), QStringLiteral("UserRights"));
    qint64 count = 0;
    ASSERT_TRUE(users.count(&count).isOk());
    EXPECT_EQ(count, 1);
    ASSERT_TRUE(rights.count(&count).isOk());
    EXPECT_EQ(count, 0);
}

TEST_P(SecurityData, loadQs_readsTheRightsAndFailsWithoutTheTables)
{
    Table rights(db(), QStringLiteral("SecurityRights"));
    for (const auto &[no, text] : { std::pair { 1, "Log on" }, std::pair { 44, "May mark orders as paid" } }) {
        Record r = rights.newRecord();
        r.setLong("RightNo", no);
        r.setText("Description", QString::fromLatin1(text));
        ASSERT_TRUE(rights.insert(r).isOk());
    }
    Security security(db(), kTestCost);
    ASSERT_TRUE(security.loadQs().isOk());
    EXPECT_TRUE(security.isLoaded());
    EXPECT_EQ(security.rightCatalogue().value(44), QStringLiteral("May mark orders as paid"));

    ASSERT_TRUE(db().exec(QStringLiteral("DROP TABLE \"userrights\"")).isOk());
    const Status st = security.loadQs();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("UserRights"))) << st.message().toStdString();
    EXPECT_FALSE(security.isLoaded());
}

INSTANTIATE_TEST_SUITE_P(Engines, SecurityData, testsupport::allEngines(), testsupport::engineName);

} // namespace
