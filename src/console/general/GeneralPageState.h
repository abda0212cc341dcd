#pragma once

#include "console/RequestLists.h"

#include <QString>

namespace bizlib {
class Record;
}

namespace console {

// What the General tab's buttons and detail pages show, following the list the user selects and
// the row that becomes current in each list. The widgets apply controls() after every change.
class GeneralPageState
{
public:
    struct Button
    {
        bool visible = false;
        bool enabled = false;
        bool operator==(const Button &) const = default;
    };
    struct Controls
    {
        Button quoteProcess, quoteReject;
        Button signupProcess, signupReject;
        Button orderProcess, orderReject, paid;
        bool detailsPage = true;
        bool attachmentsPage = true;
        bool notesPage = true;
        bool showItems = false; // the order's item list in place of the details text
        QString detailsText;
    };

    // `mayMarkPaid`: the user holds the right to mark orders as paid; without it Paid is never
    // shown.
    explicit GeneralPageState(bool mayMarkPaid);

    // A list got the focus: it becomes the current list.
    void selectList(RequestLists::Focus list);
    // A new row became current in a list (nullptr: the list has none). The sign-up's country
    // name is looked up by the caller (empty when the sign-up has no country).
    void newQuoteRow(const bizlib::Record *quote);
    void newOrderRow(const bizlib::Record *order);
    void newSignupRow(const bizlib::Record *signup, const QString &countryName);

    RequestLists::Focus current() const { return m_current; }
    const Controls &controls() const { return m_controls; }
    bool mayMarkPaid() const { return m_mayMarkPaid; }

    // The details text of a sign-up: the company and the address lines, the country, then the
    // telephone and e-mail lines, separated by CR LF. `tel` and `email` are the translated labels.
    static QString signupDetails(const bizlib::Record &signup, const QString &countryName,
        const QString &tel = QStringLiteral("Tel:"), const QString &email = QStringLiteral("Email:"));
    // The details text of a quote request: its specification, up to 1024 characters.
    static QString quoteDetails(const bizlib::Record &quote);

private:
    Controls m_controls;
    RequestLists::Focus m_current = RequestLists::Focus::Elsewhere;
    bool m_mayMarkPaid;
};

} // namespace console
