#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormLayout.h"
#include "bizlib/forms/FormRequest.h"

#include <QAbstractTableModel>
#include <functional>

namespace bizlib::forms {

// The state of one record form: the records being edited (one, or several of different tables),
// the layout, the request, and whether the form was accepted. One row per layout field; column 0
// is the label, column 1 the value. The form dialog and the scripted forms of the tests both edit
// through this model, so the rules below hold whichever of them runs the form:
//
// - View (and Select, which is not an editing request) make every field read-only; the table's
//   auto-number field and fields the layout marks read-only are never editable.
// - Values go in and out as text: a text is cut to the field's width; a whole number must be in
//   the type's range (BYTE 0..255, USHORT 0..65535, LONG 32-bit); a decimal is rounded to the
//   field's places and refused when it then has more digits than the field holds; a date is
//   "yyyy-MM-dd", a time "HH:mm" or "HH:mm:ss", a flag "1" or "0"; an empty text is 0 / no date.
//   A number that the layout shows blank when zero (FormLayout::blankWhenZero) reads as "" then.
//   A refused value leaves the field unchanged.
// - accept() runs the caller's accept handler (the save); when that fails the form stays open
//   with the handler's message in lastError() and the records as edited.
// Naming a field that none of the records has is a programming error (std::logic_error).
class FormModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { LabelColumn = 0, ValueColumn = 1 };
    enum Role {
        MaxLengthRole = Qt::UserRole + 1, // int: characters the field keeps, 0 when unlimited
        EditorRole, // int: FormLayout::Editor, never Auto
        GroupRole, // QString: the field's page
        FieldNameRole, // QString: the field's name as the layout gives it
    };

    using AcceptHandler = std::function<Status(FormModel &form)>;

    FormModel(Request request, QList<Record> records, FormLayout layout, QObject *parent = nullptr);

    Request request() const { return m_request; }
    bool isReadOnly() const { return m_request == Request::View || m_request == Request::Select; }
    // The layout's caption with the action: "Phrase - New record", "... - Change record", "... - View record".
    QString caption() const;
    const FormLayout &layout() const { return m_layout; }

    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    int rowOf(const QString &field) const; // -1 when the layout does not show it
    const FieldDef &fieldDef(int row) const;
    FormLayout::Editor editor(int row) const { return m_fields.at(row).editor; }
    int maxLength(int row) const { return fieldDef(row).maxChars(); }
    bool isEditable(int row) const;

    QString fieldText(int row) const;
    QString fieldText(const QString &field) const { return fieldText(requireRow(field)); }
    // False, and the field unchanged, when the field is not editable or the text is not a value of
    // its type. A text longer than the field's width is cut and accepted.
    bool setFieldText(int row, const QString &text);
    bool setFieldText(const QString &field, const QString &text) { return setFieldText(requireRow(field), text); }

    const QList<Record> &records() const { return m_records; }
    const Record &record(int i = 0) const { return m_records.at(i); }
    // Replaces a record (an accept handler that numbers or recalculates it); the rows show the new values.
    void setRecord(int i, const Record &record);
    bool isModified() const { return m_records != m_original; }

    void setAcceptHandler(AcceptHandler handler) { m_acceptHandler = std::move(handler); }
    // OK: true when the form may close. A read-only form accepts without the handler.
    bool accept();
    bool isAccepted() const { return m_accepted; }
    const QString &lastError() const { return m_lastError; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Slot
    {
        int record = 0;
        int field = 0;
        FormLayout::Editor editor = FormLayout::Editor::Line;
        bool readOnly = false;
    };

    int requireRow(const QString &field) const;
    Slot resolve(const FormLayout::Field &field) const;
    static FormLayout::Editor editorFor(const FieldDef &def, FormLayout::Editor wanted);

    Request m_request;
    QList<Record> m_records;
    QList<Record> m_original;
    FormLayout m_layout;
    QList<Slot> m_fields;
    AcceptHandler m_acceptHandler;
    bool m_accepted = false;
    QString m_lastError;
};

} // namespace bizlib::forms
