#pragma once

#include <QString>
#include <QStringList>

namespace bizlib::mail {

// What the compose dialog shows and lets the user change before an e-mail is sent. The address
// fields are editable lists ("a@example.com; Jo <jo@example.com>").
struct MailDraft
{
    QString from; // shown only: the sender is not chosen in the dialog
    QString to;
    QString cc;
    QString bcc;
    QString subject;
    QString body; // plain text, or HTML when `html` is true
    bool html = false;
    QStringList attachments; // file paths, shown only
};

} // namespace bizlib::mail
