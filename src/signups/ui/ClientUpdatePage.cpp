#include "signups/ui/ClientUpdatePage.h"

#include "bizlib/DateText.h"

#include "bizlib/forms/FormModel.h"
#include "signups/SignupProcessing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace signups::ui {

using bizlib::forms::FormLayout;
using bizlib::forms::FormModel;

namespace {

QString lookupTip(SignupProcessing::Lookup which)
{
    switch (which) {
    case SignupProcessing::Lookup::Country:
        return ClientUpdatePage::tr("Take the country, or add it when it is not known yet");
    case SignupProcessing::Lookup::Currency:
        return ClientUpdatePage::tr("Choose from the currencies");
    case SignupProcessing::Lookup::Nominal:
        return ClientUpdatePage::tr("Choose from the income nominal codes");
    case SignupProcessing::Lookup::TaxCode:
        return ClientUpdatePage::tr("Choose from the sales tax rates");
    default:
        return ClientUpdatePage::tr("Choose from the users");
    }
}

} // namespace

ClientUpdatePage::ClientUpdatePage(SignupProcessing &processing, QWidget *parent)
    : QWidget(parent)
    , m_processing(processing)
{
    setObjectName(QStringLiteral("Client-update"));
}

void ClientUpdatePage::bind()
{
    FormModel *form = m_processing.clientForm();
    if (!form)
        return;
    m_form = form;
    // Every entry to the step makes a new form of the same layout: the editors are made once.
    if (m_editors.isEmpty())
        build();
    load();
    if (QWidget *code = m_editors.value(QStringLiteral("Code")))
        code->setFocus();
}

QWidget *ClientUpdatePage::withButton(
    QWidget *editor, const QString &tip, const std::function<void()> &press, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(editor, 1);
    auto *button = new QPushButton(QStringLiteral("..."), box);
    button->setObjectName(editor->objectName() + QStringLiteral("Lookup"));
    button->setToolTip(tip);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 18);
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QPushButton::clicked, this, press);
    row->addWidget(button);
    return box;
}

QWidget *ClientUpdatePage::makeEditor(int row, QWidget *parent)
{
    const FormLayout::Field &f = m_form->layout().fields().at(row);
    const QString field = f.name;
    QWidget *shown = nullptr;
    const QStringList choices = SignupProcessing::clientChoices(field);
    if (!choices.isEmpty()) {
        auto *combo = new QComboBox(parent);
        connect(combo, &QComboBox::activated, this, [this, field] { commit(field); });
        shown = combo;
        m_editors.insert(field, combo);
    } else if (m_form->editor(row) == FormLayout::Editor::Check) {
        auto *box = new QCheckBox(f.label, parent);
        connect(box, &QCheckBox::clicked, this, [this, field] { commit(field); });
        shown = box;
        m_editors.insert(field, box);
    } else {
        auto *line = new QLineEdit(parent);
        line->setObjectName(field); // before its button, which is named after it
        if (m_form->maxLength(row) > 0)
            line->setMaxLength(m_form->maxLength(row));
        line->setReadOnly(!m_form->isEditable(row));
        connect(line, &QLineEdit::editingFinished, this, [this, field] { commit(field); });
        if (field == QLatin1String("Code") || field == QLatin1String("Name")) {
            // Next follows the code and the name as they are typed; their check runs on leaving.
            connect(line, &QLineEdit::textEdited, this, [this, field](const QString &text) {
                if (m_loading)
                    return;
                m_typed.insert(field);
                m_processing.clientFieldTyped(field, text);
                emit edited();
            });
        }
        if (m_form->fieldDef(row).type == bizlib::FieldType::Time)
            line->setPlaceholderText(QStringLiteral("HH:mm"));
        shown = line;
        m_editors.insert(field, line);
        if (m_form->fieldDef(row).type == bizlib::FieldType::Date) {
            m_dateFields.insert(field);
            line->setPlaceholderText(bizlib::DateText::current().shortDateFormat().toLower());
            shown = withButton(line, tr("Choose the date on a calendar"), [this] {
                m_processing.pickExpiryDate();
                load();
                emit edited();
            }, parent);
        } else if (const auto which = SignupProcessing::lookupFor(field)) {
            shown = withButton(line, lookupTip(*which), [this, which = *which, field] {
                // What was typed counts before the lookup runs.
                commit(field);
                m_processing.lookup(which);
                load();
                emit edited();
            }, parent);
        }
    }
    m_editors.value(field)->setObjectName(field);
    if (m_form->maxLength(row) > 0)
        m_editors.value(field)->setToolTip(tr("At most %1 characters").arg(m_form->maxLength(row)));
    return shown;
}

