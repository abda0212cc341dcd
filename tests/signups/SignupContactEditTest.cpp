#include "SignupFixture.h"

#include "data/ClaimBook.h"
#include "data/ClaimCleanup.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"

// Edits made through the contact form on the wizard's Contacts step belong to the run: a cancel,
// or the cleanup after a workstation that died with the wizard open, gives the contact its earlier
// values back, except where another workstation has changed a field since.

using bizlib::Record;
using bizlib::forms::Response;
using signups::SignupProcessing;

namespace {

class ContactEdit : public signuptest::SignupTest
{
protected:
    // Jo Marsh signs up again: matched by e-mail, the wizard goes to her client's Contacts step.
    std::unique_ptr<SignupProcessing> toContacts(qint32 *signupId)
    {
        update("Contacts", contact, { { "Position", "Clerk" }, { "Tel", "0100" }, { "WebEnable", 0 } });
        *signupId = addSignup({ { "Email", "jo@harbour.example" }, { "FullName", "Jo Marsh" } });
        auto p = std::make_unique<SignupProcessing>(services(), fetch("WebSignup", *signupId));
        EXPECT_TRUE(p->open()) << p->told().toStdString();
        p->next();
        EXPECT_TRUE(p->chooseClient(p->clientList().rowOf(client)));
        p->next();
        EXPECT_EQ(p->step(), 4);
        return p;
    }

    void changeElsewhere(const char *field, const QString &value)
    {
        auto other = testDb().openSecond();
        bizlib::Table contacts(*other, QStringLiteral("Contacts"));
        Record c = contacts.newRecord();
        ASSERT_TRUE(contacts.fetch(QStringLiteral("CONTACTIDKEY"), { contact }, c).isOk());
        c.setText(field, value);
        ASSERT_TRUE(contacts.update(c).isOk());
    }
};

TEST_P(ContactEdit, cancelOrCrashCleanup_putsTheEditedFieldsBack_butKeepsAChangeMadeElsewhereSince)
{
    for (const bool crashed : { false, true }) {
        SCOPED_TRACE(crashed ? "cleanup after a crash" : "cancel");
        qint32 id = 0;
        auto p = toContacts(&id);
        const int row = p->contactList().rowOf(contact);
        ASSERT_GE(row, 0);
        forms.answerForm({ { QStringLiteral("Position"), QStringLiteral("Buyer") },
            { QStringLiteral("Tel"), QStringLiteral("0200") }, { QStringLiteral("Mobile"), QStringLiteral("07000") } });
        ASSERT_EQ(p->editContact(row), Response::Completed) << p->told().toStdString();
        EXPECT_EQ(fetch("Contacts", contact).text("Position"), "Buyer");
        changeElsewhere("Tel", QStringLiteral("0300"));
        if (crashed) {
            // The next console finds the claim of a holder that is gone.
            data::ClaimHolder holder;
            ASSERT_TRUE(data::ClaimBook(db()).holderOf(QStringLiteral("WebSignup"), id, &holder).isOk());
            data::ClaimCleanup cleanup(db(), { files.path() }, 10);
            data::ClaimCleanup::Report report;
            ASSERT_TRUE(cleanup.cleanUp(holder, &report).isOk());
            EXPECT_GE(report.restored, 2);
        }
        p->close();
        const Record jo = fetch("Contacts", contact);
        EXPECT_EQ(jo.text("Position"), "Clerk");
        EXPECT_EQ(jo.text("Mobile"), "");
        EXPECT_EQ(jo.text("Tel"), "0300") << "changed elsewhere after the edit";
        EXPECT_EQ(jo.toLong("WebEnable"), 0);
        EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Pending");
        EXPECT_EQ(count("wc_claimitems"), 0);
    }
}

TEST_P(ContactEdit, acceptedSignup_keepsTheEdits)
{
    qint32 id = 0;
    auto p = toContacts(&id);
    forms.answerForm({ { QStringLiteral("Position"), QStringLiteral("Buyer") } });
    ASSERT_EQ(p->editContact(p->contactList().rowOf(contact)), Response::Completed);
    ASSERT_TRUE(p->ok()) << p->told().toStdString();
    p->close();
    EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Accepted");
    EXPECT_EQ(fetch("Contacts", contact).text("Position"), "Buyer");
}

TEST_P(ContactEdit, afterATakeOverElsewhere_theFormSavesNothing)
{
    qint32 id = 0;
    auto p = toContacts(&id);
    auto other = testDb().openSecond();
    testsupport::ScriptedPrompter elsewhere;
    elsewhere.answer(2); // Unlock
    data::RequestClaim taker(*other, data::ClaimVariant::signupProcessing(), id, &elsewhere);
    ASSERT_EQ(taker.claim(false), data::RequestClaim::Outcome::Unlocked);
    forms.answerForm({ { QStringLiteral("Position"), QStringLiteral("Buyer") } });
    EXPECT_EQ(p->editContact(p->contactList().rowOf(contact)), Response::Cancelled);
    ASSERT_FALSE(forms.formsShown().isEmpty());
    EXPECT_FALSE(forms.formsShown().last().error.isEmpty()) << "the form said why it could not save";
    EXPECT_EQ(fetch("Contacts", contact).text("Position"), "Clerk");
}

TEST_P(ContactEdit, ofAContactTheWizardMade_needsNothingPutBack_andGoesOnCancel)
{
    const qint32 id = addSignup();
    auto p = std::make_unique<SignupProcessing>(services(), fetch("WebSignup", id));
    ASSERT_TRUE(p->open());
    p->next();
    p->next();
    ASSERT_EQ(p->step(), 4);
    const qint32 made = p->state().contactId;
    ASSERT_NE(made, 0);
    forms.answerForm({ { QStringLiteral("Position"), QStringLiteral("Owner") } });
    ASSERT_EQ(p->editContact(p->contactList().rowOf(made)), Response::Completed) << p->told().toStdString();
    EXPECT_EQ(fetch("Contacts", made).text("Position"), "Owner");
    p->close();
    EXPECT_FALSE(fetch("Contacts", made).isValid());
    EXPECT_EQ(count("Contacts"), 1);
    EXPECT_EQ(count("wc_claimitems"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, ContactEdit, testsupport::allEngines(), testsupport::engineName);

} // namespace
