#pragma once

#include "bizlib/sendto/ListSource.h"

class QIODevice;

namespace bizlib::sendto {

// A list written out as the send-to window does it: CSV for files and e-mail attachments, HTML
// for printing.
class ListWriter
{
public:
    // One CSV field. Quoted (quotes doubled) when it holds a separator, a quote, a line break or
    // leading or trailing blanks. A text that a spreadsheet would run as a formula (beginning with
    // "=", "+", "-", "@", a tab or a carriage return) and is not a plain number gets a leading
    // apostrophe: the lists show what website users typed, and opening the file must not run it.
    static QString csvField(const QString &text);
    static QString csvLine(const QStringList &fields);
    // The headings, then every row; UTF-8 with a byte-order mark (spreadsheet programs need it to
    // read the file as UTF-8), lines ended by CR LF. *rows (if given) counts the rows written.
    static Status writeCsv(const ListSource &list, QIODevice &out, qint64 *rows = nullptr);
    // A document of the list for printing: the title, then a table with the headings. Every text is
    // escaped, so nothing in the rows is read as markup.
    static Status html(const ListSource &list, QString *html, qint64 *rows = nullptr);
    // A file name for the list: the title with the characters that file names cannot hold replaced
    // by "_", then ".csv" ("list.csv" for an empty title).
    static QString fileName(const QString &title);
};

} // namespace bizlib::sendto
