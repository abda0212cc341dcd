#pragma once

#include "console/RequestRef.h"

#include <QTabWidget>
#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace console {
class RequestActions;
class RequestListSet;
} // namespace console

namespace console::ui {

// The detail sheet of the General tab: Details (the request's text or the order's items),
// Attachments (the list with Add, Delete, Open, Copy url and Artwork?) and Notes (the note list
// with Insert, Change and Delete, or the order's remarks with Insert alone when it has no note,
// so that its first note can be added). The General tab decides what it shows; its buttons act
// through RequestActions on the current attachment or note.
class DetailSheet : public QTabWidget
{
    Q_OBJECT

public:
    enum Page { DetailsPage = 0, AttachmentsPage, NotesPage };

    DetailSheet(RequestListSet &lists, bool listColours, QWidget *parent = nullptr);

    // Details: the text, or the item list in its place.
    void showDetails(const QString &text, bool items);
    // Notes: the remarks in place of the note list with Change and Delete (`remarks` set), or the
    // list. Insert stays in both.
    void showRemarks(bool remarks, const QString &text = {});
    bool showsRemarks() const;

    // Routes the buttons, the double-clicks on a note or an attachment and the attachment list's
    // menu to `actions`; `newOwner` names the request a new attachment or note goes to.
    void connectActions(RequestActions &actions, std::function<RequestRef()> newOwner);
    // Enables the buttons for the current attachment and note, and Insert for a request.
    void updateButtons();
    // The attachment list's right-click menu, its entries enabled like their buttons.
    std::unique_ptr<QMenu> attachmentMenu(QWidget *parent);

    // What the buttons do (nothing when no attachment or note is current, or Insert is off).
    void addAttachments();
    void removeAttachment();
    void showAttachment();
    void copyAttachmentUrl();
    void toggleArtwork();
    void addNote();
    void editNote();
    void removeNote();

    QPlainTextEdit *detailsText() const { return m_details; }
    QTableView *itemView() const { return m_items; }
    QTableView *attachmentView() const { return m_attachments; }
    QTableView *noteView() const { return m_notes; }
    QPlainTextEdit *remarksText() const { return m_remarks; }

    QPushButton *addAttachment() const { return m_add; }
    QPushButton *deleteAttachment() const { return m_delete; }
    QPushButton *openAttachment() const { return m_open; }
    QPushButton *copyUrl() const { return m_copy; }
    QPushButton *artwork() const { return m_artwork; }
    QPushButton *insertNote() const { return m_insert; }
    QPushButton *changeNote() const { return m_change; }
    QPushButton *deleteNote() const { return m_deleteNote; }

private:
    QWidget *detailsPage(RequestListSet &lists, bool listColours);
    QWidget *attachmentsPage(RequestListSet &lists, bool listColours);
    QWidget *notesPage(RequestListSet &lists, bool listColours);

    QPlainTextEdit *m_details = nullptr;
    QTableView *m_items = nullptr;
    QTableView *m_attachments = nullptr;
    QTableView *m_notes = nullptr;
    QPlainTextEdit *m_remarks = nullptr;
    QStackedWidget *m_noteStack = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_artwork = nullptr;
    QPushButton *m_insert = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_deleteNote = nullptr;
    RequestActions *m_actions = nullptr;
    std::function<RequestRef()> m_newOwner;
};

} // namespace console::ui
