#include "bizlib/forms/SelectLibrary.h"

#include "bizlib/Clock.h"
#include "bizlib/DateText.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/forms/RecordForms.h"

namespace bizlib::forms {

namespace {

// ANDs a caller's expression to a list's own, each in brackets so that an OR inside stays inside.
QString both(const QString &own, const QString &extra)
{
    if (extra.trimmed().isEmpty())
        return own;
    if (own.isEmpty())
        return extra;
    return QStringLiteral("(%1) AND (%2)").arg(own, extra);
}

} // namespace

SelectLibrary::SelectLibrary(Database &db, RecordForms &forms, Prompter *prompter)
    : m_db(db)
    , m_forms(forms)
    , m_prompter(prompter)
{ }

const QStringList &SelectLibrary::phraseGroups()
{
    static const QStringList groups { QStringLiteral("Estimating"), QStringLiteral("Production"),
        QStringLiteral("Accounts"), QStringLiteral("CRM"), QStringLiteral("Costing"), QStringLiteral("Stock"),
        QStringLiteral("Other"), QStringLiteral("Purchasing"), QStringLiteral("RDC"), QStringLiteral("Scheduling"),
        QStringLiteral("SOP"), QStringLiteral("Internet"), QStringLiteral("Sundry") };
    return groups;
}

SelectionList::Definition SelectLibrary::userList(const QString &extraFilter)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a user");
    d.table = QStringLiteral("Users");
    d.key = QStringLiteral("USERKEY");
    d.columns = { { QStringLiteral("Initials"), QStringLiteral("Initials"), {}, false },
        { QStringLiteral("Name"), QStringLiteral("FullName"), {}, false },
        { QStringLiteral("Position"), QStringLiteral("Position"), {}, false } };
    d.filter = both(QStringLiteral("USR:Active = 1"), extraFilter);
    return d;
}

SelectionList::Definition SelectLibrary::templateList(const QString &hint)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a template");
    d.table = QStringLiteral("Quotes");
    d.key = QStringLiteral("TEMPLATEKEY");
    d.range = { 1 };
    d.columns = { { QStringLiteral("Title"), QStringLiteral("Title"), {}, false },
        { QStringLiteral("Product code"), QStringLiteral("ProductCode"), {}, false },
        { QStringLiteral("Number"), QStringLiteral("Number"), {}, true } };
    d.locatorField = QStringLiteral("Title");
    d.initialLocator = hint.trimmed();
    return d;
}

SelectionList::Definition SelectLibrary::clientAliasList(const QString &extraFilter)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a client");
    d.table = QStringLiteral("Clients");
    d.key = QStringLiteral("NAMEKEY");
    d.columns = { { QStringLiteral("Code"), QStringLiteral("Code"), {}, false },
        { QStringLiteral("Name"), QStringLiteral("Name"), {}, false },
        { QStringLiteral("Town"), QStringLiteral("Town"), {}, false },
        { QStringLiteral("Postcode"), QStringLiteral("Postcode"), {}, false } };
    d.filter = extraFilter.trimmed();
    return d;
}

SelectionList::Definition SelectLibrary::currencyList()
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a currency");
    d.table = QStringLiteral("Currencies");
    d.key = QStringLiteral("CURRENCYKEY");
    d.columns = { { QStringLiteral("Currency"), QStringLiteral("Currency"), {}, false },
        { QStringLiteral("Description"), QStringLiteral("Description"), {}, false },
        { QStringLiteral("Symbol"), QStringLiteral("Symbol"), {}, false } };
    return d;
}

SelectionList::Definition SelectLibrary::nominalList(const QString &nominalType)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a nominal code");
    d.table = QStringLiteral("NominalCodes");
    d.key = QStringLiteral("TYPEKEY");
    d.range = { nominalType };
    d.locatorField = QStringLiteral("Nominal");
    d.columns = { { QStringLiteral("Nominal"), QStringLiteral("Nominal"), {}, false },
        { QStringLiteral("Description"), QStringLiteral("Description"), {}, false },
        { QStringLiteral("Tax code"), QStringLiteral("TaxCode"), {}, false } };
    return d;
}

