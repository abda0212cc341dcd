#include "bizlib/forms/FormModel.h"

#include "bizlib/Clock.h"

#include <limits>
#include <stdexcept>

namespace bizlib::forms {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

bool parseInteger(const FieldDef &def, const QString &text, qint64 *value)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        *value = 0;
        return true;
    }
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok)
        return false;
    qint64 low = std::numeric_limits<qint32>::min();
    qint64 high = std::numeric_limits<qint32>::max();
    if (def.type == FieldType::Byte) {
        low = 0;
        high = 255;
    } else if (def.type == FieldType::UShort) {
        low = 0;
        high = 65535;
    }
    *value = v;
    return v >= low && v <= high;
}

bool parseFlag(const QString &text, qint64 *value)
{
    const QString t = text.trimmed().toLower();
    if (t.isEmpty() || t == u'0' || t == QStringLiteral("false")) {
        *value = 0;
        return true;
    }
    if (t == u'1' || t == QStringLiteral("true")) {
        *value = 1;
        return true;
    }
    return false;
}

} // namespace

FormModel::FormModel(Request request, QList<Record> records, FormLayout layout, QObject *parent)
    : QAbstractTableModel(parent)
    , m_request(request)
    , m_records(std::move(records))
    , m_original(m_records)
    , m_layout(std::move(layout))
{
    if (m_records.isEmpty() || !m_records.first().isValid())
        throw std::logic_error("a form needs a record");
    for (const FormLayout::Field &f : m_layout.fields())
        m_fields << resolve(f);
}

FormModel::Slot FormModel::resolve(const FormLayout::Field &field) const
{
    Slot s;
    const qsizetype colon = field.name.indexOf(u':');
    if (colon >= 0) {
        const QString prefix = field.name.left(colon);
        s.record = -1;
        for (int i = 0; i < m_records.size(); ++i) {
            if (m_records.at(i).isValid() && m_records.at(i).table().hasPrefix(prefix)) {
                s.record = i;
                break;
            }
        }
    }
    s.field = s.record >= 0 ? m_records.at(s.record).table().fieldIndex(field.name) : -1;
    if (s.field < 0)
        throw std::logic_error(QStringLiteral("the form's records have no field %1").arg(field.name).toStdString());
    const TableDef &def = m_records.at(s.record).table();
    s.editor = editorFor(def.fields.at(s.field), field.editor);
    s.readOnly = field.readOnly || s.field == def.autoNumberField;
    return s;
}

FormLayout::Editor FormModel::editorFor(const FieldDef &def, FormLayout::Editor wanted)
{
    using Editor = FormLayout::Editor;
    if (wanted != Editor::Auto)
        return wanted;
    switch (def.type) {
    case FieldType::Byte:
        return Editor::Check;
    case FieldType::Date:
        return Editor::Date;
    case FieldType::Time:
        return Editor::Time;
    case FieldType::Text:
        return Editor::MultiLine;
    case FieldType::CString:
    case FieldType::String:
        return def.maxChars() > FormLayout::kMultiLineWidth ? Editor::MultiLine : Editor::Line;
    default:
        return Editor::Line;
    }
}

QString FormModel::caption() const
{
    QString action;
    switch (m_request) {
    case Request::Insert:
        action = QStringLiteral("New record");
        break;
    case Request::Change:
        action = QStringLiteral("Change record");
        break;
    case Request::Select:
    case Request::View:
        action = QStringLiteral("View record");
        break;
    }
    return m_layout.caption().isEmpty() ? action : m_layout.caption() + QStringLiteral(" - ") + action;
}

int FormModel::rowOf(const QString &field) const
{
    // By the record and field a name stands for, so that "Title" and "QTE:Title" find the same row.
    int record = 0;
    const qsizetype colon = field.indexOf(u':');
    if (colon >= 0) {
        record = -1;
        for (int i = 0; i < m_records.size() && record < 0; ++i) {
            if (m_records.at(i).table().hasPrefix(field.left(colon)))
                record = i;
        }
        if (record < 0)
            return -1;
    }
    const int index = m_records.at(record).table().fieldIndex(field);
    for (int row = 0; index >= 0 && row < m_fields.size(); ++row) {
        if (m_fields.at(row).record == record && m_fields.at(row).field == index)
            return row;
    }
    return -1;
}

int FormModel::requireRow(const QString &field) const
{
    const int row = rowOf(field);
    if (row < 0)
        throw std::logic_error(QStringLiteral("the form does not show %1").arg(field).toStdString());
    return row;
}

const FieldDef &FormModel::fieldDef(int row) const
{
    const Slot &s = m_fields.at(row);
    return m_records.at(s.record).table().fields.at(s.field);
}

bool FormModel::isEditable(int row) const
{
    return !isReadOnly() && !m_fields.at(row).readOnly;
}

