#include "SignupFixture.h"

#include "signups/ui/WebSignupProcess.h"

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>

using bizlib::forms::Response;

namespace {

class WizardWindow : public signuptest::SignupTest
{
protected:
    // WEBCONSOLE_SHOTS=folder keeps a picture of each page, to look at the window.
    void shoot(QWidget &w, const QString &name)
    {
        const QString folder = qEnvironmentVariable("WEBCONSOLE_SHOTS");
        if (!folder.isEmpty())
            w.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }
};

TEST_P(WizardWindow, buttonsFollowTheSteps_andOkAcceptsTheSignup)
{
    const qint32 id = addSignup({ { "Company", "Harbour Lights Ltd" }, { "FullName", "Jo Marsh" },
        { "FirstName", "Jo" }, { "LastName", "Marsh" }, { "Email", "jo.new@harbour.example" } });
    signups::SignupProcessing processing(services(), fetch("WebSignup", id));
    ASSERT_TRUE(processing.open());
    signups::ui::WebSignupProcess window(processing, QString());
    window.show();
    EXPECT_EQ(window.pages()->currentIndex(), 0);
    EXPECT_TRUE(window.existingOption()->isChecked()) << "the company-name search found Harbour Lights";
    EXPECT_FALSE(window.backButton()->isEnabled());
    EXPECT_FALSE(window.okButton()->isEnabled());
    shoot(window, QStringLiteral("1-method"));
    window.nextButton()->click();
    EXPECT_EQ(window.pages()->currentIndex(), 1);
    EXPECT_TRUE(window.backButton()->isEnabled());
    window.clientView()->selectRow(processing.clientList().rowOf(client));
    shoot(window, QStringLiteral("2-client"));
    prompter.answer(1); // Enable web access: Yes
    window.nextButton()->click();
    ASSERT_EQ(window.pages()->currentIndex(), 3) << "an existing client goes straight to the contacts";
    EXPECT_FALSE(window.nextButton()->isEnabled());
    EXPECT_TRUE(window.okButton()->isEnabled()) << "Jo Marsh is a contact of Harbour Lights already";
    shoot(window, QStringLiteral("4-contacts"));
    window.okButton()->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(processing.response(), Response::Completed);
    EXPECT_EQ(fetch("WebSignup", id).toLong("ContactID"), contact);
}

TEST_P(WizardWindow, newCustomer_showsTheAccountForm_andCancelRemovesIt)
{
    const qint32 id = addSignup();
    signups::SignupProcessing processing(services(), fetch("WebSignup", id));
    ASSERT_TRUE(processing.open());
    signups::ui::WebSignupProcess window(processing, QString());
    window.show();
    window.nextButton()->click();
    ASSERT_EQ(window.pages()->currentIndex(), 2);
    ASSERT_NE(window.clientFormView()->model(), nullptr);
    EXPECT_TRUE(window.nextButton()->isEnabled()) << "the account has its code and name";
    shoot(window, QStringLiteral("3-client-update"));
    EXPECT_EQ(count("Clients"), 2);
    window.reject();
    EXPECT_EQ(count("Clients"), 1);
    EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Pending");
}

INSTANTIATE_TEST_SUITE_P(Engines, WizardWindow, testing::Values(testsupport::Engine::SQLite), testsupport::engineName);

} // namespace
