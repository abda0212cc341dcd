#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/forms/ClientForms.h"
#include "bizlib/forms/SelectLibrary.h"
#include "support/ScriptedForms.h"
#include "support/TestDatabase.h"

using bizlib::Record;
using bizlib::Status;
using bizlib::forms::Request;
using bizlib::forms::Response;

namespace {

class ClientFormsTest : public testsupport::DataTest
{
protected:
    qint64 rows(const char *table)
    {
        qint64 n = 0;
        bizlib::Table(db(), QLatin1String(table)).count(&n);
        return n;
    }
    testsupport::ScriptedForms forms;
};

TEST_P(ClientFormsTest, contactForm_savesWithTheCallersRecord_orNothing)
{
    bizlib::forms::ClientForms library(db(), forms);
    Record contact(bizlib::Dictionary::instance().require(QStringLiteral("Contacts")));
    Status error;
    EXPECT_EQ(library.updateContact(Request::Insert, contact, {}, QStringLiteral("CLI"), &error), Response::Cancelled);
    EXPECT_TRUE(error.isError()) << "a client's new contact needs its client";

    contact.setLong("ClientID", 5);
    QList<qint32> recorded;
    forms.answerForm({ { QStringLiteral("Name"), QStringLiteral("Ann Bell") } });
    EXPECT_EQ(library.updateContact(Request::Insert, contact, {}, QStringLiteral("CLI"), &error,
                  [&recorded](const Record &saved) {
                      recorded << saved.toLong("ContactID");
                      return Status::ok();
                  }),
        Response::Completed);
    ASSERT_EQ(recorded.size(), 1);
    EXPECT_EQ(recorded.first(), contact.toLong("ContactID"));
    EXPECT_EQ(contact.text("Name"), "Ann Bell");

    // The caller's part of the save fails: the row is not kept and the form stays open (then cancelled).
    Record second(bizlib::Dictionary::instance().require(QStringLiteral("Contacts")));
    second.setLong("ClientID", 5);
    forms.answerForm({ { QStringLiteral("Name"), QStringLiteral("Cy Dunn") } });
    EXPECT_EQ(library.updateContact(Request::Insert, second, {}, QStringLiteral("CLI"), &error,
                  [](const Record &) { return Status::error(QStringLiteral("claim lost")); }),
        Response::Cancelled);
    EXPECT_EQ(forms.formsShown().last().error, "claim lost");
    EXPECT_EQ(rows("Contacts"), 1);
}

TEST_P(ClientFormsTest, nominalAndTaxRateLists_showOnlyTheirType)
{
    bizlib::Table nominals(db(), QStringLiteral("NominalCodes"));
    for (const auto &[code, type] : { std::pair { "4000", "Income" }, std::pair { "5000", "Expense" } }) {
        Record r;
        ASSERT_TRUE(nominals.prime(r).isOk());
        r.setText("Nominal", QLatin1String(code));
        r.setText("NominalType", QLatin1String(type));
        ASSERT_TRUE(nominals.insert(r).isOk());
    }
    bizlib::forms::SelectLibrary lists(db(), forms);
    forms.selectRow(0);
    Record chosen;
    ASSERT_EQ(lists.viewNominals(QStringLiteral("Income"), &chosen), Response::Completed);
    EXPECT_EQ(chosen.text("Nominal"), "4000");
    EXPECT_EQ(forms.listsShown().last().rowsLoaded, 1);
    forms.cancelList();
    EXPECT_EQ(lists.viewTaxRates(QStringLiteral("Sales"), &chosen), Response::Cancelled);
}

INSTANTIATE_TEST_SUITE_P(Engines, ClientFormsTest, testsupport::allEngines(), testsupport::engineName);

} // namespace