void ClientUpdatePage::build()
{
    const QList<FormLayout::Field> &fields = m_form->layout().fields();
    const auto addRows = [&](const QString &group, QFormLayout *form, QWidget *parent) {
        for (int row = 0; row < fields.size(); ++row) {
            if (fields.at(row).group != group)
                continue;
            QWidget *editor = makeEditor(row, parent);
            if (qobject_cast<QCheckBox *>(editor))
                form->addRow(QString(), editor);
            else
                form->addRow(fields.at(row).label.trimmed().isEmpty() ? QString() : fields.at(row).label + u':',
                    editor);
        }
    };

    auto *general = new QFormLayout;
    general->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    addRows(QStringLiteral("General"), general, this);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("clientTabs"));
    auto *internet = new QWidget(m_tabs);
    auto *internetForm = new QFormLayout;
    // The site domain stands above the web settings, which have a box of their own.
    auto *settings = new QGroupBox(tr("Web settings"), internet);
    auto *settingsForm = new QFormLayout(settings);
    for (int row = 0; row < fields.size(); ++row) {
        if (fields.at(row).group != QLatin1String("Internet"))
            continue;
        if (fields.at(row).name == QLatin1String("DomainID")) {
            m_domain = new QLabel(internet);
            m_domain->setObjectName(QStringLiteral("siteDomain"));
            m_domain->setTextInteractionFlags(Qt::TextSelectableByMouse);
            internetForm->addRow(fields.at(row).label + u':', m_domain);
            continue;
        }
        QWidget *editor = makeEditor(row, settings);
        if (qobject_cast<QCheckBox *>(editor))
            settingsForm->addRow(QString(), editor);
        else
            settingsForm->addRow(fields.at(row).label + u':', editor);
    }
    auto *internetLayout = new QVBoxLayout(internet);
    internetLayout->addLayout(internetForm);
    internetLayout->addWidget(settings);
    internetLayout->addStretch(1);
    m_tabs->addTab(internet, tr("Internet"));

    auto *accounts = new QWidget(m_tabs);
    auto *accountsForm = new QFormLayout;
    addRows(QStringLiteral("Accounts"), accountsForm, accounts);
    auto *accountsLayout = new QVBoxLayout(accounts);
    accountsLayout->addLayout(accountsForm);
    accountsLayout->addStretch(1);
    m_tabs->addTab(accounts, tr("Accounts"));

    auto *prompt = new QLabel(tr("Enter the client details to complete the registration..."), this);
    prompt->setWordWrap(true);
    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addLayout(general);
    left->addStretch(1);
    columns->addLayout(left, 3);
    columns->addWidget(m_tabs, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(prompt);
    layout->addLayout(columns, 1);
}

QString ClientUpdatePage::editorText(const QString &field) const
{
    QWidget *w = m_editors.value(field);
    if (auto *line = qobject_cast<QLineEdit *>(w)) {
        if (m_dateFields.contains(field)) {
            // The form keeps dates as ISO text; what cannot be read goes to it as typed (and is refused).
            const QDate date = bizlib::DateText::current().parseDate(line->text());
            return date.isValid() ? date.toString(Qt::ISODate) : line->text();
        }
        return line->text();
    }
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    if (auto *box = qobject_cast<QCheckBox *>(w))
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return {};
}

void ClientUpdatePage::setEditorText(const QString &field, const QString &text)
{
    QWidget *w = m_editors.value(field);
    if (auto *line = qobject_cast<QLineEdit *>(w)) {
        QString shown = text;
        if (const QDate date = QDate::fromString(text.trimmed(), Qt::ISODate);
            m_dateFields.contains(field) && date.isValid())
            shown = bizlib::DateText::current().shortDate(date);
        if (line->text() != shown)
            line->setText(shown);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        // A value that is none of the choices (an account made elsewhere) is shown as it is, so
        // that nothing changes unless the user picks another.
        QStringList items = SignupProcessing::clientChoices(field);
        if (!items.contains(text.trimmed()))
            items.prepend(text.trimmed());
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(int(items.indexOf(text.trimmed())));
    } else if (auto *box = qobject_cast<QCheckBox *>(w)) {
        box->setChecked(text.trimmed() == QLatin1String("1"));
    }
}

void ClientUpdatePage::load()
{
    if (!m_form || m_processing.clientForm() != m_form)
        return;
    m_loading = true;
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it)
        setEditorText(it.key(), m_form->fieldText(it.key()));
    if (m_domain) {
        const QString domain = m_processing.siteDomainText();
        m_domain->setText(domain.isEmpty() ? tr("(none)") : domain);
    }
    m_loading = false;
}

void ClientUpdatePage::commit(const QString &field)
{
    if (m_loading || !m_form || m_processing.clientForm() != m_form)
        return;
    const QString text = editorText(field);
    // Leaving a field unchanged runs no check (no lookup list opens on a Tab through the form).
    if (text == m_form->fieldText(field) && !m_typed.remove(field))
        return;
    QWidget *editor = m_editors.value(field);
    bool taken = m_form->setFieldText(field, text);
    if (!taken)
        QApplication::beep();
    else
        taken = m_processing.clientFieldEdited(field);
    load();
    emit edited();
    if (!taken && editor)
        QTimer::singleShot(0, editor, [editor] { editor->setFocus(); });
}

} // namespace signups::ui
