#pragma once

#include "bizlib/ProcedureScope.h"
#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QComboBox;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableView;

namespace config {
struct AppContext;
}

namespace signups {
class SignupProcessing;
}

namespace signups::ui {

class ClientUpdatePage;

// `WebSignupProcess`: the sign-up wizard ("Web signup wizard") over SignupProcessing: four pages
// ("Method", "Client", "Client-update", "Contacts") whose tabs are not shown, with Cancel, Back,
// Next and OK. It holds no rule of its own: every button and edit goes to the logic, and the
// buttons are enabled as the logic says. Its size and position, and the column layouts of its
// client and contact lists, are kept under "WebSignupProcess" in the window-settings file.
class WebSignupProcess : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebSignupProcess";

    WebSignupProcess(SignupProcessing &processing, const QString &windowIni, QWidget *parent = nullptr,
        bizlib::ProcedureTrace *trace = nullptr);

    // Processes `signup` (just read again by the caller) with the program's forms and mail: the
    // B2C road may finish without showing the window. `webOrder`: the web order being processed
    // when order processing opens the wizard. Returns the response (completed: accepted).
    static bizlib::forms::Response run(config::AppContext &ctx, const bizlib::Record &signup,
        QWidget *parent = nullptr, const bizlib::Record &webOrder = {});

    QStackedWidget *pages() const { return m_pages; }
    QPushButton *backButton() const { return m_back; }
    QPushButton *nextButton() const { return m_next; }
    QPushButton *okButton() const { return m_ok; }
    QRadioButton *existingOption() const { return m_existing; }
    QTableView *clientView() const { return m_clientView; }
    QTableView *contactView() const { return m_contactView; }
    ClientUpdatePage *clientUpdatePage() const { return m_updatePage; }
    QLineEdit *locator() const { return m_locator; }
    QComboBox *webStatusFilter() const { return m_webStatus; }
    void done(int result) override;

private:
    QWidget *methodPage();
    QWidget *clientPage();
    QWidget *updatePage();
    QWidget *contactPage();
    void refresh();
    void pressNext();
    void pressBack();
    void pressOk();
    void restoreLists();
    void selectChosenClient();
    void saveSettings();

    bizlib::ProcedureScope m_procedure;
    bizlib::ProcedureTrace *m_trace;
    SignupProcessing &m_processing;
    QString m_windowIni;
    QLabel *m_header = nullptr;
    QStackedWidget *m_pages = nullptr;
    QRadioButton *m_new = nullptr;
    QRadioButton *m_existing = nullptr;
    QLineEdit *m_locator = nullptr;
    QComboBox *m_webStatus = nullptr;
    QTableView *m_clientView = nullptr;
    ClientUpdatePage *m_updatePage = nullptr;
    QTableView *m_contactView = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_ok = nullptr;
    bool m_closing = false;
};

} // namespace signups::ui
