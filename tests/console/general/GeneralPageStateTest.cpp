#include "console/general/GeneralPageState.h"

#include "bizlib/Dictionary.h"
#include "bizlib/Record.h"
#include "console/RequestRef.h"

#include <gtest/gtest.h>

using console::GeneralPageState;
using console::RequestRef;
using Focus = console::RequestLists::Focus;

namespace {

bizlib::Record record(const char *table)
{
    return bizlib::Record(bizlib::Dictionary::instance().require(QString::fromLatin1(table)));
}

bizlib::Record quote(qint32 id)
{
    bizlib::Record r = record("WebQuotes");
    r.setLong("QuoteID", id);
    r.setLong("WebID", 500 + id);
    r.setText("Spec", QString(2000, u's'));
    return r;
}

bizlib::Record order(qint32 id, const QString &type, int prepay = 0, int prepaid = 0)
{
    bizlib::Record r = record("WebOrders");
    r.setLong("OrderID", id);
    r.setText("OrderType", type);
    r.setText("Spec", QStringLiteral("Beer mats, 95mm round   "));
    r.setLong("Prepay", prepay);
    r.setLong("Prepaid", prepaid);
    return r;
}

constexpr GeneralPageState::Button kShown { true, true };
constexpr GeneralPageState::Button kHidden { false, false };

TEST(CurrentRequest, notesAndAttachmentsFollowTheQuoteOnlyWhileTheQuoteListIsCurrentWithARow)
{
    const bizlib::Record q = quote(7);
    const bizlib::Record o = order(9, QStringLiteral("Product"));
    EXPECT_EQ(RequestRef::forDetails(Focus::Quotes, &q, &o), (RequestRef { RequestRef::Kind::Quote, 7, 507 }));
    EXPECT_EQ(RequestRef::forDetails(Focus::Orders, &q, &o).id, 9);
    EXPECT_EQ(RequestRef::forDetails(Focus::Signups, &q, &o).kind, RequestRef::Kind::Order);
    EXPECT_EQ(RequestRef::forDetails(Focus::Quotes, nullptr, &o).id, 9) << "no quote selected: the order";
    const RequestRef none = RequestRef::forDetails(Focus::Quotes, nullptr, nullptr);
    EXPECT_FALSE(none.isSet());

    // New notes and attachments go only to the current list's row; sign-ups take none.
    EXPECT_EQ(RequestRef::forNew(Focus::Quotes, &q, &o).kind, RequestRef::Kind::Quote);
    EXPECT_EQ(RequestRef::forNew(Focus::Orders, &q, &o).kind, RequestRef::Kind::Order);
    EXPECT_FALSE(RequestRef::forNew(Focus::Signups, &q, &o).isSet());
    EXPECT_FALSE(RequestRef::forNew(Focus::Elsewhere, &q, &o).isSet());
    EXPECT_FALSE(RequestRef::forNew(Focus::Quotes, nullptr, &o).isSet());
}

TEST(GeneralPageRules, aQuoteRowShowsItsButtonsAndUpTo1024CharactersOfItsSpecification)
{
    GeneralPageState s(false);
    const bizlib::Record q = quote(3);
    s.selectList(Focus::Quotes);
    s.newQuoteRow(&q);
    EXPECT_EQ(s.controls().quoteProcess, kShown);
    EXPECT_EQ(s.controls().quoteReject, kShown);
    EXPECT_EQ(s.controls().detailsText.size(), 1024);
    EXPECT_FALSE(s.controls().showItems);
    EXPECT_EQ(s.controls().paid, kHidden);
    s.newQuoteRow(nullptr);
    EXPECT_EQ(s.controls().quoteProcess, kHidden);
    EXPECT_TRUE(s.controls().detailsText.isEmpty());
}

TEST(GeneralPageRules, productOrdersShowItemsServiceOrdersOfAnyLetterCaseShowTheirSpecification)
{
    GeneralPageState s(false);
    s.selectList(Focus::Orders);
    const bizlib::Record product = order(1, QStringLiteral("Product"));
    s.newOrderRow(&product);
    EXPECT_TRUE(s.controls().showItems);
    EXPECT_EQ(s.controls().orderProcess, kShown);
    const bizlib::Record service = order(2, QStringLiteral("service"));
    s.newOrderRow(&service);
    EXPECT_FALSE(s.controls().showItems);
    EXPECT_EQ(s.controls().detailsText, QStringLiteral("Beer mats, 95mm round"));
    s.newOrderRow(nullptr);
    EXPECT_EQ(s.controls().orderProcess, kHidden);
    EXPECT_EQ(s.controls().orderReject, kHidden);
    EXPECT_FALSE(s.controls().showItems);
    EXPECT_TRUE(s.controls().detailsText.isEmpty());
}

TEST(GeneralPageRules, paidNeedsRight44AndAPrepayOrderNotYetPaid)
{
    const bizlib::Record unpaid = order(1, QStringLiteral("Product"), 1, 0);
    const bizlib::Record paid = order(2, QStringLiteral("Product"), 1, 1);
    const bizlib::Record credit = order(3, QStringLiteral("Product"), 0, 0);

    GeneralPageState allowed(true);
    allowed.selectList(Focus::Orders);
    EXPECT_TRUE(allowed.controls().paid.visible);
    allowed.newOrderRow(&unpaid);
    EXPECT_EQ(allowed.controls().paid, kShown);
    allowed.newOrderRow(&paid);
    EXPECT_EQ(allowed.controls().paid, kHidden);
    allowed.newOrderRow(&credit);
    EXPECT_EQ(allowed.controls().paid, kHidden);
    allowed.newOrderRow(&unpaid);
    allowed.selectList(Focus::Quotes);
    EXPECT_EQ(allowed.controls().paid, kHidden) << "the quote list hides Paid";

    GeneralPageState refused(false);
    refused.selectList(Focus::Orders);
    refused.newOrderRow(&unpaid);
    EXPECT_EQ(refused.controls().paid, kHidden);
}

TEST(GeneralPageRules, selectingAListDisablesTheOtherListsButtonsAndSignupsDisableTheDetailPages)
{
    GeneralPageState s(true);
    const bizlib::Record q = quote(1);
    const bizlib::Record o = order(2, QStringLiteral("Product"));
    bizlib::Record signup = record("WebSignup");
    signup.setLong("WebSignupID", 5);
    s.newQuoteRow(&q);
    s.newOrderRow(&o);
    s.newSignupRow(&signup, {});
    EXPECT_EQ(s.controls().signupProcess, kShown);
    EXPECT_FALSE(s.controls().quoteProcess.enabled) << "a sign-up row disables the quote and order buttons";
    EXPECT_FALSE(s.controls().orderReject.enabled);
    EXPECT_TRUE(s.controls().quoteProcess.visible);

    s.selectList(Focus::Quotes);
    s.newQuoteRow(&q);
    EXPECT_EQ(s.controls().quoteProcess, kShown);
    EXPECT_FALSE(s.controls().signupProcess.enabled);
    EXPECT_TRUE(s.controls().signupProcess.visible);
    EXPECT_TRUE(s.controls().notesPage);

    s.selectList(Focus::Signups);
    EXPECT_EQ(s.current(), Focus::Signups);
    EXPECT_FALSE(s.controls().quoteProcess.enabled);
    EXPECT_FALSE(s.controls().attachmentsPage);
    EXPECT_FALSE(s.controls().notesPage);
    EXPECT_EQ(s.controls().paid, kHidden);

    s.selectList(Focus::Orders);
    EXPECT_TRUE(s.controls().attachmentsPage);
    EXPECT_TRUE(s.controls().detailsPage);
    EXPECT_FALSE(s.controls().signupReject.enabled);
}

TEST(GeneralPageRules, signupDetailsListTheAddressThenCountryThenTelephoneAndEmail)
{
    bizlib::Record s = record("WebSignup");
    s.setText("Company", QStringLiteral("Lloyd & Rees"));
    s.setText("Address1", QStringLiteral("1 High St"));
    s.setText("Town", QStringLiteral("York"));
    s.setText("Postcode", QStringLiteral("YO1 8QJ"));
    s.setText("Tel", QStringLiteral("01904 000000"));
    s.setText("Email", QStringLiteral("g@example.com"));
    EXPECT_EQ(GeneralPageState::signupDetails(s, QStringLiteral("United Kingdom")),
        QStringLiteral("Lloyd & Rees\r\n1 High St\r\n\r\n\r\nYork\r\n\r\nYO1 8QJ\r\nUnited Kingdom\r\n\r\n"
                       "Tel: 01904 000000\r\nEmail: g@example.com"));
    EXPECT_EQ(GeneralPageState::signupDetails(s, {}),
        QStringLiteral("Lloyd & Rees\r\n1 High St\r\n\r\n\r\nYork\r\n\r\nYO1 8QJ\r\n\r\n"
                       "Tel: 01904 000000\r\nEmail: g@example.com"))
        << "no country: a line break instead of the country and the blank line";
}

} // namespace
