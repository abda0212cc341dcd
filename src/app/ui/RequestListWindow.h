#pragma once

#include <QMainWindow>

namespace bizlib {
class Database;
class Table;
class TableListModel;
} // namespace bizlib

namespace app::ui {

// A plain window listing the web quote requests waiting in the database.
class RequestListWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit RequestListWindow(bizlib::Database &db, QWidget *parent = nullptr);
    ~RequestListWindow() override;

private:
    std::unique_ptr<bizlib::Table> m_table;
    bizlib::TableListModel *m_model = nullptr;
};

} // namespace app::ui
