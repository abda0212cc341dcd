#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "bizlib/forms/SelectionList.h"

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib

namespace bizlib::forms {

class RecordForms;

// The library's selection operations. Each shows a selection list (or the calendar) through
// RecordForms and reports Completed with the chosen record, or Cancelled with the record
// argument unchanged. A list that cannot be read is reported to the user through the prompter
// (when one is given) with the hand icon, kept in lastStatus(), and gives Cancelled.
// Every list opens with the first row current unless a locator text is given.
class SelectLibrary
{
public:
    SelectLibrary(Database &db, RecordForms &forms, Prompter *prompter = nullptr);

    // SELECTUSER: the active users (`USR:Active` 1) in order of initials, with the locator on the
    // initials; columns initials, full name, position. `extraFilter` (a filter expression on
    // `USR:` fields, e.g. "USR:IsEstimator = 1") narrows the list further. On Completed *user holds
    // the Users record.
    Response selectUser(Record *user, const QString &extraFilter = {});

    // SELECTTEMPLATE: the template quotes (`QTE:IsTemplate` 1) in order of title, with the locator
    // on the title; columns title, product code, number. The list opens on the first template
    // whose title is not before `hint` (the web request's selection hint). On Completed *quote
    // holds the template's Quotes record (the caller keeps it as the quote alias).
    Response selectTemplate(const QString &hint, Record *quote);

    // SELECTCLIENTALIAS: the clients in order of upper-cased name (`CLIA:NameKey`), with the
    // locator on that name; columns code, name, town, postcode. `extraFilter` narrows the list
    // (e.g. "CLIA:WebEnable = 1"). On Completed *client holds the Clients record.
    Response selectClientAlias(Record *client, const QString &extraFilter = {});

    // SELECTPHRASE: the phrases for a text field, in order of title, with the locator on the
    // title; columns title and text. A phrase is listed when its `PHR:PhraseField` equals `field`
    // (letter case ignored) or is blank (a phrase for any field), and, when `group` is given, when
    // it belongs to that group: `group` naming one of the phrase-group flags ("Estimating",
    // "Production", "Accounts", "CRM", "Costing", "Stock", "Other", "Purchasing", "RDC",
    // "Scheduling", "SOP", "Internet", "Sundry") needs that flag set; any other text needs
    // `PHR:Category` equal to it. On Completed *phrase holds the PHRASE record.
    Response selectPhrase(const QString &field, const QString &group, Record *phrase);

    // SELECTOUTWORK: the outwork codes with the locator on the code; columns code, description,
    // category. With a `category` ("Sundry") only that category is listed, in order of code; without
    // one every code, in order of code. On Completed *outwork holds the Outwork record.
    Response selectOutwork(Record *outwork, const QString &category = {});

    // SELECTLABOUR: the labour codes in order of code, with the locator on the code; columns code,
    // description, category. On Completed *labour holds the Labour record.
    Response selectLabour(Record *labour);

    // VIEWMARKUPS: the markup profiles, one row per period, in order of profile and the newest
    // period first, with the locator on the profile; columns profile, description, valid from,
    // valid to. On Completed *markup holds the Markups row chosen.
    Response viewMarkups(Record *markup);

    // VIEWCURRENCIES: the currencies in order of code, with the locator on the code; columns code,
    // description, symbol. On Completed *currency holds the Currencies record.
    Response viewCurrencies(Record *currency);

    // VIEWNOMINALS: the nominal codes of one type ("Income") in order of code, with the locator on
    // the code; columns code, description, tax code. On Completed *nominal holds the NominalCodes record.
    Response viewNominals(const QString &nominalType, Record *nominal);

    // VIEWTAXRATES: the tax rates of one type ("Sales") in order of code, with the locator on the
    // code; columns code, description, district, rate. On Completed *rate holds the TaxRates record.
    Response viewTaxRates(const QString &taxType, Record *rate);

    // SELECTDESIGN: the layouts of one report type ("Estimates", "Invoices" ...; the type is read
    // by its name) in order of description; columns number, description, default. On Completed
    // *layout holds the ReportLayouts record. A report type that does not exist is reported like a
    // list that cannot be read (lastStatus() is NotFound) and gives Cancelled.
    Response selectDesign(const QString &reportType, Record *layout);

    // SELECTDATE: the calendar, opened on *day (a DATE day number) or on today when *day is 0.
    // On Completed *day holds the day chosen.
    Response selectDate(qint32 *day, const QString &caption = QStringLiteral("Select date"));

    // The list definitions used above, for callers and tests that need the list itself.
    static SelectionList::Definition userList(const QString &extraFilter = {});
    static SelectionList::Definition templateList(const QString &hint);
    static SelectionList::Definition clientAliasList(const QString &extraFilter = {});
    static SelectionList::Definition phraseList(const QString &field, const QString &group);
    static SelectionList::Definition outworkList(const QString &category = {});
    static SelectionList::Definition labourList();
    static SelectionList::Definition markupList();
    static SelectionList::Definition currencyList();
    static SelectionList::Definition nominalList(const QString &nominalType);
    static SelectionList::Definition taxRateList(const QString &taxType);
    // The layouts of the report type with identifier `reportTypeId`.
    static SelectionList::Definition designList(qint32 reportTypeId);
    static const QStringList &phraseGroups();

    const Status &lastStatus() const { return m_lastStatus; }

private:
    Response select(const SelectionList::Definition &definition, Record *chosen);

    Database &m_db;
    RecordForms &m_forms;
    Prompter *m_prompter;
    Status m_lastStatus;
};

} // namespace bizlib::forms
