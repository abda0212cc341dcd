#include "bizlib/forms/PhraseForm.h"

#include "bizlib/NetRefresh.h"
#include "bizlib/Table.h"
#include "bizlib/forms/RecordForms.h"

#include <QCoreApplication>

namespace bizlib::forms {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PhraseForm", text);
}

} // namespace

FormLayout PhraseForm::layout(Request request)
{
    FormLayout layout(request == Request::Insert ? tr("Insert a phrase")
            : request == Request::View           ? tr("View a phrase")
                                                 : tr("Change a phrase"));
    layout.group(tr("Phrase"))
        .add(QStringLiteral("PhraseTitle"), tr("Title"))
        .add(QStringLiteral("PhraseText"), tr("Text"), FormLayout::Editor::MultiLine)
        .add(QStringLiteral("PhraseField"), tr("For the field"))
        .add(QStringLiteral("Category"), tr("Category"))
        .add(QStringLiteral("Subcategory"), tr("Subcategory"));
    // The groups in the order of the phrase toolbox's type list ("Sundry" is the flag "Other").
    static const char *const kFlags[][2] = { { "Estimating", "Estimating" }, { "Production", "Production" },
        { "Costing", "Costing" }, { "Accounts", "Accounts" }, { "Stock", "Stock" }, { "CRM", "CRM" }, { "RDC", "RDC" },
        { "Other", "Sundry" } };
    layout.group(tr("Groups"));
    for (const auto &flag : kFlags)
        layout.add(QLatin1String(flag[0]), QLatin1String(flag[1]), FormLayout::Editor::Check);
    layout.add(QStringLiteral("Purchasing"), {}, FormLayout::Editor::Check)
        .add(QStringLiteral("Scheduling"), {}, FormLayout::Editor::Check)
        .add(QStringLiteral("WebEnable"), tr("Web enabled"), FormLayout::Editor::Check);
    return layout;
}

Response PhraseForm::update(Database &db, RecordForms &forms, Request request, Record &phrase, Status *error)
{
    Table phrases(db, QStringLiteral("PHRASE"));
    const Response response = forms.updateRecord(phrases, request, phrase, layout(request), error);
    if (response == Response::Completed && request != Request::View)
        NetRefresh(db, changeChannel()).notify();
    return response;
}

} // namespace bizlib::forms
