#include "bizlib/forms/ClientForms.h"

#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/forms/RecordForms.h"

#include <QCoreApplication>

namespace bizlib::forms {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ClientForms", text);
}

QString captionFor(Request request, const char *insert, const char *change, const char *view)
{
    return request == Request::Insert ? tr(insert) : request == Request::View ? tr(view) : tr(change);
}

} // namespace

ClientForms::ClientForms(Database &db, RecordForms &forms)
    : m_db(db)
    , m_forms(forms)
{ }

FormLayout ClientForms::clientLayout(Request request)
{
    FormLayout layout(captionFor(request, "Insert a client", "Change a client", "View a client"));
    layout.group(tr("General"))
        .add(QStringLiteral("Code"))
        .add(QStringLiteral("Name"))
        .add(QStringLiteral("Address1"), tr("Address"))
        .add(QStringLiteral("Address2"), QStringLiteral(" "))
        .add(QStringLiteral("Address3"), QStringLiteral("  "))
        .add(QStringLiteral("Town"))
        .add(QStringLiteral("County"))
        .add(QStringLiteral("Postcode"))
        .add(QStringLiteral("Country"))
        .add(QStringLiteral("Tel1"), tr("Tel"))
        .add(QStringLiteral("Fax"))
        .add(QStringLiteral("Email"))
        .add(QStringLiteral("Web"))
        .add(QStringLiteral("Status"));
    layout.group(tr("Internet"))
        .add(QStringLiteral("WebEnable"), tr("Web access"))
        .add(QStringLiteral("WebExpiryDate"), tr("Expires"))
        .add(QStringLiteral("WebExpiryTime"), tr("At"), FormLayout::Editor::Time)
        .add(QStringLiteral("WebNotify"), tr("Send website notifications"));
    layout.group(tr("Accounts"))
        .add(QStringLiteral("CreditLimit"), tr("Credit limit"))
        .add(QStringLiteral("TaxReg"), tr("Tax-reg"))
        .add(QStringLiteral("Payment"), tr("Payment-type"))
        .add(QStringLiteral("Terms"))
        .add(QStringLiteral("Currency"))
        .add(QStringLiteral("Nominal"))
        .add(QStringLiteral("TaxCode"), tr("Tax-code"))
        .add(QStringLiteral("Rep"))
        .add(QStringLiteral("Manager"), tr("A/C Manager"));
    return layout;
}

FormLayout ClientForms::contactLayout(Request request)
{
    FormLayout layout(captionFor(request, "Insert a contact", "Change a contact", "View a contact"));
    layout.group(tr("Contact"))
        .add(QStringLiteral("Prefix"))
        .add(QStringLiteral("FirstName"), tr("First name"))
        .add(QStringLiteral("LastName"), tr("Last name"))
        .add(QStringLiteral("Name"))
        .add(QStringLiteral("Salutation"))
        .add(QStringLiteral("Position"))
        .add(QStringLiteral("Dept"))
        .add(QStringLiteral("Tel"))
        .add(QStringLiteral("Fax"))
        .add(QStringLiteral("Mobile"))
        .add(QStringLiteral("Email"))
        .add(QStringLiteral("Status"))
        .add(QStringLiteral("Primary"));
    layout.group(tr("Internet"))
        .add(QStringLiteral("WebEnable"), tr("Web access"))
        .add(QStringLiteral("Prepay"));
    return layout;
}

FormLayout ClientForms::countryLayout(Request request)
{
    FormLayout layout(captionFor(request, "Insert a country", "Change a country", "View a country"));
    layout.group(tr("Country"))
        .add(QStringLiteral("CountryName"), tr("Name"))
        .add(QStringLiteral("CountryCode"), tr("Code"))
        .add(QStringLiteral("IsoCountry"), tr("ISO code"))
        .add(QStringLiteral("Currency"))
        .add(QStringLiteral("DiallingCode"), tr("Dialling code"));
    return layout;
}

Response ClientForms::update(const QString &tableName, Request request, Record &record, const FormLayout &layout,
    Status *error, const AfterSave &afterSave)
{
    Table table(m_db, tableName);
    const TableDef &def = table.def();
    if (!record.isValid())
        record = table.newRecord();
    bool primedHere = false;
    if (request == Request::Insert && def.autoNumberField >= 0 && record.toLong(def.autoNumberField) == 0) {
        Record numbered;
        if (const Status st = table.prime(numbered); !st) {
            if (error)
                *error = st;
            return Response::Cancelled;
        }
        record.setValue(def.autoNumberField, numbered.valueAt(def.autoNumberField));
        primedHere = true;
    }
    const auto save = [&table, request, &afterSave, this](FormModel &form) -> Status {
        if (request != Request::Insert && request != Request::Change)
            return Status::ok();
        Transaction tx(m_db);
        Status st = tx.status();
        if (st)
            st = request == Request::Insert ? table.insert(form.record()) : table.update(form.record());
        if (st && afterSave)
            st = afterSave(form.record());
        if (st)
            st = tx.commit();
        return st;
    };
    const Record before = record;
    const Response response = m_forms.editRecord(request, record, layout, save);
    if (response == Response::Cancelled && primedHere) {
        table.release(before);
        record.setLong(def.autoNumberField, 0);
    }
    if (response == Response::Completed && request != Request::View) {
        // What the caller holds is the row as stored now: a later write compares with it.
        Record stored = table.newRecord();
        if (table.fetch(def.primary().name, { record.toLong(def.primary().fields.first()) }, stored))
            record = stored;
    }
    if (error)
        *error = Status::ok();
    return response;
}

Response ClientForms::updateClient(Request request, Record &client, Status *error, const AfterSave &afterSave)
{
    return update(QStringLiteral("Clients"), request, client, clientLayout(request), error, afterSave);
}

Response ClientForms::updateContact(Request request, Record &contact, const QString &onlyField,
    const QString &parentType, Status *error, const AfterSave &afterSave)
{
    Q_UNUSED(onlyField); // the whole form is shown; the library's single-field mode is not used here
    if (request == Request::Insert && parentType.trimmed().toUpper() == QLatin1String("CLI")
        && (!contact.isValid() || contact.toLong("ClientID") == 0)) {
        if (error)
            *error = Status::error(QStringLiteral("A new contact of a client needs the client."));
        return Response::Cancelled;
    }
    return update(QStringLiteral("Contacts"), request, contact, contactLayout(request), error, afterSave);
}

Response ClientForms::updateCountry(Request request, Record &country, Status *error)
{
    return update(QStringLiteral("Countries"), request, country, countryLayout(request), error, {});
}

} // namespace bizlib::forms
