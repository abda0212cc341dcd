#pragma once

#include "config/AppContext.h"
#include "console/GeneralPageState.h"
#include "console/NoteActions.h"
#include "console/RequestAction.h"
#include "console/RequestLists.h"
#include "orders/OrderPayment.h"
#include "quotes/QuoteOutcome.h"

#include <QMap>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QMenu;
class QPushButton;
class QSplitter;
class QTableView;

namespace notes {
class Desktop;
}

namespace console {
class AttachmentActions;
class JoinedListModel;
class Monitor;
class RequestListSet;
} // namespace console

namespace console::ui {

class DetailSheet;
class SplitterMemory;

// The General tab: the waiting quote requests, sign-ups and orders with their Process, Reject
// and Paid buttons, the three filter check boxes, and the detail sheet (details, attachments,
// notes). The rules for what is shown and enabled are GeneralPageState's; the lists are the
// RequestListSet's; the attachment and note buttons act through AttachmentActions and
// NoteActions.
class GeneralPage : public QWidget
{
    Q_OBJECT

public:
    // Starts the window of an action on a request (its record just read again). The default runs
    // the quote processing window in manual mode for Process on a quote request, the rejection
    // window for Reject, the payment marking for Paid and the prepay check for Process on an
    // order, and tells the user plainly that the other windows are not part of this version.
    using ActionHandler = std::function<void(RequestAction action, const bizlib::Record &request)>;

    GeneralPage(config::AppContext &context, RequestListSet &lists, Monitor &monitor, QWidget *parent = nullptr);
    ~GeneralPage() override;

    void setActionHandler(ActionHandler handler) { m_actionHandler = std::move(handler); }
    // The note editor (default: the `UpdateWebNote` form) and the desktop services (default:
    // Qt's dialogs, desktop services and clipboard); tests put scripted ones in their place.
    void setNoteEditor(NoteActions::Editor editor);
    void setDesktop(notes::Desktop *desktop);

    QTableView *quoteView() const { return m_quotes; }
    QTableView *signupView() const { return m_signups; }
    QTableView *orderView() const { return m_orders; }
    DetailSheet *detailSheet() const { return m_sheet; }
    QCheckBox *accManagerBox() const { return m_accManager; }
    QCheckBox *pendingOnlyBox() const { return m_pendingOnly; }
    QCheckBox *b2cOnlyBox() const { return m_b2cOnly; }
    QPushButton *button(RequestAction action) const;
    const GeneralPageState &state() const { return m_state; }

    // Sizes the columns to what the lists hold (called once the lists have their first rows).
    void fitColumns();
    // Makes a list the current one, as clicking into it does.
    void selectList(RequestLists::Focus list);
    // Runs an action on the selected row of its list, as its button does. `fromDoubleClick`: a
    // row that has gone since it was listed gives the exclamation beep.
    void runAction(RequestAction action, bool fromDoubleClick = false);
    // For the alert step: the selected quote request (0: none), selecting it again (one no longer
    // listed leaves the selection as it is), and the quote processing window in automatic mode,
    // run as Process runs it.
    qint32 currentQuoteId() const;
    void returnToQuote(qint32 quoteId);
    bizlib::forms::Response processQuoteAutomatically(
        const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome);
    // The right-click menu of a list, its entries enabled like their buttons (the caller shows it).
    std::unique_ptr<QMenu> contextMenu(QTableView *view);

    // The attachment and note buttons.
    void addAttachments();
    void deleteAttachment();
    void openAttachment();
    void copyAttachmentUrl();
    void toggleArtwork();
    void insertNote();
    void changeNote();
    void deleteNote();

Q_SIGNALS:
    // A request was dealt with by hand: what became of it ("Quote 24108 made from web request 1019").
    void processed(const QString &summary);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *listBox(const QString &title, QTableView *view, const QList<QPushButton *> &buttons);
    QWidget *filterBar();
    void watchList(QTableView *view, RequestLists::Focus focus);
    void onFilterChanged();
    void onPendingOnlyToggled(bool on);
    // A new row in a list: takeRow() passes it to the rules only; newRow() also shows the result.
    void takeRow(RequestLists::Focus list);
    void newRow(RequestLists::Focus list);
    void afterReset(QTableView *view, qint32 id, int row);
    void followCurrentRequest();
    void applyControls();
    void updateDetailButtons();
    const bizlib::Record *selectedRecord(QTableView *view) const;
    int selectedRow(QTableView *view) const;
    bool freshRecord(RequestAction action, bizlib::Record *record);
    QTableView *viewOf(RequestLists::Focus list) const;
    void selectFirstRow(QTableView *view);
    void afterAction(RequestAction action);
    RequestRef requestForNew() const;
    void runNoteEditor(const std::function<bizlib::forms::Response()> &editor);
    // The payment marking of the Paid button and of an order about to be processed.
    orders::OrderPayment payment() const;

    config::AppContext &m_ctx;
    RequestListSet &m_lists;
    Monitor &m_monitor;
    GeneralPageState m_state;
    std::unique_ptr<notes::Desktop> m_ownDesktop;
    notes::Desktop *m_desktop = nullptr;
    std::unique_ptr<AttachmentActions> m_attachmentActions;
    std::unique_ptr<NoteActions> m_noteActions;
    NoteActions::Editor m_noteEditor;
    ActionHandler m_actionHandler;
    QTableView *m_quotes = nullptr;
    QTableView *m_signups = nullptr;
    QTableView *m_orders = nullptr;
    DetailSheet *m_sheet = nullptr;
    QSplitter *m_split = nullptr;
    SplitterMemory *m_splitMemory = nullptr;
    QCheckBox *m_accManager = nullptr;
    QCheckBox *m_pendingOnly = nullptr;
    QCheckBox *m_b2cOnly = nullptr;
    QMap<RequestAction, QPushButton *> m_buttons;
    bool m_restoring = false;
    bool m_shown = false;
};

} // namespace console::ui