SelectionList::Definition SelectLibrary::taxRateList(const QString &taxType)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a tax rate");
    d.table = QStringLiteral("TaxRates");
    d.key = QStringLiteral("TAXCODEKEY");
    d.range = { taxType };
    d.locatorField = QStringLiteral("TaxCode");
    d.columns = { { QStringLiteral("Code"), QStringLiteral("TaxCode"), {}, false },
        { QStringLiteral("Description"), QStringLiteral("Description"), {}, false },
        { QStringLiteral("District"), QStringLiteral("TaxDistrict"), {}, false },
        { QStringLiteral("Rate"), QStringLiteral("TaxRate"), {}, false } };
    return d;
}

Response SelectLibrary::viewCurrencies(Record *currency)
{
    return select(currencyList(), currency);
}

Response SelectLibrary::viewNominals(const QString &nominalType, Record *nominal)
{
    return select(nominalList(nominalType), nominal);
}

Response SelectLibrary::viewTaxRates(const QString &taxType, Record *rate)
{
    return select(taxRateList(taxType), rate);
}

SelectionList::Definition SelectLibrary::phraseList(const QString &field, const QString &group)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a phrase");
    d.table = QStringLiteral("PHRASE");
    d.key = QStringLiteral("PHRASETITLEKEY");
    d.columns = { { QStringLiteral("Title"), QStringLiteral("PhraseTitle"), {}, false },
        { QStringLiteral("Phrase"), QStringLiteral("PhraseText"), {}, false } };
    // Only names from the fixed list of group flags reach the expression text; the field and a
    // category are bound values.
    d.filter = QStringLiteral("(UPPER(PHR:PhraseField) = LOC:PhraseField OR PHR:PhraseField = '')");
    d.bindings.insert(QStringLiteral("loc:phrasefield"), field.trimmed().toUpper());
    const QString g = group.trimmed();
    if (!g.isEmpty()) {
        qsizetype match = -1;
        for (qsizetype i = 0; i < phraseGroups().size() && match < 0; ++i) {
            if (phraseGroups().at(i).compare(g, Qt::CaseInsensitive) == 0)
                match = i;
        }
        if (match >= 0) {
            d.filter += QStringLiteral(" AND PHR:%1 = 1").arg(phraseGroups().at(match));
        } else {
            d.filter += QStringLiteral(" AND UPPER(PHR:Category) = LOC:PhraseCategory");
            d.bindings.insert(QStringLiteral("loc:phrasecategory"), g.toUpper());
        }
    }
    return d;
}

SelectionList::Definition SelectLibrary::outworkList(const QString &category)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select an outwork code");
    d.table = QStringLiteral("Outwork");
    d.columns = { { QStringLiteral("Code"), QStringLiteral("Code"), {}, false },
        { QStringLiteral("Description"), QStringLiteral("Description"), {}, false },
        { QStringLiteral("Category"), QStringLiteral("Category"), {}, false } };
    if (category.trimmed().isEmpty()) {
        d.key = QStringLiteral("CODEKEY");
    } else {
        d.key = QStringLiteral("CATEGORYKEY");
        d.range = { category.trimmed() };
        d.locatorField = QStringLiteral("Code");
    }
    return d;
}

SelectionList::Definition SelectLibrary::labourList()
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a labour code");
    d.table = QStringLiteral("Labour");
    d.key = QStringLiteral("CODEKEY");
    d.columns = { { QStringLiteral("Code"), QStringLiteral("Code"), {}, false },
        { QStringLiteral("Description"), QStringLiteral("Description"), {}, false },
        { QStringLiteral("Category"), QStringLiteral("Category"), {}, false } };
    return d;
}

