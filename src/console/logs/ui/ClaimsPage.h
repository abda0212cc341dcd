#pragma once

#include "config/AppContext.h"
#include "console/logs/ClaimList.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace console::ui {

// The Logs tab's "Claims" page: every web request held now (kind, reference, holder, since, last
// seen, stale), read again each time the page is shown or Refresh is pressed, and Release on a
// stale claim for users with right 44.
class ClaimsPage : public QWidget
{
    Q_OBJECT

public:
    ClaimsPage(config::AppContext &context, QWidget *parent = nullptr);

    void refresh();
    void releaseSelected();
    QTableWidget *table() const { return m_table; }
    // The line beside the buttons: how many requests are held and how many of them are stale.
    QString summary() const;

private:
    config::AppContext &m_ctx;
    ClaimList m_list;
    QList<ClaimList::Row> m_rows;
    QTableWidget *m_table;
    QPushButton *m_release;
    QLabel *m_summary;
    bool m_mayRelease;
};

} // namespace console::ui
