#include "bizlib/ui/RecordFormDialog.h"

#include "bizlib/forms/FormModel.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace bizlib::ui {

namespace {

using Editor = forms::FormLayout::Editor;

// The library's form procedures are named after the table they update.
QString procedureName(const forms::FormModel &form)
{
    return QStringLiteral("Update") + (form.records().isEmpty() ? QStringLiteral("Record") : form.record().table().name);
}

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
// The day before the first day a DATE can hold: the date editor shows it blank, as "no date".
const QDate kNoDate(1800, 12, 28);

QValidator *validatorFor(const FieldDef &def, QObject *parent)
{
    QString pattern;
    switch (def.type) {
    case FieldType::Long:
        pattern = QStringLiteral("-?\\d{0,10}");
        break;
    case FieldType::UShort:
    case FieldType::Byte:
        pattern = QStringLiteral("\\d{0,5}");
        break;
    case FieldType::Decimal:
        pattern = QStringLiteral("-?\\d{0,%1}(\\.\\d{0,%2})?").arg(def.digits).arg(def.places);
        break;
    case FieldType::Time:
        pattern = QStringLiteral("\\d{0,2}(:\\d{0,2}(:\\d{0,2})?)?");
        break;
    default:
        return nullptr;
    }
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

} // namespace

RecordFormDialog::RecordFormDialog(forms::FormModel &form, QWidget *parent, ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, procedureName(form))
    , m_form(form)
{
    setWindowTitle(form.caption());
    for (int row = 0; row < form.fieldCount(); ++row)
        m_editors << makeEditor(row);

    const QStringList groups = form.layout().groups();
    QTabWidget *tabs = groups.size() > 1 ? new QTabWidget(this) : nullptr;
    QWidget *single = nullptr;
    for (const QString &group : groups) {
        auto *page = new QWidget;
        auto *rows = new QFormLayout(page);
        for (int row = 0; row < form.fieldCount(); ++row) {
            if (form.layout().fields().at(row).group != group)
                continue;
            auto *label = new QLabel(form.layout().fields().at(row).label + u':', page);
            label->setBuddy(m_editors.at(row));
            if (form.maxLength(row) > 0)
                label->setToolTip(tr("At most %1 characters").arg(form.maxLength(row)));
            rows->addRow(label, m_editors.at(row));
        }
        auto *scroll = new QScrollArea;
        scroll->setWidgetResizable(true);
        scroll->setWidget(page);
        if (tabs)
            tabs->addTab(scroll, group.isEmpty() ? tr("General") : group);
        else
            single = scroll;
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &RecordFormDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A save that numbers or recalculates the record shows its new values.
    connect(&m_form, &QAbstractItemModel::dataChanged, this, &RecordFormDialog::loadValues);

    auto *layout = new QVBoxLayout(this);
    if (tabs)
        layout->addWidget(tabs);
    else if (single)
        layout->addWidget(single);
    layout->addWidget(buttons);
    loadValues();
}

QWidget *RecordFormDialog::makeEditor(int row)
{
    const FieldDef &def = m_form.fieldDef(row);
    const bool editable = m_form.isEditable(row);
    const int max = m_form.maxLength(row);
    QWidget *editor = nullptr;
    switch (m_form.editor(row)) {
    case Editor::Check: {
        auto *box = new QCheckBox(this);
        box->setEnabled(editable);
        editor = box;
        break;
    }
    case Editor::Date: {
        auto *date = new QDateEdit(this);
        date->setDisplayFormat(kDateFormat);
        date->setCalendarPopup(true);
        date->setMinimumDate(kNoDate);
        date->setSpecialValueText(QStringLiteral(" "));
        date->setReadOnly(!editable);
        editor = date;
        break;
    }
    case Editor::MultiLine: {
        auto *text = new QPlainTextEdit(this);
        text->setReadOnly(!editable);
        text->setTabChangesFocus(true);
        if (max > 0) {
            // A plain text editor has no length limit of its own: cut what goes past the width.
            connect(text, &QPlainTextEdit::textChanged, text, [text, max] {
                const QString t = text->toPlainText();
                if (t.size() <= max)
                    return;
                text->setPlainText(t.left(max));
                text->moveCursor(QTextCursor::End);
            });
        }
        editor = text;
        break;
    }
    case Editor::Auto:
    case Editor::Line:
    case Editor::Time: {
        auto *line = new QLineEdit(this);
        if (max > 0)
            line->setMaxLength(max);
        line->setReadOnly(!editable);
        if (QValidator *v = validatorFor(def, line))
            line->setValidator(v);
        if (def.type == FieldType::Time)
            line->setPlaceholderText(QStringLiteral("HH:mm"));
        editor = line;
        break;
    }
    }
    editor->setObjectName(m_form.layout().fields().at(row).name);
    if (max > 0)
        editor->setToolTip(tr("At most %1 characters").arg(max));
    return editor;
}

QWidget *RecordFormDialog::editorFor(const QString &field) const
{
    const int row = m_form.rowOf(field);
    return row >= 0 ? m_editors.at(row) : nullptr;
}

QString RecordFormDialog::editorText(int row) const
{
    QWidget *w = m_editors.at(row);
    if (auto *line = qobject_cast<QLineEdit *>(w))
        return line->text();
    if (auto *text = qobject_cast<QPlainTextEdit *>(w))
        return text->toPlainText();
    if (auto *box = qobject_cast<QCheckBox *>(w))
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto *date = qobject_cast<QDateEdit *>(w))
        return date->date() <= kNoDate ? QString() : date->date().toString(kDateFormat);
    return {};
}

void RecordFormDialog::setEditorText(int row, const QString &value)
{
    QWidget *w = m_editors.at(row);
    if (auto *line = qobject_cast<QLineEdit *>(w)) {
        if (line->text() != value)
            line->setText(value);
    } else if (auto *text = qobject_cast<QPlainTextEdit *>(w)) {
        if (text->toPlainText() != value)
            text->setPlainText(value);
    } else if (auto *box = qobject_cast<QCheckBox *>(w)) {
        box->setChecked(value.trimmed() != u'0' && !value.trimmed().isEmpty());
    } else if (auto *date = qobject_cast<QDateEdit *>(w)) {
        const QDate d = QDate::fromString(value, kDateFormat);
        date->setDate(d.isValid() ? d : kNoDate);
    }
}

void RecordFormDialog::loadValues()
{
    if (m_committing)
        return;
    for (int row = 0; row < m_editors.size(); ++row)
        setEditorText(row, m_form.fieldText(row));
}

void RecordFormDialog::accept()
{
    // Each value handed over signals a change; the editors not handed over yet must keep the
    // user's text until their turn.
    m_committing = true;
    for (int row = 0; row < m_editors.size(); ++row) {
        if (!m_form.isEditable(row))
            continue;
        const QString text = editorText(row);
        if (text == m_form.fieldText(row) || m_form.setFieldText(row, text))
            continue;
        m_committing = false;
        QMessageBox::warning(
            this, windowTitle(), tr("The value of \"%1\" is not valid.").arg(m_form.layout().fields().at(row).label));
        // Show the page of the field before putting the cursor in it.
        for (QWidget *p = m_editors.at(row)->parentWidget(); p; p = p->parentWidget()) {
            if (auto *tabs = qobject_cast<QTabWidget *>(p)) {
                for (int i = 0; i < tabs->count(); ++i) {
                    if (tabs->widget(i)->isAncestorOf(m_editors.at(row)))
                        tabs->setCurrentIndex(i);
                }
            }
        }
        m_editors.at(row)->setFocus();
        return;
    }
    m_committing = false;
    loadValues(); // texts cut to their fields' widths
    if (!m_form.accept()) {
        QMessageBox::warning(this, windowTitle(), m_form.lastError());
        return;
    }
    QDialog::accept();
}

} // namespace bizlib::ui
