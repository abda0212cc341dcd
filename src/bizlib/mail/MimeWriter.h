#pragma once

#include "bizlib/mail/MailMessage.h"

#include <QByteArray>
#include <QString>

namespace bizlib::mail {

// Writes a MailMessage as an Internet message (RFC 5322 with MIME), lines ended by CR LF.
//
// - Header texts that are not plain ASCII are encoded words (RFC 2047, UTF-8, base64); long
//   header lines are folded. CR and LF inside a header text become blanks, so no text of the
//   record can add a header line.
// - Bodies are UTF-8, quoted-printable. A line starting with "." or "From " has that first
//   character encoded, so that no transport mistakes it for the end of the data or a mailbox
//   separator.
// - A message with HTML is multipart/alternative (text, then HTML); attachments make it
//   multipart/mixed, each attachment base64 with its file name and a media type guessed from
//   the name and contents.
// - Boundaries derive from the Message-ID, so writing the same message twice gives the same bytes.
//
// Bcc is written only when asked: a message handed to `sendmail -t` names its blind copies in
// the header (sendmail reads and removes it); a message sent over SMTP must not show them.
class MimeWriter
{
public:
    enum class Bcc { Omit, Include };

    static QByteArray write(const MailMessage &message, Bcc bcc);

    // Header helpers, also used for the outbox's own header lines.
    // "Name: value" folded at blanks to lines of about 78 characters, with CR LF after it.
    static QByteArray headerLine(const QByteArray &name, const QString &value);
    // An unstructured header text: as is when it is printable ASCII, else encoded words.
    static QByteArray encodeText(const QString &text);
    // A list of addresses for From, To, Cc, Bcc, Reply-To.
    static QByteArray encodeAddresses(const QList<MailAddress> &list);
    // Quoted-printable body text with CR LF line ends.
    static QByteArray quotedPrintable(const QString &text);
    // "Tue, 1 Jul 2025 14:03:00 +0100"
    static QByteArray dateText(const QDateTime &date);
};

} // namespace bizlib::mail
