#include "SignupFixture.h"

#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "signups/RunWrites.h"
#include "signups/SignupParties.h"

using bizlib::Record;
using bizlib::forms::Response;
using signups::SignupProcessing;

namespace {

class Wizard : public signuptest::SignupTest
{
protected:
    std::unique_ptr<SignupProcessing> start(qint32 id)
    {
        auto p = std::make_unique<SignupProcessing>(services(), fetch("WebSignup", id));
        EXPECT_TRUE(p->open()) << p->told().toStdString();
        return p;
    }
    int captionCount(const char *caption)
    {
        int n = 0;
        for (const auto &m : prompter.shown())
            n += m.caption == QLatin1String(caption);
        return n;
    }
};

TEST_P(Wizard, newCustomer_endToEnd_makesOneAccountAndAcceptsWithTheAcceptTask)
{
    const qint32 id = addSignup();
    auto p = start(id);
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(p->headerTitle(), "Web signup: Sam Lee - Lee Graphics");
    EXPECT_EQ(p->state().method, "New");
    EXPECT_FALSE(p->backEnabled());
    p->next();
    ASSERT_EQ(p->step(), 3);
    ASSERT_NE(p->clientForm(), nullptr);
    EXPECT_NE(p->state().clientId, 0);
    ASSERT_TRUE(p->clientForm()->setFieldText(QStringLiteral("Code"), QStringLiteral("HARB01")));
    EXPECT_FALSE(p->clientFieldEdited(QStringLiteral("Code")));
    EXPECT_EQ(prompter.shown().last().caption, "Duplicate client-code");
    EXPECT_FALSE(p->nextEnabled());
    ASSERT_TRUE(p->clientForm()->setFieldText(QStringLiteral("Code"), QStringLiteral("LEE 1")));
    EXPECT_FALSE(p->clientFieldEdited(QStringLiteral("Code")));
    EXPECT_EQ(p->clientForm()->fieldText(QStringLiteral("Code")), "") << "an invalid code is cleared";
    ASSERT_TRUE(p->clientForm()->setFieldText(QStringLiteral("Code"), QStringLiteral("LEEG01")));
    EXPECT_TRUE(p->clientFieldEdited(QStringLiteral("Code")));
    EXPECT_TRUE(p->nextEnabled());
    p->next();
    ASSERT_EQ(p->step(), 4);
    EXPECT_EQ(captionCount("Contact already exists"), 0) << "the contact made by the wizard needs no note";
    EXPECT_TRUE(p->okEnabled());
    EXPECT_FALSE(p->nextEnabled());
    EXPECT_TRUE(p->ok()) << p->told().toStdString();
    EXPECT_EQ(p->response(), Response::Completed);
    p->close();
    const Record s = fetch("WebSignup", id);
    EXPECT_EQ(s.text("Status"), "Accepted");
    const Record account = fetch("Clients", s.toLong("ClientID"));
    EXPECT_EQ(account.text("Code"), "LEEG01");
    EXPECT_EQ(count("Clients"), 2);
    EXPECT_EQ(tasks("WebSignup").size(), 1);
    EXPECT_EQ(tasks("WebSignup").first().text("TaskRequest"), "Accept");
    EXPECT_TRUE(tasks("Contact").isEmpty()) << "a new account's web access needs no contact task";
    EXPECT_EQ(rows("ListOptions").size(), 0) << "no prefix given, so none is remembered";
    EXPECT_EQ(count("wc_claims"), 0);
}

TEST_P(Wizard, existingCustomerFoundByName_contactAdded_contactTaskOnlyForAClientThatHadAccess)
{
    for (const int hadAccess : { 0, 1 }) {
        SCOPED_TRACE(hadAccess);
        update("Clients", client, { { "WebEnable", hadAccess } });
        const qint32 id = addSignup({ { "Company", "Harbour Lights Ltd" },
            { "Email", QStringLiteral("new%1@harbour.example").arg(hadAccess) },
            { "FullName", QStringLiteral("Al Ward%1").arg(hadAccess) } });
        auto p = start(id);
        EXPECT_EQ(p->state().method, "Existing") << "the company-name search proposes Harbour Lights";
        EXPECT_EQ(p->records().clientAlias.toLong("ClientID"), client);
        p->next();
        ASSERT_EQ(p->step(), 2);
        ASSERT_TRUE(p->chooseClient(p->clientList().rowOf(client)));
        prompter.answer(1); // Enable web access: Yes (asked only without access)
        prompter.answer(1); // Contact not found: Yes, add it
        forms.answerForm({ { QStringLiteral("Position"), QStringLiteral("Buyer") } });
        p->next();
        ASSERT_EQ(p->step(), 4);
        EXPECT_EQ(captionCount("Enable web access"), hadAccess ? 0 : 1);
        ASSERT_TRUE(p->okEnabled());
        EXPECT_TRUE(p->ok()) << p->told().toStdString();
        p->close();
        const Record s = fetch("WebSignup", id);
        EXPECT_EQ(s.toLong("ClientID"), client);
        const Record added = fetch("Contacts", s.toLong("ContactID"));
        EXPECT_EQ(added.text("Position"), "Buyer");
        EXPECT_EQ(added.toLong("WebEnable"), 1);
        EXPECT_EQ(fetch("Clients", client).toLong("WebEnable"), 1);
        EXPECT_EQ(tasks("Contact").size(), hadAccess) << "Update for the new user of a client that had web access";
        if (hadAccess) {
            EXPECT_EQ(tasks("Contact").last().text("TaskRequest"), "Update");
        }
        db().exec(QStringLiteral("DELETE FROM \"webtask\""));
        prompter = {};
    }
    EXPECT_EQ(count("Clients"), 1);
}

TEST_P(Wizard, backToStepOne_deletesTheAccountItMade)
{
    const qint32 id = addSignup();
    auto p = start(id);
    p->next();
    const qint32 made = p->state().clientId;
    ASSERT_NE(made, 0);
    ASSERT_TRUE(fetch("Clients", made).isValid());
    p->back();
    EXPECT_EQ(p->step(), 1);
    EXPECT_FALSE(fetch("Clients", made).isValid());
    EXPECT_EQ(p->state().clientId, 0);
    EXPECT_EQ(count("Contacts"), 1) << "its contact went with it";
    EXPECT_EQ(count("Offices"), 1);
}

TEST_P(Wizard, cancel_removesWhatItMadeAndRestoresTheStatus)
{
    const qint32 id = addSignup();
    auto p = start(id);
    p->next(); // account, contact and office made automatically
    ASSERT_EQ(count("Clients"), 2);
    p->close();
    EXPECT_EQ(count("Clients"), 1);
    EXPECT_EQ(count("Contacts"), 1);
    EXPECT_EQ(count("Offices"), 1);
    EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Pending");
    EXPECT_EQ(count("wc_claims"), 0);
}

TEST_P(Wizard, cancel_givesTheMatchedContactAndClientExactlyTheirEarlierAccess)
{
    for (const int had : { 0, 1 }) {
        SCOPED_TRACE(had);
        update("Contacts", contact, { { "WebEnable", had }, { "WebPassword", "old" }, { "Prepay", 0 } });
        update("Clients", client, { { "WebEnable", had } });
        const qint32 id = addSignup({ { "Email", "jo@harbour.example" } });
        auto p = start(id);
        EXPECT_EQ(fetch("Contacts", contact).toLong("WebEnable"), 1);
        p->close();
        const Record c = fetch("Contacts", contact);
        EXPECT_EQ(c.toLong("WebEnable"), had);
        EXPECT_EQ(c.text("WebPassword"), "old");
        EXPECT_EQ(c.toLong("Prepay"), 0);
        EXPECT_EQ(fetch("Clients", client).toLong("WebEnable"), had);
    }
}

TEST_P(Wizard, cancel_leavesAFieldThatAnotherWorkstationChangedMeanwhile)
{
    update("Contacts", contact, { { "WebEnable", 0 } });
    const qint32 id = addSignup({ { "Email", "jo@harbour.example" } });
    auto p = start(id);
    auto other = testDb().openSecond();
    bizlib::Table contacts(*other, QStringLiteral("Contacts"));
    Record c = contacts.newRecord();
    ASSERT_TRUE(contacts.fetch(QStringLiteral("CONTACTIDKEY"), { contact }, c).isOk());
    c.setText("WebPassword", QStringLiteral("chosen elsewhere"));
    ASSERT_TRUE(contacts.update(c).isOk());
    p->close();
    const Record after = fetch("Contacts", contact);
    EXPECT_EQ(after.text("WebPassword"), "chosen elsewhere");
    EXPECT_EQ(after.toLong("WebEnable"), 0);
}

TEST_P(Wizard, notClaimed_writesNothing_evenOnAnAcceptedSignup)
{
    const qint32 id = addSignup({ { "Email", "jo@harbour.example" } });
    update("Contacts", contact, { { "WebEnable", 1 } });
    auto other = testDb().openSecond();
    data::RequestClaim held(*other, data::ClaimVariant::signupProcessing(), id);
    ASSERT_EQ(held.claim(false), data::RequestClaim::Outcome::Claimed);
    prompter.answer(1); // Already being processed: Cancel
    {
        SignupProcessing p(services(), fetch("WebSignup", id));
        EXPECT_FALSE(p.open());
        EXPECT_EQ(p.response(), Response::Cancelled);
        // The holder accepts meanwhile; this window's close must not write its status back.
        ASSERT_TRUE(held.handOn(QStringLiteral("Accepted")).isOk());
        held.settle();
    }
    EXPECT_EQ(prompter.shown().first().caption, "Already being processed");
    EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Accepted");
    EXPECT_EQ(fetch("Contacts", contact).toLong("WebEnable"), 1);
}

TEST_P(Wizard, takenOverByUnlockElsewhere_okWritesNothingAndTheTakeOverUndoesTheRun)
{
    update("Contacts", contact, { { "WebEnable", 0 } });
    const qint32 id = addSignup({ { "Email", "jo@harbour.example" }, { "Postcode", "YO21 1AA" } });
    auto p = start(id);
    ASSERT_EQ(fetch("Contacts", contact).toLong("WebEnable"), 1);
    auto other = testDb().openSecond();
    testsupport::ScriptedPrompter elsewhere;
    elsewhere.answer(2); // Unlock
    data::RequestClaim taker(*other, data::ClaimVariant::signupProcessing(), id, &elsewhere);
    ASSERT_EQ(taker.claim(false), data::RequestClaim::Outcome::Unlocked);
    EXPECT_EQ(fetch("Contacts", contact).toLong("WebEnable"), 0) << "the take-over undid the first run";
    EXPECT_TRUE(p->ok()) << "the window closes";
    EXPECT_EQ(p->response(), Response::Cancelled);
    EXPECT_FALSE(p->told().isEmpty());
    p->close();
    EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Processing") << "still the taker's";
    EXPECT_TRUE(tasks().isEmpty());
}

TEST_P(Wizard, twoSignupsOfOneAddress_onTwoWorkstations_giveOneClient)
{
    const qint32 first = addSignup();
    const qint32 second = addSignup({ { "Source", "B2C" } });
    auto p = start(first);
    p->next(); // the wizard has made an account for the address and is still open

    auto other = testDb().openSecond();
    config::AppContext ctx2 = ctx;
    ctx2.db = other.get();
    testsupport::ScriptedPrompter prompter2;
    ctx2.prompter = &prompter2;
    SignupProcessing::Services s2 = services();
    s2.ctx = &ctx2;
    const auto automatic = [&] {
        bizlib::Table t(*other, QStringLiteral("WebSignup"));
        Record r = t.newRecord();
        EXPECT_TRUE(t.fetch(QStringLiteral("WEBSIGNUPIDKEY"), { second }, r).isOk());
        SignupProcessing q(s2, r);
        const bool shown = q.open();
        const Response response = q.response();
        q.close();
        return std::make_pair(shown, response);
    };
    const auto meanwhile = automatic();
    EXPECT_FALSE(meanwhile.first);
    EXPECT_EQ(meanwhile.second, Response::Cancelled);
    EXPECT_TRUE(prompter2.lastText().contains("sam@lee.example")) << prompter2.lastText().toStdString();
    EXPECT_EQ(fetch("WebSignup", second).text("Status"), "Pending");
    EXPECT_EQ(count("Clients"), 2);

    p->next();
    ASSERT_TRUE(p->ok()) << p->told().toStdString();
    p->close();
    const auto after = automatic();
    EXPECT_FALSE(after.first);
    EXPECT_EQ(after.second, Response::Completed);
    EXPECT_EQ(count("Clients"), 2) << "Harbour Lights and the one new account";
    EXPECT_EQ(fetch("WebSignup", second).toLong("ClientID"), fetch("WebSignup", first).toLong("ClientID"));
    EXPECT_EQ(count("wc_claims"), 0);
}

// Another workstation picks the account this window made, adds its contact and accepts its own
// sign-up; this window then goes back to step 1 or is cancelled: the account stays, with the other
// sign-up's contact, office and domain link.
TEST_P(Wizard, anAccountAnotherSignupWasAcceptedWith_staysWhenTheWindowThatMadeItUndoesItsRun)
{
    for (const bool back : { true, false }) {
        SCOPED_TRACE(back ? "back to step 1" : "cancel");
        const QString company = back ? QStringLiteral("Lee Graphics") : QStringLiteral("Moor Prints");
        const qint32 first
            = addSignup({ { "Email", QStringLiteral("sam%1@lee.example").arg(back) }, { "Company", company } });
        auto p = start(first);
        p->next();
        const qint32 made = p->state().clientId;
        ASSERT_NE(made, 0);
        // Not yet linked to the site, the new account is listed elsewhere only without web access.
        update("Clients", made, { { "WebEnable", 0 } });

        auto other = testDb().openSecond();
        config::AppContext ctx2 = ctx;
        ctx2.db = other.get();
        testsupport::ScriptedPrompter prompter2;
        ctx2.prompter = &prompter2;
        SignupProcessing::Services s2 = services();
        s2.ctx = &ctx2;
        const qint32 second = addSignup({ { "Email", QStringLiteral("al%1@lee.example").arg(back) },
            { "FullName", QStringLiteral("Al Ward%1").arg(back) }, { "Company", company } });
        {
            SignupProcessing q(s2, fetch("WebSignup", second));
            ASSERT_TRUE(q.open()) << q.told().toStdString();
            q.next();
            ASSERT_EQ(q.step(), 2);
            ASSERT_TRUE(q.chooseClient(q.clientList().rowOf(made)));
            prompter2.answer(1); // Enable web access: Yes
            prompter2.answer(1); // Contact not found: Yes, add it
            forms.answerForm({ { QStringLiteral("Position"), QStringLiteral("Buyer") } });
            q.next();
            ASSERT_EQ(q.step(), 4);
            ASSERT_TRUE(q.ok()) << q.told().toStdString();
            q.close();
        }
        const Record accepted = fetch("WebSignup", second);
        ASSERT_EQ(accepted.text("Status"), "Accepted");
        ASSERT_EQ(accepted.toLong("ClientID"), made);

        if (back)
            p->back();
        p->close();
        EXPECT_TRUE(fetch("Clients", made).isValid()) << "the account of an accepted sign-up";
        EXPECT_TRUE(fetch("Contacts", accepted.toLong("ContactID")).isValid());
        EXPECT_FALSE(rows("Offices", "CLIENTIDKEY", { made }).isEmpty());
        EXPECT_FALSE(rows("DomainLinks", "CLIENTIDDOMAINIDKEY", { made }).isEmpty());
        EXPECT_EQ(count("wc_claims"), 0);
        EXPECT_EQ(count("wc_claimitems"), 0);
    }
}

// A client matched earlier had web access; the account made for the sign-up has none of its own
// yet, so the acceptance that gives it access must not queue a contact task for it.
TEST_P(Wizard, aNewAccountDoesNotInheritTheWebAccessOfAClientMatchedBefore)
{
    signups::SignupRecords records = signups::SignupRecords::cleared();
    records.signup = fetch("WebSignup", addSignup());
    signups::SignupState state;
    state.wasWebEnabled = true;
    signups::RunWrites plain(db(), nullptr);
    signups::SignupParties parties(plain, records, state, ctx.glo.user, nullptr, {});
    ASSERT_TRUE(parties.createAccount());
    ASSERT_NE(state.clientId, 0);
    EXPECT_FALSE(state.wasWebEnabled);
}

// A client deleted elsewhere before OK: the acceptance fails, the window keeps its claim and says
// what was not found; cancelling it then gives the sign-up back.
TEST_P(Wizard, aClientDeletedElsewhereBeforeOk_failsButKeepsTheClaim)
{
    const qint32 id = addSignup({ { "Email", "jo@harbour.example" } });
    auto p = start(id);
    const qint64 claims = count("wc_claims");
    auto other = testDb().openSecond();
    ASSERT_TRUE(other->exec(QStringLiteral("DELETE FROM \"clients\" WHERE \"clientid\" = ?"), { client }).isOk());
    EXPECT_FALSE(p->ok());
    EXPECT_FALSE(p->told().contains(QStringLiteral("taken over"))) << p->told().toStdString();
    EXPECT_EQ(count("wc_claims"), claims);
    p->close();
    EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Pending");
}

// A row the window read a while ago is written with only the fields it changed, onto the row as it
// is now; a field another workstation changed meanwhile is kept, and when that is one of the
// window's own fields the write fails and says so.
TEST_P(Wizard, aWriteOfARowReadEarlier_keepsWhatAnotherWorkstationChangedMeanwhile)
{
    struct Case
    {
        const char *elsewhere; // the field another workstation changes
        bool conflict;
    };
    for (const Case &c : { Case { "Address1", false }, Case { "Name", true } }) {
        SCOPED_TRACE(c.elsewhere);
        update("Clients", client, { { "Name", "Harbour Lights" }, { "Address1", "Quay Street" } });
        Record mine = fetch("Clients", client);
        auto other = testDb().openSecond();
        bizlib::Table theirs(*other, QStringLiteral("Clients"));
        Record r = theirs.newRecord();
        ASSERT_TRUE(theirs.fetch(QStringLiteral("CLIENTIDKEY"), { client }, r).isOk());
        r.setText(c.elsewhere, QStringLiteral("Changed elsewhere"));
        ASSERT_TRUE(theirs.update(r).isOk());

        mine.setText("Name", QStringLiteral("Harbour Lights Ltd"));
        signups::RunWrites plain(db(), nullptr);
        const bizlib::Status st = plain.update(mine);
        const Record after = fetch("Clients", client);
        EXPECT_EQ(after.text(c.elsewhere), "Changed elsewhere");
        if (c.conflict) {
            EXPECT_TRUE(st.isNotFound());
            EXPECT_TRUE(st.message().contains(QStringLiteral("another workstation"))) << st.message().toStdString();
        } else {
            EXPECT_TRUE(st.isOk()) << st.message().toStdString();
            EXPECT_EQ(after.text("Name"), "Harbour Lights Ltd");
        }
    }
}

// The acceptance writes the client with what the window changed, onto the client as it is now: an
// address line changed elsewhere meanwhile stays, and the address is made from it.
TEST_P(Wizard, acceptance_keepsAClientFieldChangedElsewhereMeanwhile)
{
    const qint32 id = addSignup({ { "Email", "jo@harbour.example" } });
    auto p = start(id);
    auto other = testDb().openSecond();
    ASSERT_TRUE(other->exec(QStringLiteral("UPDATE \"clients\" SET \"address1\" = 'Pier Road' WHERE \"clientid\" = ?"),
                         { client })
                    .isOk());
    ASSERT_TRUE(p->ok()) << p->told().toStdString();
    p->close();
    ASSERT_EQ(fetch("WebSignup", id).text("Status"), "Accepted");
    const Record after = fetch("Clients", client);
    EXPECT_EQ(after.text("Address1"), "Pier Road");
    EXPECT_TRUE(after.text("Address").contains(QStringLiteral("Pier Road"))) << after.text("Address").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, Wizard, testsupport::allEngines(), testsupport::engineName);

} // namespace
