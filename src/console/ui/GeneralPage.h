#pragma once

#include <QWidget>

class QTableView;
class QPushButton;

namespace console {
class RequestListSet;
class Monitor;
} // namespace console

namespace console::ui {

// The General tab: the waiting quote requests, sign-ups and orders with their buttons.
class GeneralPage : public QWidget
{
    Q_OBJECT

public:
    GeneralPage(RequestListSet &lists, Monitor &monitor, QWidget *parent = nullptr);

    QTableView *quoteView() const { return m_quotes; }
    QTableView *signupView() const { return m_signups; }
    QTableView *orderView() const { return m_orders; }
    // Sizes the columns to what the lists hold (called once the lists have their first rows).
    void fitColumns();

private:
    QWidget *listBox(const QString &title, QTableView *view, int focus);
    bool eventFilter(QObject *watched, QEvent *event) override;

    RequestListSet &m_lists;
    Monitor &m_monitor;
    QTableView *m_quotes;
    QTableView *m_signups;
    QTableView *m_orders;
};

} // namespace console::ui
