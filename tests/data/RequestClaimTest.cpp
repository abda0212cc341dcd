#include "data/RequestClaim.h"

#include "bizlib/Table.h"
#include "data/ClaimBook.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

using bizlib::Record;
using data::ClaimVariant;
using data::RequestClaim;
using Outcome = data::RequestClaim::Outcome;

namespace {

class Claim : public testsupport::DataTest
{
protected:
    qint32 addRequest(const ClaimVariant &v, const QString &status)
    {
        bizlib::Table t(db(), v.table);
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        r.setText("Status", status);
        EXPECT_TRUE(t.insert(r).isOk());
        return r.toLong(t.def().autoNumberField);
    }

    Record read(const ClaimVariant &v, qint32 id)
    {
        bizlib::Table t(db(), v.table);
        Record r = t.newRecord();
        return t.fetch(t.def().primary().name, { id }, r) ? r : Record();
    }
    QString status(const ClaimVariant &v, qint32 id) { return read(v, id).text("Status"); }

    testsupport::ScriptedPrompter prompter;
    int notices = 0;
};

TEST_P(Claim, everyVariantClaimsAFreeRequestAndReleasesItToTheStatusItHad)
{
    for (const ClaimVariant &v : ClaimVariant::all()) {
        SCOPED_TRACE(v.window.toStdString());
        EXPECT_EQ(v.message.size(), v.message == ClaimVariant::processingMessage() ? 245 : 215);
        const qint32 id = addRequest(v, QStringLiteral("Waiting"));
        notices = 0;
        RequestClaim claim(db(), v, id, &prompter, [this] { ++notices; });
        ASSERT_EQ(claim.claim(false), Outcome::Claimed);
        EXPECT_EQ(status(v, id), QStringLiteral("Processing"));
        EXPECT_EQ(claim.savedStatus(), QStringLiteral("Waiting"));
        EXPECT_TRUE(claim.release().isOk());
        EXPECT_EQ(status(v, id), QStringLiteral("Waiting"));
        EXPECT_EQ(notices, 2);
    }
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(Claim, aRequestClaimedElsewhereIsCancelledOrTakenOverAndAfterUnlockACancelFreesIt)
{
    for (const ClaimVariant &v : ClaimVariant::all()) {
        for (const bool automatic : { true, false }) {
            SCOPED_TRACE(v.window.toStdString() + (automatic ? " automatic" : " manual"));
            const bool silent = automatic && v.whenAutomatic == ClaimVariant::WhenAutomatic::Silent;
            const qint32 id = addRequest(v, QStringLiteral("Processing"));
            const int asked = prompter.shown().size();
            {
                // Cancel, or Esc, which must never mean Unlock.
                if (!silent && automatic)
                    prompter.answer(1);
                else if (!silent)
                    prompter.pressEscape();
                RequestClaim claim(db(), v, id, &prompter, [this] { ++notices; });
                notices = 0;
                EXPECT_EQ(claim.claim(automatic), Outcome::Declined);
                EXPECT_FALSE(claim.isHeld());
            }
            EXPECT_EQ(status(v, id), QStringLiteral("Processing")); // a window that never held it writes nothing
            EXPECT_EQ(notices, 0);
            if (silent) {
                EXPECT_EQ(prompter.shown().size(), asked);
                continue;
            }
            ASSERT_EQ(prompter.shown().size(), asked + 1);
            const auto &shown = prompter.shown().last();
            EXPECT_EQ(shown.text, v.message);
            EXPECT_EQ(shown.caption, QStringLiteral("Already being processed"));
            EXPECT_EQ(shown.buttons, QStringLiteral("&Cancel|&Unlock"));
            EXPECT_EQ(shown.icon, bizlib::Prompter::Icon::Exclamation);
            EXPECT_EQ(shown.defaultButton, 1);

            prompter.answer(2); // Unlock: the claim is taken over, nothing is written
            RequestClaim claim(db(), v, id, &prompter, [this] { ++notices; });
            EXPECT_EQ(claim.claim(automatic), Outcome::Unlocked);
            EXPECT_EQ(status(v, id), QStringLiteral("Processing"));
            EXPECT_EQ(notices, 1);
            EXPECT_TRUE(claim.release().isOk());
            EXPECT_EQ(status(v, id), QStringLiteral("Pending"));
        }
    }
}

TEST_P(Claim, processingIsRecognisedByTheVariantsTestOnTheRowAsItIsNow)
{
    struct Case
    {
        const char *stored;
        bool trimmedClaimed; // quote and order windows
        bool exactClaimed; // sign-up windows
    };
    const Case cases[] = { { "Processing", true, true }, { "Processing ", true, false }, { "processing", false, false },
        { " Processing", false, false } };
    for (const Case &c : cases) {
        for (const ClaimVariant *v : { &ClaimVariant::quoteProcessing(), &ClaimVariant::signupProcessing() }) {
            SCOPED_TRACE(std::string(c.stored) + " " + v->window.toStdString());
            const bool claimed = v->test == ClaimVariant::Test::Trimmed ? c.trimmedClaimed : c.exactClaimed;
            const qint32 id = addRequest(*v, QStringLiteral("Pending"));
            // The list's buffer says "Pending"; the database has changed meanwhile.
            bizlib::Table t(db(), v->table);
            Record r = read(*v, id);
            r.setText("Status", QLatin1String(c.stored));
            ASSERT_TRUE(t.update(r).isOk());
            RequestClaim claim(db(), *v, id);
            EXPECT_EQ(claim.claim(true), claimed ? Outcome::Declined : Outcome::Claimed);
            if (!claimed) {
                EXPECT_EQ(claim.savedStatus(), QLatin1String(c.stored));
            }
        }
    }
}

TEST_P(Claim, twoWorkstationsNeverBothHoldOneRequestAndOnlyTheHolderDeletesIt)
{
    const ClaimVariant &v = ClaimVariant::quoteProcessing();
    const qint32 id = addRequest(v, QStringLiteral("Pending"));
    for (const char *table : { "WebNotes", "WebAttachments" }) {
        bizlib::Table t(db(), QLatin1String(table));
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        r.setLong("QuoteID", id);
        ASSERT_TRUE(t.insert(r).isOk());
    }
    const auto other = testDb().openSecond();
    RequestClaim mine(db(), v, id);
    RequestClaim theirs(*other, v, id);
    ASSERT_EQ(mine.claim(true), Outcome::Claimed);
    EXPECT_EQ(theirs.claim(true), Outcome::Declined);
    EXPECT_TRUE(theirs.removeRequest().isError());

    // They unlock it and process it: my delete finds nothing and deletes nothing.
    testsupport::ScriptedPrompter unlock;
    unlock.answer(2);
    RequestClaim takeover(*other, v, id, &unlock);
    ASSERT_EQ(takeover.claim(false), Outcome::Unlocked) << takeover.lastStatus().message().toStdString();
    ASSERT_TRUE(takeover.removeRequest().isOk());
    takeover.settle();
    EXPECT_FALSE(read(v, id).isValid());
    bizlib::Table notes(db(), QStringLiteral("WebNotes"));
    qint64 left = -1;
    ASSERT_TRUE(notes.count(&left).isOk());
    EXPECT_EQ(left, 0);
    EXPECT_TRUE(mine.removeRequest().isNotFound());
    EXPECT_TRUE(mine.release().isNotFound()); // the request is gone: nothing to write back
    EXPECT_FALSE(mine.isHeld());
    EXPECT_FALSE(read(v, id).isValid());
}

// The list said "Pending"; another workstation has written another free status since. The claim
// saves the status as it is now, so a cancel gives back that one, never the list's.
TEST_P(Claim, aListStatusThatIsNoLongerTheRowsIsNeitherWrittenNorSaved)
{
    const ClaimVariant &v = ClaimVariant::quoteProcessing();
    // The web monitor's own tables may take a NULL status (this program's do not).
    if (db().isPostgres()) {
        ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE \"webquotes\" ALTER COLUMN \"status\" DROP NOT NULL")).isOk());
    }
    for (const char *now : std::initializer_list<const char *> { "Waiting", "", nullptr }) {
        if (!now && !db().isPostgres())
            continue;
        SCOPED_TRACE(now ? now : "NULL");
        const qint32 id = addRequest(v, QStringLiteral("Pending"));
        const bizlib::Status written = now
            ? db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"status\" = ? WHERE \"quoteid\" = ?"),
                { QString::fromLatin1(now), id })
            : db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"status\" = NULL WHERE \"quoteid\" = ?"), { id });
        ASSERT_TRUE(written.isOk()) << written.message().toStdString();
        RequestClaim claim(db(), v, id);
        ASSERT_EQ(claim.claim(true, {}, QStringLiteral("Pending")), Outcome::Claimed);
        EXPECT_EQ(status(v, id), QStringLiteral("Processing"));
        EXPECT_EQ(claim.savedStatus(), QString::fromLatin1(now ? now : ""));
        ASSERT_TRUE(claim.release().isOk());
        EXPECT_EQ(status(v, id), QString::fromLatin1(now ? now : ""));
    }
}