QString FormModel::fieldText(int row) const
{
    const Slot &s = m_fields.at(row);
    const Record &r = m_records.at(s.record);
    switch (fieldDef(row).type) {
    case FieldType::Date:
        return DateTime::dateText(r.toLong(s.field), kDateFormat);
    case FieldType::Time:
        return DateTime::timeText(r.toLong(s.field), QStringLiteral("HH:mm"));
    case FieldType::Long:
    case FieldType::UShort:
    case FieldType::Byte:
        if (m_layout.fields().at(row).blankZero && r.toLong(s.field) == 0)
            return {};
        return r.text(s.field);
    case FieldType::Decimal:
        if (m_layout.fields().at(row).blankZero && r.decimal(s.field).isZero())
            return {};
        return r.text(s.field);
    default:
        return r.text(s.field);
    }
}

bool FormModel::setFieldText(int row, const QString &text)
{
    if (row < 0 || row >= m_fields.size() || !isEditable(row))
        return false;
    const Slot &s = m_fields.at(row);
    Record &r = m_records[s.record];
    const FieldDef &def = fieldDef(row);
    const QString t = text.trimmed();
    switch (def.type) {
    case FieldType::CString:
    case FieldType::String:
    case FieldType::Text:
        r.setText(s.field, text);
        break;
    case FieldType::Decimal: {
        const std::optional<Decimal> d = t.isEmpty() ? Decimal(0, def.places) : Decimal::parse(t);
        if (!d || !d->rescaled(def.places).fits(def.digits, def.places))
            return false;
        r.setDecimal(s.field, *d);
        break;
    }
    case FieldType::Date: {
        const QDate d = QDate::fromString(t, kDateFormat);
        if (!t.isEmpty() && !d.isValid())
            return false;
        r.setLong(s.field, DateTime::fromDate(d));
        break;
    }
    case FieldType::Time: {
        QTime time = QTime::fromString(t, QStringLiteral("HH:mm"));
        if (!time.isValid())
            time = QTime::fromString(t, QStringLiteral("HH:mm:ss"));
        if (!t.isEmpty() && !time.isValid())
            return false;
        r.setLong(s.field, DateTime::fromTime(time));
        break;
    }
    default: {
        qint64 v = 0;
        const bool ok
            = m_fields.at(row).editor == FormLayout::Editor::Check ? parseFlag(t, &v) : parseInteger(def, t, &v);
        if (!ok)
            return false;
        r.setLong(s.field, v);
        break;
    }
    }
    const QModelIndex changed = index(row, ValueColumn);
    Q_EMIT dataChanged(changed, changed);
    return true;
}

void FormModel::setRecord(int i, const Record &record)
{
    if (!record.isValid() || &record.table() != &m_records.at(i).table())
        throw std::logic_error("a form record can only be replaced by a record of the same table");
    m_records[i] = record;
    if (!m_fields.isEmpty())
        Q_EMIT dataChanged(index(0, ValueColumn), index(static_cast<int>(m_fields.size()) - 1, ValueColumn));
}

bool FormModel::accept()
{
    m_lastError.clear();
    if (!isReadOnly() && m_acceptHandler) {
        const Status st = m_acceptHandler(*this);
        if (!st) {
            m_lastError = st.message().isEmpty() ? QStringLiteral("The record could not be saved.") : st.message();
            return false;
        }
    }
    m_accepted = true;
    return true;
}

int FormModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_fields.size());
}

int FormModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant FormModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    const FormLayout::Field &f = m_layout.fields().at(row);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return index.column() == LabelColumn ? f.label : fieldText(row);
    case Qt::CheckStateRole:
        if (index.column() == ValueColumn && editor(row) == FormLayout::Editor::Check)
            return fieldText(row) == u'0' ? Qt::Unchecked : Qt::Checked;
        return {};
    case Qt::ToolTipRole:
        if (index.column() == ValueColumn && maxLength(row) > 0)
            return QStringLiteral("At most %1 characters").arg(maxLength(row));
        return {};
    case MaxLengthRole:
        return maxLength(row);
    case EditorRole:
        return static_cast<int>(editor(row));
    case GroupRole:
        return f.group;
    case FieldNameRole:
        return f.name;
    default:
        return {};
    }
}

bool FormModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
        || index.column() != ValueColumn)
        return false;
    if (role == Qt::CheckStateRole) {
        if (editor(index.row()) != FormLayout::Editor::Check)
            return false;
        return setFieldText(index.row(), value.toInt() == Qt::Unchecked ? QStringLiteral("0") : QStringLiteral("1"));
    }
    if (role != Qt::EditRole)
        return false;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return setFieldText(index.row(), value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    case QMetaType::QDate:
        return setFieldText(index.row(), value.toDate().toString(kDateFormat));
    case QMetaType::QTime:
        return setFieldText(index.row(), value.toTime().toString(QStringLiteral("HH:mm:ss")));
    default:
        return setFieldText(index.row(), value.toString());
    }
}

Qt::ItemFlags FormModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == ValueColumn && isEditable(index.row())) {
        f |= editor(index.row()) == FormLayout::Editor::Check ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    }
    return f;
}

QVariant FormModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case LabelColumn:
        return QStringLiteral("Field");
    case ValueColumn:
        return QStringLiteral("Value");
    default:
        return {};
    }
}

} // namespace bizlib::forms
