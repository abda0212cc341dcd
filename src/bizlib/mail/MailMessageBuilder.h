#pragma once

#include "bizlib/mail/MailDraft.h"
#include "bizlib/mail/MailMessage.h"
#include "bizlib/mail/MailSettings.h"
#include "bizlib/params/EmailParams.h"

#include <QStringList>

namespace bizlib::mail {

// Turns the e-mail record (SEND:) into a draft for the compose dialog and the draft into the
// message that is sent.
//
// What the record's fields become:
// - From: SEND:FromAddress with SEND:FromFullName (else SEND:DisplayName) as its name; the
//   configuration's EmailFrom when the record names no sender or SEND:DisableFromAddress is 1.
//   Reply-To: SEND:ReplyAddress.
// - To: SEND:ToAddress. Cc: SEND:CCAddress, SEND:CCOtherAddress, and SEND:RepAddress,
//   SEND:MgrAddress, SEND:OwnerAddress when SEND:CCRep, SEND:CCMgr, SEND:CCOwner are 1.
//   Bcc: SEND:BCCAddress, SEND:BCCOtherAddress, and the sender when EmailBCCSelf is on. Lists are
//   separated by ";" or ","; an address already named earlier (To before Cc before Bcc) is not
//   repeated.
// - Subject: SEND:Subject. Body by SEND:Format (the configuration's EmailFormat when blank):
//   "Html" with a SEND:MessageHTML sends HTML with a plain-text alternative (SEND:MessageText,
//   or the HTML's text when there is none or the HTML was edited); otherwise plain text
//   (SEND:MessageText, or the text of SEND:MessageHTML when only that is filled).
// - Attachments: the files in SEND:AttachmentList (separated by ";", "|" or line breaks).
//   SEND:AttachmentName is the name the recipient sees when the list names one file, and the
//   file itself when the list is empty.
// - SEND:ReadReceipt 1 asks for a read receipt.
class MailMessageBuilder
{
public:
    explicit MailMessageBuilder(const MailSettings &settings);

    MailDraft draft(const params::EmailParams &send) const;

    // The message of a (possibly edited) draft. Nothing of the draft is left out: an entry that
    // is not an address or an attachment that cannot be read stays in the message as written
    // and is named in *problems, which lists everything that keeps the message from being sent
    // (also a missing sender or recipient). The message is complete enough to be kept in the
    // outbox either way.
    MailMessage message(const MailDraft &draft, const params::EmailParams &send, QStringList *problems) const;

    // Puts the edited recipients, subject and body of a draft back into the record, so the caller
    // sees what was sent.
    static void applyDraft(const MailDraft &draft, params::EmailParams &send);

    // The attachment files named by the record, in order.
    static QStringList attachmentFiles(const params::EmailParams &send);

private:
    bool wantsHtml(const params::EmailParams &send) const;
    MailAddress sender(const params::EmailParams &send) const;

    const MailSettings &m_settings;
};

} // namespace bizlib::mail
