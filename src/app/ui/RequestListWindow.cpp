#include "app/ui/RequestListWindow.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/TableListModel.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QTableView>

namespace app::ui {

RequestListWindow::RequestListWindow(bizlib::Database &db, QWidget *parent)
    : QMainWindow(parent), m_table(std::make_unique<bizlib::Table>(db, QStringLiteral("WebQuotes")))
{
    using Column = bizlib::TableListModel::Column;
    const QList<Column> columns{
        {tr("Number"), QStringLiteral("WQTE:Number"), {}, true},
        {tr("Web ID"), QStringLiteral("WQTE:WebID"), {}, true},
        {tr("Contact"), QStringLiteral("WQTE:Contact")},
        {tr("Title"), QStringLiteral("WQTE:Title")},
        {tr("Quantity"), QStringLiteral("WQTE:Quantity1"), {}, true},
        {tr("Price"), QStringLiteral("WQTE:SellingPrice1"), {}, true},
        {tr("Received"), QStringLiteral("WQTE:CreatedOn"),
         [](const bizlib::Record &r) {
             return bizlib::DateTime::dateText(r.toLong("CreatedOn"), QStringLiteral("dd/MM/yyyy")) + u' '
                    + bizlib::DateTime::timeText(r.toLong("CreatedAt"));
         }},
        {tr("Status"), QStringLiteral("WQTE:Status")},
    };
    m_model = new bizlib::TableListModel(*m_table, QStringLiteral("NUMBERKEY"), columns, this);
    m_model->setFilter(QStringLiteral("(WQTE:Status <> 'Processing')"));
    const bizlib::Status st = m_model->reset();

    auto *view = new QTableView(this);
    view->setModel(m_model);
    view->setAlternatingRowColors(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->resizeColumnsToContents();
    setCentralWidget(view);
    setWindowTitle(tr("Web console - web quote requests"));
    qint64 total = 0;
    if (st && m_model->totalCount(&total))
        statusBar()->showMessage(tr("%n request(s) waiting", nullptr, static_cast<int>(total)));
    else
        statusBar()->showMessage(tr("Cannot read the web quote requests: %1").arg(st.message()));
    resize(1000, 600);
}

RequestListWindow::~RequestListWindow() = default;

} // namespace app::ui
