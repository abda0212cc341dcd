#include "signups/ui/WebSignupProcess.h"

#include "bizlib/mail/MailSender.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "config/WindowSettings.h"
#include "notes/ui/ProcessingForms.h"
#include "signups/SignupProcessing.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace signups::ui {

using bizlib::forms::Response;

namespace {

QTableView *listView(QWidget *parent, const QString &name)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QLabel *prompt(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

WebSignupProcess::WebSignupProcess(
    SignupProcessing &processing, const QString &windowIni, QWidget *parent, bizlib::ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, QString::fromLatin1(ProcedureName))
    , m_trace(trace)
    , m_processing(processing)
    , m_windowIni(windowIni)
{
    setObjectName(QString::fromLatin1(ProcedureName));
    setWindowTitle(tr("Web signup wizard"));
    m_header = new QLabel(processing.headerTitle(), this);
    m_header->setObjectName(QStringLiteral("header"));
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(methodPage());
    m_pages->addWidget(clientPage());
    m_pages->addWidget(updatePage());
    m_pages->addWidget(contactPage());

    auto *cancel = new QPushButton(tr("Cancel"), this);
    m_back = new QPushButton(tr("< &Back"), this);
    m_next = new QPushButton(tr("&Next >"), this);
    m_ok = new QPushButton(tr("&OK"), this);
    m_back->setObjectName(QStringLiteral("back"));
    m_next->setObjectName(QStringLiteral("next"));
    m_ok->setObjectName(QStringLiteral("ok"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_back, &QPushButton::clicked, this, &WebSignupProcess::pressBack);
    connect(m_next, &QPushButton::clicked, this, &WebSignupProcess::pressNext);
    connect(m_ok, &QPushButton::clicked, this, &WebSignupProcess::pressOk);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(m_ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    const QByteArray geometry = m_windowIni.isEmpty()
        ? QByteArray()
        : config::WindowSettings(m_windowIni).geometry(QString::fromLatin1(ProcedureName));
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(820, 560);
    refresh();
}

QWidget *WebSignupProcess::methodPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("Method"));
    const bizlib::Record &s = m_processing.records().signup;
    auto *details = new QFormLayout;
    const auto show = [&](const QString &label, const QString &text) {
        auto *value = new QLabel(text.trimmed(), page);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        details->addRow(label, value);
    };
    show(tr("Name"), s.text("FullName"));
    show(tr("Company"), s.text("Company"));
    show(tr("Address"), QStringList { s.text("Address1").trimmed(), s.text("Address2").trimmed(),
                            s.text("Address3").trimmed() }
                            .join(QStringLiteral("\n"))
                            .trimmed());
    show(tr("Town"), s.text("Town"));
    show(tr("County"), s.text("County"));
    show(tr("Postcode"), s.text("Postcode"));
    show(tr("Tel"), s.text("Tel"));
    show(tr("Mobile"), s.text("Mobile"));
    show(tr("Email"), s.text("Email"));
    show(tr("Position"), s.text("Position"));
    show(tr("Notes"), s.text("Notes"));
    show(tr("Existing customer?"), s.toLong("IsCustomer") ? tr("Yes") : tr("No"));
    m_new = new QRadioButton(tr("New customer"), page);
    m_existing = new QRadioButton(tr("Existing customer"), page);
    m_new->setObjectName(QStringLiteral("newCustomer"));
    m_existing->setObjectName(QStringLiteral("existingCustomer"));
    const bool existing = m_processing.state().method == QLatin1String(SignupState::kExisting);
    (existing ? m_existing : m_new)->setChecked(true);
    connect(m_existing, &QRadioButton::toggled, this, [this](bool on) {
        m_processing.chooseMethod(on ? QString::fromLatin1(SignupState::kExisting) : QString::fromLatin1(SignupState::kNew));
        refresh();
    });
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(details);
    layout->addWidget(m_new);
    layout->addWidget(prompt(tr("Select this option if this registration is for a new company that is not setup in your "
                                "system."),
        page));
    layout->addWidget(m_existing);
    layout->addWidget(prompt(tr("Select this option if this registration is from a contact already within your "
                                "database, or for a new employee of a customer already in your system."),
        page));
    layout->addStretch(1);
    return page;
}

QWidget *WebSignupProcess::clientPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("Client"));
    m_locator = new QLineEdit(page);
    m_locator->setObjectName(QStringLiteral("locator"));
    m_locator->setPlaceholderText(tr("Locate a company"));
    m_webStatus = new QComboBox(page);
    m_webStatus->setObjectName(QStringLiteral("webStatus"));
    m_webStatus->addItems({ tr("Both"), tr("Enabled"), tr("Disabled") });
    m_clientView = listView(page, QStringLiteral("clients"));
    m_clientView->setModel(&m_processing.clientList());
    auto *view = new QPushButton(tr("&View"), page);
    connect(m_locator, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int row = m_processing.clientList().locate(text);
        if (row >= 0)
            m_clientView->selectRow(row);
    });
    const QStringList statuses { QStringLiteral("Both"), QStringLiteral("Enabled"), QStringLiteral("Disabled") };
    connect(m_webStatus, &QComboBox::currentIndexChanged, this, [this, statuses](int index) {
        m_processing.setWebStatus(statuses.value(index));
        m_clientView->setFocus();
    });
    connect(m_clientView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { m_processing.chooseClient(current.row()); });
    connect(view, &QPushButton::clicked, this,
        [this] { m_processing.viewClient(m_clientView->currentIndex().row()); });
    auto *tools = new QHBoxLayout;
    tools->addWidget(m_locator, 1);
    tools->addWidget(new QLabel(tr("Web status"), page));
    tools->addWidget(m_webStatus);
    tools->addWidget(view);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(prompt(tr("Select an existing client, or press Back to select a different signup method..."), page));
    layout->addLayout(tools);
    layout->addWidget(m_clientView, 1);
    return page;
}

