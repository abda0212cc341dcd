#include "SignupFixture.h"

#include "signups/ui/ClientUpdatePage.h"
#include "signups/ui/WebSignupProcess.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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
    ASSERT_NE(window.clientUpdatePage()->editorFor(QStringLiteral("Code")), nullptr);
    EXPECT_TRUE(window.nextButton()->isEnabled()) << "the account has its code and name";
    shoot(window, QStringLiteral("3-client-update"));
    EXPECT_EQ(count("Clients"), 2);
    window.reject();
    EXPECT_EQ(count("Clients"), 1);
    EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Pending");
}

TEST_P(WizardWindow, clientList_marksItsRows_locatesByName_andFiltersByWebStatus)
{
    update("Clients", client, { { "OnStop", 1 }, { "NoteID", 7 }, { "WebEnable", 0 } });
    const qint32 quay = add("Clients", { { "Code", "QUAY01" }, { "Name", "Quay Prints" }, { "NameCaps", "QUAY PRINTS" },
                                           { "WebEnable", 1 } })
                            .toLong("ClientID");
    const qint32 id = addSignup({ { "Company", "Harbour Lights Ltd" } });
    signups::SignupProcessing processing(services(), fetch("WebSignup", id));
    ASSERT_TRUE(processing.open());
    signups::ui::WebSignupProcess window(processing, QString());
    window.show();
    window.nextButton()->click();
    ASSERT_EQ(window.pages()->currentIndex(), 1);
    QAbstractItemModel *list = window.clientView()->model();
    QAbstractItemModelTester tester(list, QAbstractItemModelTester::FailureReportingMode::Warning);
    const int harbour = processing.clientList().rowOf(client);
    EXPECT_EQ(window.clientView()->currentIndex().row(), harbour) << "the client the search proposed is chosen";
    shoot(window, QStringLiteral("2-client-marks"));
    struct Mark
    {
        int row;
        int column;
        const char *tip;
    };
    const int quayRow = processing.clientList().rowOf(quay);
    for (const Mark &m : { Mark { harbour, 0, "On stop, Has a note" }, Mark { harbour, 1, "No web access" },
             Mark { quayRow, 1, "Web access enabled" } }) {
        SCOPED_TRACE(m.tip);
        const QModelIndex at = list->index(m.row, m.column);
        EXPECT_EQ(list->data(at, Qt::ToolTipRole).toString(), QLatin1String(m.tip));
        EXPECT_FALSE(qvariant_cast<QIcon>(list->data(at, Qt::DecorationRole)).isNull());
    }
    EXPECT_FALSE(list->data(list->index(quayRow, 0), Qt::DecorationRole).isValid()) << "no marks, no picture";
    EXPECT_EQ(list->data(list->index(quayRow, 0)).toString(), "Quay Prints");

    QTest::keyClicks(window.locator(), QStringLiteral("qua"));
    EXPECT_EQ(window.clientView()->currentIndex().row(), quayRow);
    EXPECT_EQ(processing.records().clientAlias.toLong("ClientID"), quay);

    window.webStatusFilter()->setCurrentIndex(window.webStatusFilter()->findText(QStringLiteral("Disabled")));
    EXPECT_EQ(processing.clientList().rowOf(quay), -1);
    ASSERT_GE(processing.clientList().rowOf(client), 0);
    window.clientView()->selectRow(processing.clientList().rowOf(client));
    window.webStatusFilter()->setCurrentIndex(window.webStatusFilter()->findText(QStringLiteral("Both")));
    EXPECT_EQ(window.clientView()->currentIndex().row(), processing.clientList().rowOf(client))
        << "the chosen client stays chosen when the filter changes";
    window.reject();
}

