#include "signups/ui/WebSignupProcess.h"

#include "bizlib/mail/MailSender.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "config/WindowSettings.h"
#include "notes/ui/ProcessingForms.h"
#include "signups/SignupProcessing.h"
#include "signups/ui/ClientUpdatePage.h"
#include "signups/ui/SignupListMarks.h"

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
    view->horizontalHeader()->setSectionsMovable(true);
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
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
        resize(960, 620);
    restoreLists();
    refresh();
}

void WebSignupProcess::restoreLists()
{
    // Widths that show each column's usual contents, until the user's own are saved.
    const QList<int> clientWidths { 220, 80, 85, 50, 110, 75, 45, 110, 110, 70, 80, 60, 55, 130, 45, 80, 60 };
    for (int c = 0; c < clientWidths.size(); ++c)
        m_clientView->horizontalHeader()->resizeSection(c, clientWidths.at(c));
    const QList<int> contactWidths { 190, 130, 105, 210, 80 };
    for (int c = 0; c < contactWidths.size(); ++c)
        m_contactView->horizontalHeader()->resizeSection(c, contactWidths.at(c));
    if (m_windowIni.isEmpty())
        return;
    const config::WindowSettings settings(m_windowIni);
    const QString name = QString::fromLatin1(ProcedureName);
    const QByteArray clients = settings.listColumns(name, QStringLiteral("Clients"));
    if (!clients.isEmpty())
        m_clientView->horizontalHeader()->restoreState(clients);
    const QByteArray contacts = settings.listColumns(name, QStringLiteral("Contacts"));
    if (!contacts.isEmpty())
        m_contactView->horizontalHeader()->restoreState(contacts);
}

void WebSignupProcess::saveSettings()
{
    if (m_windowIni.isEmpty())
        return;
    config::WindowSettings settings(m_windowIni, m_trace);
    const QString name = QString::fromLatin1(ProcedureName);
    settings.setGeometry(name, saveGeometry());
    settings.setListColumns(name, QStringLiteral("Clients"), m_clientView->horizontalHeader()->saveState());
    settings.setListColumns(name, QStringLiteral("Contacts"), m_contactView->horizontalHeader()->saveState());
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
    m_locator->setPlaceholderText(tr("Type the start of a company name"));
    m_locator->setClearButtonEnabled(true);
    m_webStatus = new QComboBox(page);
    m_webStatus->setObjectName(QStringLiteral("webStatus"));
    m_webStatus->addItems({ tr("Both"), tr("Enabled"), tr("Disabled") });
    m_clientView = listView(page, QStringLiteral("clients"));
    m_clientView->setModel(new SignupListMarks(SignupListMarks::List::Clients, &m_processing.clientList(), m_clientView));
    m_clientView->setIconSize(QSize(34, 16));
    auto *view = new QPushButton(tr("&View"), page);
    view->setToolTip(tr("Show the chosen client's account"));
    connect(m_locator, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int row = m_processing.clientList().locate(text);
        if (row >= 0)
            m_clientView->selectRow(row);
    });
    const QStringList statuses { QStringLiteral("Both"), QStringLiteral("Enabled"), QStringLiteral("Disabled") };
    connect(m_webStatus, &QComboBox::currentIndexChanged, this, [this, statuses](int index) {
        m_processing.setWebStatus(statuses.value(index));
        selectChosenClient();
        m_clientView->setFocus();
    });
    connect(m_clientView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { m_processing.chooseClient(current.row()); });
    connect(view, &QPushButton::clicked, this,
        [this] { m_processing.viewClient(m_clientView->currentIndex().row()); });
    auto *tools = new QHBoxLayout;
    auto *locate = new QLabel(tr("&Locate:"), page);
    locate->setBuddy(m_locator);
    tools->addWidget(locate);
    tools->addWidget(m_locator, 1);
    auto *status = new QLabel(tr("&Web status:"), page);
    status->setBuddy(m_webStatus);
    tools->addWidget(status);
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
    m_updatePage = new ClientUpdatePage(m_processing, this);
    connect(m_updatePage, &ClientUpdatePage::edited, this, &WebSignupProcess::refresh);
    return m_updatePage;
}

QWidget *WebSignupProcess::contactPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("Contacts"));
    m_contactView = listView(page, QStringLiteral("contacts"));
    m_contactView->setModel(
        new SignupListMarks(SignupListMarks::List::Contacts, &m_processing.contactList(), m_contactView));
    m_contactView->setIconSize(QSize(34, 16));
    auto *add = new QPushButton(tr("&Add"), page);
    auto *edit = new QPushButton(tr("&Edit"), page);
    add->setToolTip(tr("Add the person who signed up as a new contact of this client"));
    edit->setToolTip(tr("Change the selected contact"));
    // A contact is tagged by the user's click or Enter only: the row a list makes current when it
    // gets the focus (after "Contact not found" was answered No) is no choice.
    const auto tag = [this](const QModelIndex &index) {
        m_processing.chooseContact(index.row());
        refresh();
    };
    connect(m_contactView, &QAbstractItemView::clicked, this, tag);
    connect(m_contactView, &QAbstractItemView::activated, this, tag);
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

void WebSignupProcess::selectChosenClient()
{
    const int row = m_processing.clientList().rowOf(m_processing.records().clientAlias.toLong("ClientID"));
    if (row >= 0) {
        if (m_clientView->currentIndex().row() != row)
            m_clientView->selectRow(row);
        m_clientView->scrollTo(m_clientView->model()->index(row, 0));
    }
}

void WebSignupProcess::refresh()
{
    const int page = qBound(0, m_processing.step() - 1, 3);
    const bool entered = m_pages->currentIndex() != page;
    m_pages->setCurrentIndex(page);
    m_back->setEnabled(m_processing.backEnabled());
    m_next->setEnabled(m_processing.nextEnabled());
    m_ok->setEnabled(m_processing.okEnabled());
    if (entered && m_processing.step() == 2)
        selectChosenClient();
    if (entered && m_processing.step() == 3)
        m_updatePage->bind();
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
        saveSettings();
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
