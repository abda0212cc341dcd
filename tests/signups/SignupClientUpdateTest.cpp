#include "SignupFixture.h"

// The Client-update step's fields as the logic checks them, and the Client step's choice.

using bizlib::Record;
using signups::SignupProcessing;

namespace {

class ClientUpdate : public signuptest::SignupTest
{
protected:
    std::unique_ptr<SignupProcessing> toClientUpdate()
    {
        auto p = std::make_unique<SignupProcessing>(services(), fetch("WebSignup", addSignup()));
        EXPECT_TRUE(p->open()) << p->told().toStdString();
        p->next();
        EXPECT_EQ(p->step(), 3);
        EXPECT_NE(p->clientForm(), nullptr);
        return p;
    }
    static void edit(const std::unique_ptr<SignupProcessing> &p, const char *field, const char *value)
    {
        ASSERT_TRUE(p->clientForm()->setFieldText(QLatin1String(field), QLatin1String(value)));
    }
};

TEST_P(ClientUpdate, dropLists_takeTheirChoicesOnly_andTheAccountIsWrittenWithThem)
{
    struct Case
    {
        const char *field;
        const char *value;
        bool taken;
        const char *after; // the field's value after the check
    };
    const Case cases[] = { { "Payment", "Cash", false, "Credit" }, { "Payment", "Prepay", true, "Prepay" },
        { "Terms", "45", false, "" }, { "Terms", "30", true, "30" }, { "ClientType", "Customer", false, "" },
        { "ClientType", "Prospect", true, "Prospect" } };
    auto p = toClientUpdate();
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.value);
        ASSERT_TRUE(p->clientForm()->setFieldText(QLatin1String(c.field), QLatin1String(c.value)));
        EXPECT_EQ(p->clientFieldEdited(QLatin1String(c.field)), c.taken);
        EXPECT_EQ(p->clientForm()->fieldText(QLatin1String(c.field)), QLatin1String(c.after));
    }
    EXPECT_EQ(SignupProcessing::clientChoices(QStringLiteral("Terms")),
        QStringList({ "COD", "7", "14", "30", "60", "90" }));
    EXPECT_TRUE(SignupProcessing::clientChoices(QStringLiteral("Name")).isEmpty());
    p->next();
    ASSERT_EQ(p->step(), 4);
    const Record account = fetch("Clients", p->state().clientId);
    EXPECT_EQ(account.text("Payment"), "Prepay");
    EXPECT_EQ(account.text("Terms"), "30");
    EXPECT_EQ(account.text("ClientType"), "Prospect");
}

TEST_P(ClientUpdate, nominal_takesItsTaxCode_andAnUnknownOneOpensTheListWhereCancelKeepsTheUserThere)
{
    add("NominalCodes", { { "Nominal", "4000" }, { "NominalType", "Income" }, { "TaxCode", "S" } });
    add("NominalCodes", { { "Nominal", "5000" }, { "NominalType", "Expense" }, { "TaxCode", "P" } });
    add("TaxRates", { { "TaxCode", "S" }, { "TaxType", "Sales" } });
    auto p = toClientUpdate();
    edit(p, "Nominal", "4000");
    EXPECT_TRUE(p->clientFieldEdited(QStringLiteral("Nominal")));
    EXPECT_EQ(p->clientForm()->fieldText(QStringLiteral("TaxCode")), "S");

    edit(p, "Nominal", "5000"); // known, but no income code
    EXPECT_FALSE(p->clientFieldEdited(QStringLiteral("Nominal")));

    edit(p, "Nominal", "9999");
    forms.cancelList();
    EXPECT_FALSE(p->clientFieldEdited(QStringLiteral("Nominal")));
    ASSERT_EQ(forms.listsShown().size(), 1);
    EXPECT_EQ(forms.listsShown().first().rowsLoaded, 1) << "income codes only";

    // The "..." button: the chosen code runs the field's own check.
    forms.selectRow(0);
    EXPECT_EQ(p->lookup(SignupProcessing::Lookup::Nominal), bizlib::forms::Response::Completed);
    EXPECT_EQ(p->clientForm()->fieldText(QStringLiteral("Nominal")), "4000");
}

TEST_P(ClientUpdate, siteDomain_isShownByItsDescription)
{
    auto p = toClientUpdate();
    EXPECT_EQ(p->siteDomainText(), "Shop");
    ASSERT_TRUE(p->clientForm()->isEditable(p->clientForm()->rowOf(QStringLiteral("Code"))));
    EXPECT_FALSE(p->clientForm()->isEditable(p->clientForm()->rowOf(QStringLiteral("DomainID"))));
}

TEST_P(ClientUpdate, typingTheCodeOrName_enablesNextOnlyWhileBothAreFilled)
{
    auto p = toClientUpdate();
    ASSERT_TRUE(p->nextEnabled());
    p->clientFieldTyped(QStringLiteral("Code"), QString());
    EXPECT_FALSE(p->nextEnabled());
    p->clientFieldTyped(QStringLiteral("Code"), QStringLiteral("LEEG01"));
    EXPECT_TRUE(p->nextEnabled());
    p->clientFieldTyped(QStringLiteral("Name"), QStringLiteral("  "));
    EXPECT_FALSE(p->nextEnabled());
}

TEST_P(ClientUpdate, clientStep_goesOnOnlyWithAClientOfTheList)
{
    // The way back to the first step takes away the account the wizard made; the wizard proposed
    // that account's client alias, which no list shows any more.
    const qint32 id = addSignup({ { "Company", "Harbour Lights Ltd" } });
    auto p = std::make_unique<SignupProcessing>(services(), fetch("WebSignup", id));
    ASSERT_TRUE(p->open());
    p->chooseMethod(QStringLiteral("New"));
    p->next();
    ASSERT_EQ(p->step(), 3);
    p->back();
    p->chooseMethod(QStringLiteral("Existing"));
    p->next();
    ASSERT_EQ(p->step(), 2);
    p->next();
    EXPECT_EQ(p->step(), 2);
    EXPECT_EQ(prompter.lastText(), SignupProcessing::noClientChosenText());

    // A client deleted by another workstation after the list was read.
    const qint32 gone = add("Clients", { { "Code", "GONE01" }, { "Name", "Gone Ltd" }, { "NameCaps", "GONE LTD" },
                                           { "WebEnable", 1 } })
                            .toLong("ClientID");
    p->back();
    p->next();
    ASSERT_TRUE(p->chooseClient(p->clientList().rowOf(gone)));
    {
        auto other = testDb().openSecond();
        bizlib::Table clients(*other, QStringLiteral("Clients"));
        Record row = clients.newRecord();
        row.setLong("ClientID", gone);
        ASSERT_TRUE(clients.remove(row).isOk());
    }
    p->next();
    EXPECT_EQ(p->step(), 2);
    EXPECT_TRUE(p->told().contains("could not be read")) << p->told().toStdString();
    EXPECT_EQ(p->clientList().rowOf(gone), -1) << "the list is read again";
    p->close();
    EXPECT_EQ(count("Clients"), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, ClientUpdate, testsupport::allEngines(), testsupport::engineName);

} // namespace
