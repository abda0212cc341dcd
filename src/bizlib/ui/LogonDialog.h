#pragma once

#include "bizlib/ProcedureScope.h"
#include "bizlib/security/LogonPrompter.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace bizlib::ui {

// The logon dialog: initials (at most three characters) and password (hidden), with OK and
// Cancel. From the second try on it shows why the previous try was refused and which try this is.
// OK is offered once initials are typed.
class LogonDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LogonDialog(QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    void setAttempt(const security::LogonPrompter::Attempt &attempt);
    QString initials() const;
    QString password() const;

    QLineEdit *initialsEdit() const { return m_initials; }
    QLineEdit *passwordEdit() const { return m_password; }
    QPushButton *okButton() const { return m_ok; }
    QLabel *messageLabel() const { return m_message; }

private:
    ProcedureScope m_procedure; // first: the entry comes before anything else is made
    void updateOk();

    QLineEdit *m_initials;
    QLineEdit *m_password;
    QLabel *m_message;
    QPushButton *m_ok;
};

} // namespace bizlib::ui