QWidget *WebSignupProcess::updatePage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("Client-update"));
    m_formView = new QTableView(page);
    m_formView->setObjectName(QStringLiteral("clientForm"));
    m_formView->verticalHeader()->hide();
    m_formView->horizontalHeader()->setStretchLastSection(true);
    auto *tools = new QHBoxLayout;
    using Lookup = SignupProcessing::Lookup;
    const QList<QPair<QString, Lookup>> lookups { { tr("Country..."), Lookup::Country },
        { tr("Currency..."), Lookup::Currency }, { tr("Nominal..."), Lookup::Nominal },
        { tr("Tax-code..."), Lookup::TaxCode }, { tr("Rep..."), Lookup::Rep }, { tr("A/C Manager..."), Lookup::Manager } };
    for (const auto &[text, which] : lookups) {
        auto *button = new QPushButton(text, page);
        connect(button, &QPushButton::clicked, this, [this, which = which] {
            m_processing.lookup(which);
            refresh();
        });
        tools->addWidget(button);
    }
    auto *calendar = new QPushButton(tr("Expires..."), page);
    connect(calendar, &QPushButton::clicked, this, [this] { m_processing.pickExpiryDate(); });
    tools->addWidget(calendar);
    tools->addStretch(1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(prompt(tr("Enter the client details to complete the registration..."), page));
    layout->addWidget(m_formView, 1);
    layout->addLayout(tools);
    return page;
}

QWidget *WebSignupProcess::contactPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("Contacts"));
    m_contactView = listView(page, QStringLiteral("contacts"));
    m_contactView->setModel(&m_processing.contactList());
    auto *add = new QPushButton(tr("&Add"), page);
    auto *edit = new QPushButton(tr("&Edit"), page);
    connect(m_contactView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) {
            m_processing.chooseContact(current.row());
            refresh();
        });
    connect(add, &QPushButton::clicked, this, [this] {
        m_processing.addContact();
        refresh();
    });
    connect(edit, &QPushButton::clicked, this, [this] {
        m_processing.editContact(m_contactView->currentIndex().row());
        refresh();
    });
    auto *tools = new QHBoxLayout;
    tools->addStretch(1);
    tools->addWidget(add);
    tools->addWidget(edit);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(prompt(tr("Tag an existing contact to register, or press add to create this record..."), page));
    layout->addWidget(m_contactView, 1);
    layout->addLayout(tools);
    return page;
}

void WebSignupProcess::bindClientForm()
{
    bizlib::forms::FormModel *form = m_processing.clientForm();
    if (m_formView->model() == form)
        return;
    m_formView->setModel(form);
    if (!form)
        return;
    m_formView->resizeColumnToContents(bizlib::forms::FormModel::LabelColumn);
    connect(form, &QAbstractItemModel::dataChanged, this, [this, form](const QModelIndex &from) {
        if (from.column() != bizlib::forms::FormModel::ValueColumn)
            return;
        const QString field = form->data(from, bizlib::forms::FormModel::FieldNameRole).toString();
        // A check may set other fields of the form again: those changes are not edits of the user.
        static bool checking = false;
        if (checking)
            return;
        checking = true;
        if (!m_processing.clientFieldEdited(field))
            m_formView->setCurrentIndex(from);
        checking = false;
        refresh();
    });
}

void WebSignupProcess::refresh()
{
    m_pages->setCurrentIndex(qBound(0, m_processing.step() - 1, 3));
    m_back->setEnabled(m_processing.backEnabled());
    m_next->setEnabled(m_processing.nextEnabled());
    m_ok->setEnabled(m_processing.okEnabled());
    if (m_processing.step() == 3)
        bindClientForm();
    if (m_processing.step() == 4) {
        const int row = m_processing.contactList().rowOf(m_processing.state().contactId);
        if (row >= 0 && m_contactView->currentIndex().row() != row)
            m_contactView->selectRow(row);
    }
}

void WebSignupProcess::pressNext()
{
    m_processing.next();
    refresh();
}

void WebSignupProcess::pressBack()
{
    m_processing.back();
    refresh();
}

void WebSignupProcess::pressOk()
{
    if (m_processing.ok())
        done(m_processing.response() == Response::Completed ? QDialog::Accepted : QDialog::Rejected);
}

void WebSignupProcess::done(int result)
{
    if (!m_closing) {
        m_closing = true;
        m_processing.close();
        if (!m_windowIni.isEmpty())
            config::WindowSettings(m_windowIni, m_trace).setGeometry(QString::fromLatin1(ProcedureName), saveGeometry());
    }
    QDialog::done(result);
}

Response WebSignupProcess::run(
    config::AppContext &ctx, const bizlib::Record &signup, QWidget *parent, const bizlib::Record &webOrder)
{
    bizlib::ui::WidgetForms forms(parent, ctx.trace);
    notes::ui::ProcessingForms::prepare(forms, ctx);
    bizlib::mail::MailSender mail(bizlib::mail::mailSettingsFrom(ctx.brevix), nullptr, ctx.prompter, ctx.trace);
    SignupProcessing::Services services;
    services.ctx = &ctx;
    services.forms = &forms;
    services.mail = &mail;
    SignupProcessing processing(services, signup, webOrder);
    // A B2C sign-up may be accepted (or the claim declined) before the window would show.
    if (processing.open() && processing.isVisible()) {
        WebSignupProcess window(processing, ctx.paths.windowIni, parent, ctx.trace);
        forms.setParent(&window);
        window.setWindowModality(Qt::WindowModal);
        window.exec();
    }
    processing.close();
    return processing.response();
}

} // namespace signups::ui