TEST_P(WizardWindow, clientUpdatePage_dropListsLookupsAndNextFollowTheLogic)
{
    add("NominalCodes", { { "Nominal", "4000" }, { "NominalType", "Income" }, { "TaxCode", "S" } });
    add("TaxRates", { { "TaxCode", "S" }, { "TaxType", "Sales" } });
    const qint32 id = addSignup();
    signups::SignupProcessing processing(services(), fetch("WebSignup", id));
    ASSERT_TRUE(processing.open());
    signups::ui::WebSignupProcess window(processing, QString());
    window.show();
    window.nextButton()->click();
    ASSERT_EQ(window.pages()->currentIndex(), 2);
    signups::ui::ClientUpdatePage *page = window.clientUpdatePage();

    auto *payment = qobject_cast<QComboBox *>(page->editorFor(QStringLiteral("Payment")));
    ASSERT_NE(payment, nullptr);
    QStringList items;
    for (int i = 0; i < payment->count(); ++i)
        items << payment->itemText(i);
    EXPECT_EQ(items, QStringList({ "Credit", "Prepay", "COD" }));
    payment->setCurrentIndex(1);
    emit payment->activated(1);
    EXPECT_EQ(processing.clientForm()->fieldText(QStringLiteral("Payment")), "Prepay");

    forms.selectRow(0);
    auto *nominalLookup = page->findChild<QPushButton *>(QStringLiteral("NominalLookup"));
    ASSERT_NE(nominalLookup, nullptr);
    nominalLookup->click();
    EXPECT_EQ(qobject_cast<QLineEdit *>(page->editorFor(QStringLiteral("Nominal")))->text(), "4000");
    EXPECT_EQ(qobject_cast<QLineEdit *>(page->editorFor(QStringLiteral("TaxCode")))->text(), "S")
        << "the nominal's tax code is shown too";
    ASSERT_NE(page->findChild<QLabel *>(QStringLiteral("siteDomain")), nullptr);
    EXPECT_EQ(page->findChild<QLabel *>(QStringLiteral("siteDomain"))->text(), "Shop");

    auto *code = qobject_cast<QLineEdit *>(page->editorFor(QStringLiteral("Code")));
    ASSERT_NE(code, nullptr);
    code->selectAll();
    QTest::keyClick(code, Qt::Key_Delete);
    EXPECT_FALSE(window.nextButton()->isEnabled());
    QTest::keyClicks(code, QStringLiteral("HARB01"));
    EXPECT_TRUE(window.nextButton()->isEnabled());
    emit code->editingFinished();
    EXPECT_EQ(prompter.shown().last().caption, "Duplicate client-code");
    EXPECT_FALSE(window.nextButton()->isEnabled());
    shoot(window, QStringLiteral("3-client-update"));
    window.reject();
}

TEST_P(WizardWindow, keepsItsSizeAndListColumns_underItsNameInTheWindowSettings)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("windows.ini"));
    const qint32 id = addSignup();
    const auto openWindow = [&](const std::function<void(signups::ui::WebSignupProcess &)> &use) {
        signups::SignupProcessing processing(services(), fetch("WebSignup", id));
        ASSERT_TRUE(processing.open());
        signups::ui::WebSignupProcess window(processing, ini);
        use(window);
        window.reject();
    };
    openWindow([](signups::ui::WebSignupProcess &w) {
        w.resize(1010, 640);
        w.clientView()->horizontalHeader()->resizeSection(0, 321);
        w.contactView()->horizontalHeader()->resizeSection(1, 77);
    });
    openWindow([](signups::ui::WebSignupProcess &w) {
        EXPECT_EQ(w.size(), QSize(1010, 640));
        EXPECT_EQ(w.clientView()->horizontalHeader()->sectionSize(0), 321);
        EXPECT_EQ(w.contactView()->horizontalHeader()->sectionSize(1), 77);
    });
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[WebSignupProcess]"));
    EXPECT_TRUE(text.contains("ClientsColumns"));
    EXPECT_TRUE(text.contains("ContactsColumns"));
}

TEST_P(WizardWindow, contactList_tagsOnlyWhatTheUserClicks)
{
    add("Contacts", { { "ClientID", client }, { "Name", "Al Ward" }, { "Status", "Active" } });
    const qint32 id = addSignup({ { "Company", "Harbour Lights Ltd" } });
    signups::SignupProcessing processing(services(), fetch("WebSignup", id));
    ASSERT_TRUE(processing.open());
    signups::ui::WebSignupProcess window(processing, QString());
    window.show();
    window.nextButton()->click();
    prompter.answer(1); // Enable web access: Yes
    prompter.answer(2); // Contact not found: No, do not add Sam Lee
    window.nextButton()->click();
    ASSERT_EQ(window.pages()->currentIndex(), 3);
    QTableView *contacts = window.contactView();
    // What a list does when it gets the focus.
    contacts->setCurrentIndex(contacts->model()->index(0, 0));
    EXPECT_EQ(processing.state().contactId, 0);
    EXPECT_FALSE(window.okButton()->isEnabled());
    const int jo = processing.contactList().rowOf(contact);
    const QRect cell = contacts->visualRect(contacts->model()->index(jo, 1));
    QTest::mouseClick(contacts->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(processing.state().contactId, contact);
    EXPECT_TRUE(window.okButton()->isEnabled());
    EXPECT_TRUE(contacts->model()->data(contacts->model()->index(jo, 0), Qt::ToolTipRole).toString().contains("registered"));
    window.reject();
}

INSTANTIATE_TEST_SUITE_P(Engines, WizardWindow, testing::Values(testsupport::Engine::SQLite), testsupport::engineName);

} // namespace
