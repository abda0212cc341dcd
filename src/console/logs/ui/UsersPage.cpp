#include "console/logs/ui/UsersPage.h"

#include "bizlib/DateText.h"
#include "console/logs/UserListModel.h"
#include "console/ui/ListViews.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace console::ui {

UsersPage::UsersPage(config::AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_ctx(context)
    , m_model(std::make_unique<UserListModel>(*context.db))
    , m_filters(new QButtonGroup(this))
    , m_sendTo(new QPushButton(tr("Send To"), this))
    , m_send(ListSender::forWindow(context, this))
{
    auto *filterBox = new QGroupBox(tr("Status"), this);
    auto *filterRow = new QHBoxLayout(filterBox);
    int id = 0;
    for (const QString &f : UserListModel::statusFilters()) {
        auto *b = new QRadioButton(tr(f.toUtf8().constData()), filterBox);
        b->setObjectName(f);
        m_filters->addButton(b, id++);
        filterRow->addWidget(b);
    }
    filterRow->addStretch();
    m_filters->button(0)->setChecked(true);

    m_view = ListViews::make(m_model.get(), 0xFFFFFF, m_ctx.brevix.listColours != 0, this);
    m_view->setToolTip(tr("Web user status"));
    m_sendTo->setToolTip(tr("Send the list to a file, e-mail or a printer"));

    m_source = new QLabel(this);
    m_source->setObjectName(QStringLiteral("source"));
    m_source->setWordWrap(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_source, 1);
    buttons->addWidget(m_sendTo);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBox);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    connect(m_filters, &QButtonGroup::idClicked, this, [this] { load(); });
    // Send To is always offered here (only the history's depends on its rows).
    connect(m_sendTo, &QPushButton::clicked, this, &UsersPage::sendTo);
}

UsersPage::~UsersPage() = default;

QString UsersPage::statusFilter() const
{
    const QAbstractButton *b = m_filters->checkedButton();
    return b ? b->objectName() : QStringLiteral("Active");
}

void UsersPage::setStatusFilter(const QString &filter)
{
    for (QAbstractButton *b : m_filters->buttons()) {
        if (b->objectName().compare(filter, Qt::CaseInsensitive) == 0 && !b->isChecked()) {
            b->setChecked(true);
            load();
        }
    }
}

QString UsersPage::sourceText() const
{
    return m_source->text();
}

void UsersPage::load()
{
    const QString &path = m_ctx.paths.accountsFile;
    const bool loaded = m_model->load(path, statusFilter());
    // The list itself stays empty when there is no file; the line below it says why.
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty() || !file.exists())
        m_source->setText(tr("The web monitor has not reported the website's users yet: %1 is not there.").arg(shown));
    else if (!loaded)
        m_source->setText(tr("The users file %1 cannot be read.").arg(shown));
    else
        m_source->setText(tr("As the web monitor reported them on %1.")
                              .arg(bizlib::DateText::current().dateTime(file.lastModified())));
    m_view->resizeColumnsToContents();
    for (int c = 0; c < m_model->columnCount() - 1; ++c)
        m_view->setColumnWidth(c, std::min(m_view->columnWidth(c) + 12, 260));
}

void UsersPage::sendTo()
{
    if (m_send)
        m_send(*m_model, m_model->rowCount());
}

} // namespace console::ui
