#pragma once

#include "config/AppContext.h"
#include "console/RequestAction.h"
#include "console/RequestLists.h"
#include "console/general/GeneralPageState.h"
#include "console/general/NoteActions.h"
#include "console/general/RequestActions.h"
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
class JoinedListModel;
class Monitor;
class RequestListSet;
} // namespace console

namespace console::ui {

class DetailSheet;
class SplitterMemory;

// console/general holds the General tab: the request lists with their models and filters, the
// page state, RequestActions (what its buttons do), and in ui/ this page and its detail sheet.
//
// The General tab: the waiting quote requests, sign-ups and orders with their Process, Reject
// and Paid buttons, the three filter check boxes, and the detail sheet (details, attachments,
// notes). The rules for what is shown and enabled are GeneralPageState's; the lists are the
// RequestListSet's; what a button does is RequestActions'. The page lays them out, finds the
// selected row and gives RequestActions the real windows.
class GeneralPage : public QWidget
{
    Q_OBJECT

public:
    // Starts the window of an action on a request (its record just read again); by default
    // RequestActions::route().
    using ActionHandler = RequestActions::Handler;

    GeneralPage(config::AppContext &context, RequestListSet &lists, Monitor &monitor, QWidget *parent = nullptr);
    ~GeneralPage() override;

    void setActionHandler(ActionHandler handler) { m_actions.setHandler(std::move(handler)); }
    // The windows the actions open (default: RequestWindows); tests put scripted ones in their place.
    void setWindows(RequestActions::Windows windows) { m_actions.setWindows(std::move(windows)); }
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
    QTableView *viewOf(RequestLists::Focus list) const;
    void selectFirstRow(QTableView *view);
    void afterAction(RequestAction action);
    RequestRef requestForNew() const;
    // The `UpdateWebNote` form, with the page's desktop services.
    NoteActions::Editor defaultNoteEditor();

    config::AppContext &m_ctx;
    RequestListSet &m_lists;
    Monitor &m_monitor;
    std::unique_ptr<notes::Desktop> m_ownDesktop;
    RequestActions m_actions;
    GeneralPageState m_state;
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
