#pragma once

#include <QWidget>
#include <memory>

class QListWidget;
class QPushButton;
class QStackedWidget;

namespace bizlib::forms {
class RecordForms;
}
namespace config {
struct AppContext;
}
namespace notes {
class Desktop;
}

namespace console {
class SetupEditor;
class SoundPlayer;
} // namespace console

namespace console::ui {

class SetupBinder;

// console/setup holds the Setup tab: SetupEditor (the settings, their rules, load and save),
// the lookups and the payment gateways, and in ui/ this sheet and its pages.
//
// The Setup tab: the page list ("Default settings") on the left, the page chosen beside it, and
// Cancel and Save below. The rules are the SetupEditor's.
class SetupSheet : public QWidget
{
    Q_OBJECT

public:
    // `forms` and `desktop` default to the program's dialogs when not given (tests give scripted ones).
    SetupSheet(config::AppContext &context, SoundPlayer &sounds, QWidget *parent = nullptr,
        bizlib::forms::RecordForms *forms = nullptr, notes::Desktop *desktop = nullptr);
    ~SetupSheet() override;

    SetupEditor &editor() { return *m_editor; }
    SetupBinder &binder() { return *m_binder; }
    QListWidget *pageList() const { return m_list; }
    QStackedWidget *pages() const { return m_pages; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *cancelButton() const { return m_cancel; }

    // The tab was chosen: its controls show the settings afresh.
    void entered();
    // The tab is being left for another: false when the user should stay on it.
    bool leave();
    void save();
    void cancel();

Q_SIGNALS:
    void titleChanged(const QString &title);

private:
    void showPageOf(QWidget *control);

    std::unique_ptr<bizlib::forms::RecordForms> m_ownForms;
    std::unique_ptr<notes::Desktop> m_ownDesktop;
    std::unique_ptr<SetupEditor> m_editor;
    SetupBinder *m_binder = nullptr;
    QListWidget *m_list = nullptr;
    QStackedWidget *m_pages = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace console::ui
