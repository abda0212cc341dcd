#include "console/general/GeneralPageState.h"

#include "bizlib/Record.h"
#include "console/general/OrderListModel.h"

#include <QCoreApplication>

namespace console {

namespace {

QString clipped(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return s.left(n);
}

constexpr GeneralPageState::Button kShown { true, true };
constexpr GeneralPageState::Button kHidden { false, false };

void disable(GeneralPageState::Button &b)
{
    b.enabled = false;
}

} // namespace

GeneralPageState::GeneralPageState(bool mayMarkPaid)
    : m_mayMarkPaid(mayMarkPaid)
{ }

void GeneralPageState::selectList(RequestLists::Focus list)
{
    m_current = list;
    Controls &c = m_controls;
    switch (list) {
    case RequestLists::Focus::Quotes:
        for (Button *b : { &c.orderProcess, &c.orderReject, &c.signupProcess, &c.signupReject })
            disable(*b);
        c.paid = kHidden;
        c.detailsPage = c.attachmentsPage = c.notesPage = true;
        break;
    case RequestLists::Focus::Orders:
        for (Button *b : { &c.quoteProcess, &c.quoteReject, &c.signupProcess, &c.signupReject })
            disable(*b);
        c.detailsPage = c.attachmentsPage = c.notesPage = true;
        // Paid is shown to a user who may mark orders as paid; whether it is enabled follows the
        // order row (the order list is sent a new selection for that).
        c.paid.visible = m_mayMarkPaid;
        if (!m_mayMarkPaid)
            c.paid.enabled = false;
        break;
    case RequestLists::Focus::Signups:
        for (Button *b : { &c.quoteProcess, &c.quoteReject, &c.orderProcess, &c.orderReject })
            disable(*b);
        c.paid = kHidden;
        c.detailsPage = c.attachmentsPage = c.notesPage = false;
        break;
    case RequestLists::Focus::Elsewhere:
        break;
    }
}

void GeneralPageState::newQuoteRow(const bizlib::Record *quote)
{
    Controls &c = m_controls;
    c.showItems = false;
    if (quote && quote->toLong("QuoteID") != 0) {
        c.quoteProcess = c.quoteReject = kShown;
        c.detailsText = quoteDetails(*quote);
    } else {
        c.quoteProcess = c.quoteReject = kHidden;
        c.detailsText.clear();
    }
}

void GeneralPageState::newOrderRow(const bizlib::Record *order)
{
    Controls &c = m_controls;
    if (order && order->toLong("OrderID") != 0) {
        c.orderProcess = c.orderReject = kShown;
        if (OrderListModel::isServiceOrder(*order)) {
            c.showItems = false;
            c.detailsText = clipped(order->text("Spec"));
        } else {
            c.showItems = true;
            c.detailsText.clear();
        }
        const bool payable = order->toLong("Prepay") == 1 && order->toLong("Prepaid") == 0;
        c.paid = m_mayMarkPaid && payable ? kShown : kHidden;
    } else {
        c.orderProcess = c.orderReject = c.paid = kHidden;
        c.detailsText.clear();
        c.showItems = false;
    }
}

void GeneralPageState::newSignupRow(const bizlib::Record *signup, const QString &countryName)
{
    Controls &c = m_controls;
    c.showItems = false;
    if (signup && signup->toLong("WebSignupID") != 0) {
        c.signupProcess = c.signupReject = kShown;
        c.detailsText = signupDetails(*signup, countryName, QCoreApplication::translate("console", "Tel:"),
            QCoreApplication::translate("console", "Email:"));
    } else {
        c.signupProcess = c.signupReject = kHidden;
        c.detailsText.clear();
    }
    for (Button *b : { &c.quoteProcess, &c.quoteReject, &c.orderProcess, &c.orderReject })
        disable(*b);
}

QString GeneralPageState::signupDetails(
    const bizlib::Record &signup, const QString &countryName, const QString &tel, const QString &email)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = clipped(signup.text("Company"));
    for (const char *field : { "Address1", "Address2", "Address3", "Town", "County", "Postcode" })
        text += crlf + clipped(signup.text(QString::fromLatin1(field)));
    text += crlf;
    const QString country = clipped(countryName);
    text += country.isEmpty() ? crlf : country + crlf + crlf;
    text += tel + u' ' + clipped(signup.text("Tel")) + crlf + email + u' ' + clipped(signup.text("Email"));
    return text;
}

QString GeneralPageState::quoteDetails(const bizlib::Record &quote)
{
    return quote.text("Spec").left(1024);
}

} // namespace console
