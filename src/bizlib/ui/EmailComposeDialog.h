#pragma once

#include "bizlib/ProcedureTrace.h"
#include "bizlib/mail/MailComposer.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;

namespace bizlib::ui {

// The compose dialog of EMAILDIALOG: the sender (shown only), To, Cc, Bcc, the subject, the body
// (plain text, or rich text for an HTML message) and the attachments (shown only), with Send and
// Cancel. Send is offered once there is a recipient.
class EmailComposeDialog : public QDialog, public mail::MailComposer
{
    Q_OBJECT
public:
    // The dialog reports to `trace` as "EmailDialog" while it is shown.
    explicit EmailComposeDialog(QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    // Shows the draft modally; on Send the draft takes the edits.
    bool compose(mail::MailDraft &draft) override;

    void load(const mail::MailDraft &draft);
    // The draft with the edits. An HTML body that was not touched comes back exactly as loaded.
    mail::MailDraft draft() const;

private:
    void updateSendButton();

    ProcedureTrace *m_trace;
    mail::MailDraft m_loaded;
    QLabel *m_from;
    QLineEdit *m_to;
    QLineEdit *m_cc;
    QLineEdit *m_bcc;
    QLineEdit *m_subject;
    QPlainTextEdit *m_text;
    QTextEdit *m_html;
    QLabel *m_attachments;
    QPushButton *m_send;
};

} // namespace bizlib::ui
