#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormLayout.h"
#include "bizlib/forms/FormRequest.h"

#include <functional>

namespace bizlib {
class Database;
}

namespace bizlib::forms {

class RecordForms;

// The library's record forms of client accounts, contacts and countries: UPDATECLIENT,
// UPDATECONTACT and UPDATECOUNTRY, on the generic record form (RecordForms).
class ClientForms
{
public:
    // Runs inside the form's save transaction after the row was written (`record` as written);
    // a failure undoes the save and keeps the form open with the message.
    using AfterSave = std::function<Status(const Record &record)>;

    ClientForms(Database &db, RecordForms &forms);

    // UPDATECLIENT: the client account form (request Insert, Change or View). Insert numbers the
    // record when it has no number yet; OK writes the row (Change: only the fields that changed).
    // On Completed `client` holds the row as written. *error: what kept the form from opening.
    Response updateClient(Request request, Record &client, Status *error = nullptr, const AfterSave &afterSave = {});

    // UPDATECONTACT: the contact form. `parentType` "CLI" is a contact of a client account:
    // Insert needs CON:ClientID set (an error otherwise, and the form does not open). `onlyField`
    // is the library's field argument (empty: the whole form). `afterSave` runs in the save's
    // transaction (the caller records what it made there).
    Response updateContact(Request request, Record &contact, const QString &onlyField, const QString &parentType,
        Status *error = nullptr, const AfterSave &afterSave = {});

    // UPDATECOUNTRY: the country form.
    Response updateCountry(Request request, Record &country, Status *error = nullptr);

    static FormLayout clientLayout(Request request);
    static FormLayout contactLayout(Request request);
    static FormLayout countryLayout(Request request);

private:
    Response update(const QString &table, Request request, Record &record, const FormLayout &layout, Status *error,
        const AfterSave &afterSave);

    Database &m_db;
    RecordForms &m_forms;
};

} // namespace bizlib::forms
