#pragma once

#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/RecordForms.h"
#include "bizlib/forms/SelectionList.h"

#include <QHash>
#include <QList>
#include <optional>

namespace testsupport {

// Record forms, selection lists and the calendar answered from a script, in the order they open.
// A form takes its queued edits (typed into the model as the dialog would hand them over; an edit
// of a field the form does not show, or one the form refuses, is recorded as refused) and
// then OK or Cancel; when OK's save fails the form stays "open" with no more answers and is
// cancelled, as a user would after reading the message. A list locates and/or picks a row, or
// cancels. Nothing queued cancels. Everything shown is recorded.
class ScriptedForms : public bizlib::forms::RecordForms
{
public:
    using Request = bizlib::forms::Request;

    struct FormShown
    {
        QString caption;
        Request request = Request::View;
        bool readOnly = false;
        QHash<QString, QString> values; // field -> text when the form opened
        QHash<QString, int> maxLengths; // field -> width limit
        QStringList refused; // edits the form refused
        QString error; // the save's message when OK failed
        bool accepted = false;
    };
    struct ListShown
    {
        QString caption;
        int rowsLoaded = 0;
        int currentRow = -1; // when the list opened
        int locatedRow = -1; // after the scripted locator text
    };

    void answerForm(const QList<QPair<QString, QString>> &edits, bool ok = true) { m_forms.append({ edits, ok }); }
    void cancelForm() { m_forms.append({ {}, false }); }
    // Types `locate` into the locator (when not empty), then selects the located row, or `row` when given.
    void selectRow(int row) { m_lists.append({ {}, row, true }); }
    void locateAndSelect(const QString &locate) { m_lists.append({ locate, -1, true }); }
    void locateAndCancel(const QString &locate) { m_lists.append({ locate, -1, false }); }
    void cancelList() { m_lists.append({ {}, -1, false }); }
    void answerDate(const QDate &date) { m_dates.append(date); }
    void cancelDate() { m_dates.append(std::nullopt); }

    const QList<FormShown> &formsShown() const { return m_formsShown; }
    const QList<ListShown> &listsShown() const { return m_listsShown; }
    const QList<QPair<QString, QDate>> &datesShown() const { return m_datesShown; }

    void runForm(bizlib::forms::FormModel &form) override
    {
        FormShown shown;
        shown.caption = form.caption();
        shown.request = form.request();
        shown.readOnly = form.isReadOnly();
        for (int row = 0; row < form.fieldCount(); ++row) {
            const QString name = form.layout().fields().at(row).name;
            shown.values.insert(name, form.fieldText(row));
            shown.maxLengths.insert(name, form.maxLength(row));
        }
        const FormAnswer answer = m_forms.isEmpty() ? FormAnswer { {}, false } : m_forms.takeFirst();
        for (const auto &[field, text] : answer.edits) {
            const int row = form.rowOf(field);
            if (row < 0 || !form.setFieldText(row, text))
                shown.refused << field;
        }
        if (answer.ok) {
            shown.accepted = form.accept();
            shown.error = form.lastError();
        }
        m_formsShown << shown;
    }

    void runList(bizlib::forms::SelectionList &list) override
    {
        ListShown shown;
        shown.caption = list.definition().caption;
        shown.currentRow = list.currentRow();
        const ListAnswer answer = m_lists.isEmpty() ? ListAnswer { {}, -1, false } : m_lists.takeFirst();
        int row = answer.row >= 0 ? answer.row : list.currentRow();
        if (!answer.locate.isEmpty())
            row = shown.locatedRow = list.locate(answer.locate);
        shown.rowsLoaded = list.rowCount();
        if (answer.select)
            list.choose(row);
        m_listsShown << shown;
    }

    std::optional<QDate> pickDate(const QString &caption, const QDate &initial) override
    {
        m_datesShown.append({ caption, initial });
        return m_dates.isEmpty() ? std::nullopt : m_dates.takeFirst();
    }

private:
    struct FormAnswer
    {
        QList<QPair<QString, QString>> edits;
        bool ok = false;
    };
    struct ListAnswer
    {
        QString locate;
        int row = -1;
        bool select = false;
    };

    QList<FormAnswer> m_forms;
    QList<ListAnswer> m_lists;
    QList<std::optional<QDate>> m_dates;
    QList<FormShown> m_formsShown;
    QList<ListShown> m_listsShown;
    QList<QPair<QString, QDate>> m_datesShown;
};

} // namespace testsupport
