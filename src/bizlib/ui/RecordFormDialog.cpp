#include "bizlib/ui/RecordFormDialog.h"

#include "bizlib/DateText.h"
#include "bizlib/forms/FormModel.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace bizlib::ui {

namespace {

using Editor = forms::FormLayout::Editor;

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
    QSize largest;
    for (const QString &group : groups) {
        QWidget *page = makePage(group);
        largest = largest.expandedTo(page->sizeHint());
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

    // Large enough to show every field of the largest page without scrolling, as far as the
    // screen allows; the scroll bars are for small screens.
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    const QSize chrome = tabs ? tabs->tabBar()->sizeHint() : QSize();
    QSize wanted(largest.width() + frame + 2 * layout->contentsMargins().left(),
        largest.height() + frame + chrome.height() + buttons->sizeHint().height() + layout->spacing()
            + layout->contentsMargins().top() + layout->contentsMargins().bottom() + 12);
    // The window's frame and title bar come on top of that.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 80));
    resize(wanted.expandedTo(QSize(420, 200)));
}

QString RecordFormDialog::procedureName(const forms::FormModel &form)
{
    return QStringLiteral("Update")
        + (form.records().isEmpty() ? QStringLiteral("Record") : form.record().table().name);
}

QWidget *RecordFormDialog::makePage(const QString &group)
{
    auto *page = new QWidget;
    const QStringList columns = m_form.layout().columns(group);
    QList<int> rows;
    for (int row = 0; row < m_form.fieldCount(); ++row) {
        if (m_form.layout().fields().at(row).group == group)
            rows << row;
    }
    const auto labelFor = [this](int row, QWidget *parent) {
        auto *label = new QLabel(m_form.layout().fields().at(row).label + u':', parent);
        label->setBuddy(m_editors.at(row));
        if (m_form.maxLength(row) > 0)
            label->setToolTip(tr("At most %1 characters").arg(m_form.maxLength(row)));
        return label;
    };
    if (columns.isEmpty()) {
        // The rows keep their own height: what is left over stays below them.
        auto *outer = new QVBoxLayout(page);
        auto *side = new QHBoxLayout;
        outer->addLayout(side);
        outer->addStretch(1);
        const int n = m_form.layout().sideBySideColumns(group);
        const int perColumn = int((rows.size() + n - 1) / n);
        QFormLayout *form = nullptr;
        for (int i = 0; i < rows.size(); ++i) {
            if (i % std::max(1, perColumn) == 0) {
                form = new QFormLayout;
                side->addLayout(form, 1);
            }
            form->addRow(labelFor(rows.at(i), page), m_editors.at(rows.at(i)));
        }
        return page;
    }
    // A grid: headings over the columns, a number before each line.
    auto *grid = new QGridLayout(page);
    for (int c = 0; c < columns.size(); ++c) {
        auto *heading = new QLabel(columns.at(c), page);
        heading->setStyleSheet(QStringLiteral("font-weight: bold;"));
        grid->addWidget(heading, 0, c + 1);
    }
    for (int i = 0; i < rows.size(); ++i) {
        const int line = int(i / columns.size()) + 1;
        const int column = int(i % columns.size()) + 1;
        QWidget *editor = m_editors.at(rows.at(i));
        editor->setAccessibleName(m_form.layout().fields().at(rows.at(i)).label);
        const FieldDef &def = m_form.fieldDef(rows.at(i));
        if (def.type == FieldType::Decimal || def.type == FieldType::Long) {
            // A number is as wide as its digits.
            const int digits = def.type == FieldType::Long ? 8 : std::min(def.digits + 1, 12);
            editor->setMaximumWidth(editor->fontMetrics().horizontalAdvance(QString(digits, u'9')) + 16);
        }
        if (column == 1)
            grid->addWidget(new QLabel(QString::number(line), page), line, 0);
        grid->addWidget(editor, line, column);
    }
    // The texts take the room the numbers leave.
    for (int c = 0; c < columns.size(); ++c) {
        const int row = rows.value(c, -1);
        const bool text = row >= 0 && m_form.fieldDef(row).type != FieldType::Decimal
            && m_form.fieldDef(row).type != FieldType::Long;
        grid->setColumnStretch(c + 1, text ? 3 : 1);
    }
    grid->setRowStretch(int((rows.size() + columns.size() - 1) / columns.size()) + 1, 1);
    return page;
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
        // Shown as every date of the program is; the form's texts stay ISO.
        date->setDisplayFormat(DateText().shortDateFormat());
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
        // As high as the field's use needs, not as high as the room allows: a title two lines,
        // an address five. Without a height given, a wider field gets more lines.
        int lines = m_form.layout().fields().at(row).lines;
        if (lines <= 0)
            lines = max > 0 && max <= 300 ? 2 : max > 0 && max <= 1000 ? 3 : 6;
        const QMargins m = text->contentsMargins();
        text->setFixedHeight(text->fontMetrics().lineSpacing() * lines + 2 * int(text->document()->documentMargin())
            + m.top() + m.bottom() + 2 * text->frameWidth());
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
    if (!editable && !qobject_cast<QCheckBox *>(editor)) {
        // What cannot be typed into does not look as if it could.
        QPalette look = editor->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Window));
        editor->setPalette(look);
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

void RecordFormDialog::acceptTextDrops(const QString &mimeType, DropApply apply)
{
    m_dropType = mimeType;
    m_dropApply = std::move(apply);
    for (int row = 0; row < m_editors.size(); ++row) {
        if (!m_form.isEditable(row))
            continue;
        QWidget *target = m_editors.at(row);
        if (auto *text = qobject_cast<QPlainTextEdit *>(target))
            target = text->viewport(); // the viewport is what a drag reaches
        else if (!qobject_cast<QLineEdit *>(target))
            continue;
        target->setAcceptDrops(true);
        target->installEventFilter(this);
        m_dropTargets.insert(target, row);
    }
}

bool RecordFormDialog::eventFilter(QObject *watched, QEvent *event)
{
    const auto target = m_dropTargets.constFind(watched);
    if (target == m_dropTargets.cend() || m_dropType.isEmpty())
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!drag->mimeData()->hasFormat(m_dropType))
            return QDialog::eventFilter(watched, event);
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!drop->mimeData()->hasFormat(m_dropType))
            return QDialog::eventFilter(watched, event);
        drop->acceptProposedAction();
        const int row = *target;
        const QString dropped = QString::fromUtf8(drop->mimeData()->data(m_dropType));
        if (dropped.trimmed().isEmpty() || !m_dropApply)
            return true;
        const std::optional<QString> text = m_dropApply(editorText(row), dropped, m_form.maxLength(row));
        if (!text)
            return true;
        const int max = m_form.maxLength(row);
        setEditorText(row, max > 0 ? text->left(max) : *text);
        QWidget *editor = m_editors.at(row);
        editor->setFocus();
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->selectAll();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(editor))
            plain->selectAll();
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
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