// Who holds a request is known: the warning names the holder, Unlock takes the claim over, and
// the window that lost it writes nothing afterwards (release, hand-on, delete, record) and is told who took it.
TEST_P(Claim, aClaimTakenOverElsewhereMakesEveryLaterWriteOfTheFirstHolderFailAndSayWho)
{
    const ClaimVariant &v = ClaimVariant::quoteProcessing();
    const qint32 id = addRequest(v, QStringLiteral("Pending"));
    RequestClaim first(db(), v, id, nullptr, {}, QStringLiteral("JS"));
    ASSERT_EQ(first.claim(false), Outcome::Claimed);
    data::ClaimHolder held;
    ASSERT_TRUE(data::ClaimBook(db()).holderOf(v.table, id, &held).isOk());
    EXPECT_EQ(held.userCode, QStringLiteral("JS"));
    EXPECT_EQ(held.owner, first.owner());
    EXPECT_EQ(held.processId, data::ClaimSession::thisProcess().processId);
    EXPECT_EQ(held.savedStatus, QStringLiteral("Pending"));

    const auto other = testDb().openSecond();
    testsupport::ScriptedPrompter unlock;
    unlock.answer(2);
    RequestClaim second(*other, v, id, &unlock, {}, QStringLiteral("AB"));
    ASSERT_EQ(second.claim(false), Outcome::Unlocked);
    ASSERT_EQ(unlock.shown().size(), 1);
    EXPECT_TRUE(unlock.shown().first().text.startsWith(v.message));
    EXPECT_TRUE(unlock.shown().first().text.contains(QStringLiteral("\n\nHeld by JS on ")))
        << unlock.shown().first().text.toStdString();
    EXPECT_EQ(second.savedStatus(), QStringLiteral("Pending")); // the first holder's

    for (int write = 0; write < 3; ++write) {
        SCOPED_TRACE(write);
        const bizlib::Status st = write == 0 ? first.handOn(QStringLiteral("Rejected"))
            : write == 1                     ? first.removeRequest()
                                             : first.release();
        EXPECT_TRUE(st.isNotFound());
        EXPECT_TRUE(st.message().contains(QStringLiteral("taken over by AB"))) << st.message().toStdString();
        EXPECT_EQ(status(v, id), QStringLiteral("Processing"));
    }
    EXPECT_FALSE(first.isHeld());
    ASSERT_TRUE(second.release().isOk());
    EXPECT_EQ(status(v, id), QStringLiteral("Pending"));
    EXPECT_TRUE(data::ClaimBook(db()).holderOf(v.table, id, &held).isNotFound());
}


TEST_P(Claim, aHeldClaimIsReleasedWhenItsWindowGoesAwayButNotOverAnotherStatus)
{
    const ClaimVariant &v = ClaimVariant::orderProcessing();
    const qint32 id = addRequest(v, QStringLiteral("Pending"));
    {
        RequestClaim claim(db(), v, id);
        ASSERT_EQ(claim.claim(false), Outcome::Claimed);
    }
    EXPECT_EQ(status(v, id), QStringLiteral("Pending"));

    RequestClaim claim(db(), v, id);
    ASSERT_EQ(claim.claim(false), Outcome::Claimed);
    bizlib::Table t(db(), v.table);
    Record r = read(v, id);
    r.setText("Status", QStringLiteral("Accepted")); // handed on by someone else meanwhile
    ASSERT_TRUE(t.update(r).isOk());
    EXPECT_TRUE(claim.release().isOk());
    EXPECT_EQ(status(v, id), QStringLiteral("Accepted"));
}

INSTANTIATE_TEST_SUITE_P(Engines, Claim, testsupport::allEngines(), testsupport::engineName);

} // namespace
