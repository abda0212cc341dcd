#include "bizlib/ui/SelectionListDialog.h"

#include "bizlib/forms/SelectionList.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace bizlib::ui {

SelectionListDialog::SelectionListDialog(forms::SelectionList &list, QWidget *parent, ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, QStringLiteral("Select") + list.definition().table)
    , m_list(list)
    , m_locator(new QLineEdit(this))
    , m_view(new QTableView(this))
{
    setWindowTitle(list.definition().caption);
    m_locator->setObjectName(QStringLiteral("locator"));
    m_locator->setText(list.definition().initialLocator);
    m_view->setModel(&list.model());
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->setWordWrap(false);
    m_view->setTextElideMode(Qt::ElideRight);

    auto *buttons = new QDialogButtonBox(this);
    m_select = buttons->addButton(tr("&Select"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    m_select->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectionListDialog::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_view, &QAbstractItemView::doubleClicked, this, &SelectionListDialog::choose);
    connect(m_locator, &QLineEdit::textEdited, this, &SelectionListDialog::locate);
    connect(
        m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &SelectionListDialog::updateSelect);

    auto *locatorRow = new QHBoxLayout;
    auto *label = new QLabel(tr("&Locate:"), this);
    label->setBuddy(m_locator);
    locatorRow->addWidget(label);
    locatorRow->addWidget(m_locator);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(locatorRow);
    layout->addWidget(m_view);
    layout->addWidget(buttons);
    fitColumns();
    showRow(list.currentRow());
    m_locator->setFocus();
}

void SelectionListDialog::fitColumns()
{
    QHeaderView *header = m_view->horizontalHeader();
    header->setStretchLastSection(false);
    m_view->resizeColumnsToContents();
    // The widest column (a title, a name, a description) takes what the window has to spare and
    // gives way first; the others keep the width of what they show.
    int widest = -1;
    int total = 0;
    for (int c = 0; c < header->count(); ++c) {
        header->setSectionResizeMode(c, QHeaderView::Interactive);
        const int w = std::min(header->sectionSize(c), kMaxColumnWidth);
        header->resizeSection(c, w);
        total += w;
        if (widest < 0 || w > header->sectionSize(widest))
            widest = c;
    }
    if (widest >= 0)
        header->setSectionResizeMode(widest, QHeaderView::Stretch);
    const int margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    QSize wanted(total + margins + 2 * m_view->frameWidth() + m_view->verticalScrollBar()->sizeHint().width() + 8, 420);
    if (const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(std::max(wanted.width(), 560), wanted.height());
}

int SelectionListDialog::currentRow() const
{
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void SelectionListDialog::locate(const QString &text)
{
    showRow(m_list.locate(text));
}

void SelectionListDialog::showRow(int row)
{
    if (row < 0) {
        m_view->selectionModel()->clearCurrentIndex();
        updateSelect();
        return;
    }
    const QModelIndex index = m_list.model().index(row, 0);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(index);
    updateSelect();
}

void SelectionListDialog::choose()
{
    if (m_list.choose(currentRow()))
        accept();
}

void SelectionListDialog::updateSelect()
{
    m_select->setEnabled(currentRow() >= 0);
}

} // namespace bizlib::ui
