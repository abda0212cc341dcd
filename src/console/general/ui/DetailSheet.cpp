#include "console/general/ui/DetailSheet.h"

#include "console/general/RequestActions.h"
#include "console/general/RequestListSet.h"
#include "console/ui/ListViews.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
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

void DetailSheet::connectActions(RequestActions &actions, std::function<RequestRef()> newOwner)
{
    m_actions = &actions;
    m_newOwner = std::move(newOwner);
    connect(m_add, &QPushButton::clicked, this, &DetailSheet::addAttachments);
    connect(m_delete, &QPushButton::clicked, this, &DetailSheet::removeAttachment);
    connect(m_open, &QPushButton::clicked, this, &DetailSheet::showAttachment);
    connect(m_copy, &QPushButton::clicked, this, &DetailSheet::copyAttachmentUrl);
    connect(m_artwork, &QPushButton::clicked, this, &DetailSheet::toggleArtwork);
    connect(m_insert, &QPushButton::clicked, this, &DetailSheet::addNote);
    connect(m_change, &QPushButton::clicked, this, &DetailSheet::editNote);
    connect(m_deleteNote, &QPushButton::clicked, this, &DetailSheet::removeNote);
    connect(m_notes, &QTableView::doubleClicked, this, &DetailSheet::editNote);
    connect(m_attachments, &QTableView::doubleClicked, this, &DetailSheet::showAttachment);
}

void DetailSheet::updateButtons()
{
    const bool attachment = ListViews::currentRow(m_attachments) >= 0;
    m_add->setEnabled(true);
    for (QPushButton *b : { m_delete, m_open, m_copy, m_artwork })
        b->setEnabled(attachment);
    // An order without a note shows its remarks instead of the list, but takes its first note.
    m_insert->setEnabled(m_newOwner && m_newOwner().isSet());
    const bool note = !showsRemarks() && ListViews::currentRow(m_notes) >= 0;
    m_change->setEnabled(note);
    m_deleteNote->setEnabled(note);
}

std::unique_ptr<QMenu> DetailSheet::attachmentMenu(QWidget *parent)
{
    auto menu = std::make_unique<QMenu>(parent);
    const auto entry = [&menu](const QString &text, QPushButton *like, const std::function<void()> &run) {
        QAction *a = menu->addAction(text);
        a->setEnabled(like->isEnabled());
        connect(a, &QAction::triggered, menu.get(), run);
    };
    entry(tr("Add"), m_add, [this] { addAttachments(); });
    entry(tr("Delete"), m_delete, [this] { removeAttachment(); });
    entry(tr("Open"), m_open, [this] { showAttachment(); });
    entry(tr("Copy url"), m_copy, [this] { copyAttachmentUrl(); });
    entry(tr("Artwork"), m_artwork, [this] { toggleArtwork(); });
    return menu;
}

void DetailSheet::addAttachments()
{
    if (m_actions)
        m_actions->addAttachments(m_newOwner());
}

void DetailSheet::removeAttachment()
{
    if (const bizlib::Record *a = ListViews::currentRecord(m_attachments); a && m_actions)
        m_actions->deleteAttachment(*a);
}

void DetailSheet::showAttachment()
{
    if (const bizlib::Record *a = ListViews::currentRecord(m_attachments); a && m_actions)
        m_actions->openAttachment(*a);
}

void DetailSheet::copyAttachmentUrl()
{
    if (const bizlib::Record *a = ListViews::currentRecord(m_attachments); a && m_actions)
        m_actions->copyAttachmentUrl(*a);
}

void DetailSheet::toggleArtwork()
{
    if (const bizlib::Record *a = ListViews::currentRecord(m_attachments); a && m_actions)
        m_actions->toggleArtwork(*a);
}

void DetailSheet::addNote()
{
    if (m_insert->isEnabled() && m_actions)
        m_actions->insertNote(m_newOwner());
}

void DetailSheet::editNote()
{
    if (const bizlib::Record *note = ListViews::currentRecord(m_notes); note && m_actions)
        m_actions->changeNote(*note);
}

void DetailSheet::removeNote()
{
    if (const bizlib::Record *note = ListViews::currentRecord(m_notes); note && m_actions)
        m_actions->deleteNote(*note);
}

} // namespace console::ui