SelectionList::Definition SelectLibrary::markupList()
{
    const auto date = [](const char *field) {
        return [name = QString::fromLatin1(field)](const Record &r) { return DateText().day(r.toLong(name)); };
    };
    SelectionList::Definition d;
    d.caption = QStringLiteral("Markup profiles");
    d.table = QStringLiteral("Markups");
    d.key = QStringLiteral("MARKUPKEY");
    d.columns = { { QStringLiteral("Profile"), QStringLiteral("Markup"), {}, false },
        { QStringLiteral("Description"), QStringLiteral("Description"), {}, false },
        { QStringLiteral("Valid from"), QStringLiteral("ValidFrom"), date("ValidFrom"), false },
        { QStringLiteral("Valid to"), QStringLiteral("ValidTo"), date("ValidTo"), false } };
    return d;
}

SelectionList::Definition SelectLibrary::designList(qint32 reportTypeId)
{
    SelectionList::Definition d;
    d.caption = QStringLiteral("Select a layout");
    d.table = QStringLiteral("ReportLayouts");
    d.key = QStringLiteral("REPORTTYPEKEY");
    d.range = { reportTypeId };
    d.locatorField = QStringLiteral("Description");
    d.columns = { { QStringLiteral("Number"), QStringLiteral("LayoutID"), {}, false },
        { QStringLiteral("Description"), QStringLiteral("Description"), {}, false },
        { QStringLiteral("Default"), QStringLiteral("IsDefault"),
            [](const Record &r) { return r.toLong("IsDefault") ? QStringLiteral("Yes") : QString(); }, false } };
    return d;
}

Response SelectLibrary::select(const SelectionList::Definition &definition, Record *chosen)
{
    SelectionList list(m_db, definition);
    m_lastStatus = list.open();
    if (!m_lastStatus) {
        if (m_prompter) {
            m_prompter->alert(QStringLiteral("Unable to show the list: %1").arg(m_lastStatus.message()),
                definition.caption, Prompter::Icon::Hand);
        }
        return Response::Cancelled;
    }
    return m_forms.selectRecord(list, chosen);
}

Response SelectLibrary::selectUser(Record *user, const QString &extraFilter)
{
    return select(userList(extraFilter), user);
}

Response SelectLibrary::selectTemplate(const QString &hint, Record *quote)
{
    return select(templateList(hint), quote);
}

Response SelectLibrary::selectClientAlias(Record *client, const QString &extraFilter)
{
    return select(clientAliasList(extraFilter), client);
}

Response SelectLibrary::selectPhrase(const QString &field, const QString &group, Record *phrase)
{
    return select(phraseList(field, group), phrase);
}

Response SelectLibrary::selectOutwork(Record *outwork, const QString &category)
{
    return select(outworkList(category), outwork);
}

Response SelectLibrary::selectLabour(Record *labour)
{
    return select(labourList(), labour);
}

Response SelectLibrary::viewMarkups(Record *markup)
{
    return select(markupList(), markup);
}

Response SelectLibrary::selectDesign(const QString &reportType, Record *layout)
{
    Table types(m_db, QStringLiteral("ReportTypes"));
    Record type;
    m_lastStatus = types.fetch(QStringLiteral("NAMEKEY"), { reportType.trimmed() }, type);
    if (!m_lastStatus) {
        if (m_prompter) {
            const QString why = m_lastStatus.isNotFound()
                ? QStringLiteral("There is no report type \"%1\".").arg(reportType.trimmed())
                : m_lastStatus.message();
            m_prompter->alert(QStringLiteral("Unable to show the list: %1").arg(why), QStringLiteral("Select a layout"),
                Prompter::Icon::Hand);
        }
        return Response::Cancelled;
    }
    SelectionList::Definition d = designList(type.toLong("ReportTypeID"));
    d.caption = QStringLiteral("Select a layout - %1").arg(type.text("Name"));
    return select(d, layout);
}

Response SelectLibrary::selectDate(qint32 *day, const QString &caption)
{
    m_lastStatus = Status::ok();
    QDate date = DateTime::toDate(*day);
    const Response r = m_forms.selectDate(caption, &date, DateTime::toDate(DateTime::today()));
    if (r == Response::Completed)
        *day = DateTime::fromDate(date);
    return r;
}

} // namespace bizlib::forms
