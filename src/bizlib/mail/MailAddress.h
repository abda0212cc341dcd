#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace bizlib::mail {

// One e-mail address with its optional display name, as the address fields of the e-mail
// record hold them: "jo@example.com", "Jo Bloggs <jo@example.com>" or "\"Bloggs, Jo\" <jo@example.com>".
struct MailAddress
{
    QString name; // display name, without quotes; may be empty
    QString address; // local@domain
    QString raw; // the entry as written, for reporting an entry that is not an address
    bool valid = false;

    // Splits a list separated by ";" or "," (outside quotes and angle brackets) into addresses;
    // blank entries are skipped. Invalid entries are kept with valid false, so nothing typed is
    // lost; an invalid entry's `raw` says what was written.
    static QList<MailAddress> parseList(const QString &text);
    // One entry of a list.
    static MailAddress parse(const QString &entry);
    // A plain address that an SMTP server takes: printable ASCII without blanks or the characters
    // ()<>,;:\"[], exactly one "@", a non-empty local part and a domain of labels of letters,
    // digits and "-" separated by dots.
    static bool isValidAddress(const QString &address);

    // Entries of several lists as one list, the first of every address kept (compared without
    // letter case) and invalid entries kept as they are.
    static QList<MailAddress> merged(const QList<QList<MailAddress>> &lists);
    // The addresses as an editable text, "; " between them.
    static QString joined(const QList<MailAddress> &list);

    // "Name <address>", or the address alone when there is no name.
    QString display() const;
};

} // namespace bizlib::mail
