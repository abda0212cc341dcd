#include "console/ui/DetailSheet.h"

#include "console/RequestListSet.h"
#include "console/ui/ListViews.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace console::ui {

namespace {
QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}
} // namespace

DetailSheet::DetailSheet(RequestListSet &lists, bool listColours, QWidget *parent)
    : QTabWidget(parent)
{
    addTab(detailsPage(lists, listColours), tr("Details"));
    addTab(attachmentsPage(lists, listColours), tr("Attachments"));
    addTab(notesPage(lists, listColours), tr("Notes"));
}

QWidget *DetailSheet::detailsPage(RequestListSet &lists, bool listColours)
{
    auto *page = new QWidget(this);
    auto *l = new QVBoxLayout(page);
    l->setContentsMargins(4, 4, 4, 4);
    m_details = new QPlainTextEdit(page);
    m_details->setObjectName(QStringLiteral("detailsText"));
    m_details->setReadOnly(true);
    m_items = ListViews::make(&lists.items(), listColours, page);
    m_items->setObjectName(QStringLiteral("itemList"));
    m_items->hide();
    l->addWidget(m_details);
    l->addWidget(m_items);
    return page;
}

QWidget *DetailSheet::attachmentsPage(RequestListSet &lists, bool listColours)
{
    auto *page = new QWidget(this);
    auto *l = new QVBoxLayout(page);
    l->setContentsMargins(4, 4, 4, 4);
    m_attachments = ListViews::make(&lists.attachments(), listColours, page);
    m_attachments->setObjectName(QStringLiteral("attachmentList"));
    // The buttons go in a row under the list, so that the sheet may stay low.
    auto *buttons = new QHBoxLayout;
    m_add = button(tr("&Add"), QStringLiteral("addAttachment"), page);
    m_delete = button(tr("&Delete"), QStringLiteral("deleteAttachment"), page);
    m_open = button(tr("&Open"), QStringLiteral("openAttachment"), page);
    m_copy = button(tr("Copy &url"), QStringLiteral("copyUrl"), page);
    m_artwork = button(tr("Art&work?"), QStringLiteral("artwork"), page);
    m_artwork->setToolTip(tr("Mark or unmark the attachment as the job's artwork"));
    for (QPushButton *b : { m_add, m_delete, m_open, m_copy, m_artwork })
        buttons->addWidget(b);
    buttons->addStretch();
    l->addWidget(m_attachments, 1);
    l->addLayout(buttons);
    return page;
}

QWidget *DetailSheet::notesPage(RequestListSet &lists, bool listColours)
{
    auto *page = new QWidget(this);
    auto *l = new QVBoxLayout(page);
    l->setContentsMargins(4, 4, 4, 4);
    m_noteStack = new QStackedWidget(page);

    m_notes = ListViews::make(&lists.notes(), listColours, m_noteStack);
    m_notes->setObjectName(QStringLiteral("noteList"));

    auto *remarksPage = new QWidget(m_noteStack);
    auto *rl = new QVBoxLayout(remarksPage);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addWidget(new QLabel(tr("General remarks/extras"), remarksPage));
    m_remarks = new QPlainTextEdit(remarksPage);
    m_remarks->setObjectName(QStringLiteral("remarksText"));
    m_remarks->setReadOnly(true);
    rl->addWidget(m_remarks);

    m_noteStack->addWidget(m_notes);
    m_noteStack->addWidget(remarksPage);

    auto *buttons = new QHBoxLayout;
    m_insert = button(tr("&Insert"), QStringLiteral("insertNote"), page);
    m_change = button(tr("&Change"), QStringLiteral("changeNote"), page);
    m_deleteNote = button(tr("&Delete"), QStringLiteral("deleteNote"), page);
    for (QPushButton *b : { m_insert, m_change, m_deleteNote })
        buttons->addWidget(b);
    buttons->addStretch();
    l->addWidget(m_noteStack, 1);
    l->addLayout(buttons);
    return page;
}

void DetailSheet::showDetails(const QString &text, bool items)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_details->setPlainText(shown);
    m_details->setVisible(!items);
    m_items->setVisible(items);
}

void DetailSheet::showRemarks(bool remarks, const QString &text)
{
    QString shown = text;
    m_remarks->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_noteStack->setCurrentIndex(remarks ? 1 : 0);
    m_change->setVisible(!remarks);
    m_deleteNote->setVisible(!remarks);
}

bool DetailSheet::showsRemarks() const
{
    return m_noteStack->currentIndex() == 1;
}

} // namespace console::ui
