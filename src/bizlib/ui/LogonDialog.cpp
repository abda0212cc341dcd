#include "bizlib/ui/LogonDialog.h"

#include "bizlib/security/Security.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bizlib::ui {

LogonDialog::LogonDialog(QWidget *parent, ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, QStringLiteral("Logon"))
    , m_initials(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_message(new QLabel(this))
{
    setWindowTitle(tr("Logon"));
    m_initials->setMaxLength(security::Security::kMaxInitials);
    m_initials->setObjectName(QStringLiteral("initials"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setObjectName(QStringLiteral("password"));
    m_message->setWordWrap(true);
    m_message->hide();

    auto *form = new QFormLayout;
    form->addRow(tr("&Initials:"), m_initials);
    form->addRow(tr("&Password:"), m_password);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_initials, &QLineEdit::textChanged, this, &LogonDialog::updateOk);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addLayout(form);
    layout->addWidget(buttons);
    updateOk();
}

void LogonDialog::setAttempt(const security::LogonPrompter::Attempt &attempt)
{
    m_initials->setText(attempt.initials);
    m_password->clear();
    if (attempt.number > 1) {
        m_message->setText(tr("%1\nTry %2 of %3.").arg(attempt.message).arg(attempt.number).arg(attempt.maxTries));
        m_message->show();
    } else {
        m_message->hide();
    }
    (attempt.initials.isEmpty() ? m_initials : m_password)->setFocus();
}

QString LogonDialog::initials() const
{
    return m_initials->text().trimmed();
}

QString LogonDialog::password() const
{
    return m_password->text();
}

void LogonDialog::updateOk()
{
    m_ok->setEnabled(!m_initials->text().trimmed().isEmpty());
}

} // namespace bizlib::ui
