#include "console/logs/ui/ClaimsPage.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Prompter.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace console::ui {

namespace {
QString stamp(qint32 day, qint32 time)
{
    return day == 0 ? QString() : bizlib::DateTime::dateText(day) + u' ' + bizlib::DateTime::timeText(time);
}
} // namespace

ClaimsPage::ClaimsPage(config::AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_ctx(context)
    , m_list(*context.db, bizlib::AttachmentFiles::dataFolders(context.brevix.globalData, context.brevix.localData),
          context.db->config().claimTimeout)
    , m_mayRelease(ClaimList::mayRelease(*context.db, context.glo.user.userId))
{
    setObjectName(QStringLiteral("ClaimsPage"));
    m_table = new QTableWidget(0, 6, this);
    m_table->setHorizontalHeaderLabels(
        { tr("Kind"), tr("Reference"), tr("Holder"), tr("Since"), tr("Last seen"), tr("Stale") });
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // One line per claim: the holder and the times are read at a glance, not wrapped.
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    auto *refresh = new QPushButton(tr("Refresh"), this);
    m_release = new QPushButton(tr("Release"), this);
    m_release->setObjectName(QStringLiteral("release"));
    m_release->setEnabled(false);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(refresh);
    buttons->addWidget(m_release);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    connect(refresh, &QPushButton::clicked, this, &ClaimsPage::refresh);
    connect(m_release, &QPushButton::clicked, this, &ClaimsPage::releaseSelected);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        const int row = m_table->currentRow();
        m_release->setEnabled(m_mayRelease && row >= 0 && row < m_rows.size() && m_rows.at(row).stale);
    });
}

void ClaimsPage::refresh()
{
    const bizlib::Status st = m_list.read(&m_rows);
    if (!st)
        m_rows.clear();
    m_table->setRowCount(int(m_rows.size()));
    for (int i = 0; i < m_rows.size(); ++i) {
        const ClaimList::Row &r = m_rows.at(i);
        QString holder = r.holder.workstation.trimmed();
        if (!r.holder.userCode.trimmed().isEmpty())
            holder += QStringLiteral(" (") + r.holder.userCode.trimmed() + u')';
        const QStringList cells { r.kind, r.reference.isEmpty() ? tr("(gone)") : r.reference, holder,
            stamp(r.holder.startedOn, r.holder.startedAt), stamp(r.holder.seenOn, r.holder.seenAt),
            r.stale ? tr("stale") : QString() };
        for (int c = 0; c < cells.size(); ++c)
            m_table->setItem(i, c, new QTableWidgetItem(cells.at(c)));
    }
    m_table->resizeColumnsToContents();
    // The rows were read afresh and may stand in another order: nothing stays selected, so the
    // selection that enables Release is always one the user made on these rows.
    m_table->clearSelection();
    m_table->setCurrentCell(-1, -1);
    m_release->setEnabled(false);
    const auto stale = std::count_if(m_rows.cbegin(), m_rows.cend(), [](const ClaimList::Row &r) { return r.stale; });
    if (!st)
        m_summary->setText(tr("The claims could not be read."));
    else if (m_rows.isEmpty())
        m_summary->setText(tr("No web request is being processed anywhere now."));
    else if (stale == 0)
        m_summary->setText(m_rows.size() == 1 ? tr("1 web request is being processed.")
                                              : tr("%1 web requests are being processed.").arg(m_rows.size()));
    else
        m_summary->setText(tr("%1 held, %2 of them by a run that no longer answers.%3")
                               .arg(m_rows.size() == 1 ? tr("1 web request") : tr("%1 web requests").arg(m_rows.size()))
                               .arg(stale)
                               .arg(m_mayRelease ? QString() : tr(" Releasing them needs right 44.")));
    if (!st && m_ctx.prompter)
        m_ctx.prompter->alert(st.message(), tr("Claims"), bizlib::Prompter::Icon::Exclamation);
}

QString ClaimsPage::summary() const
{
    return m_summary->text();
}

void ClaimsPage::releaseSelected()
{
    const int row = m_table->currentRow();
    if (row < 0 || row >= m_rows.size() || !m_ctx.prompter)
        return;
    QString message;
    const ClaimList::Release r = m_list.release(m_rows.at(row).holder, m_mayRelease, *m_ctx.prompter, &message);
    if (r != ClaimList::Release::Cancelled && !message.isEmpty())
        m_ctx.prompter->alert(message, tr("Release claim"),
            r == ClaimList::Release::Released ? bizlib::Prompter::Icon::Information
                                              : bizlib::Prompter::Icon::Exclamation);
    refresh();
}

} // namespace console::ui
