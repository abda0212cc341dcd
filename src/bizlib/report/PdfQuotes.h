#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/params/DocumentOutputParams.h"

#include <QString>

namespace bizlib {

class Database;

// PDFQUOTES of the business system's REPORT library: writes the quote letter (QuoteLetter) of a
// quote as a PDF file. Needs a QGuiApplication (fonts and page layout); without one it fails
// with an Error instead of crashing.
class PdfQuotes
{
public:
    explicit PdfQuotes(Database &db);

    // Writes the letter for `quote` (the caller's quote record, inserted or not) to LOCP:Filename
    // ("\" separators are accepted; a missing folder is created) and gives the name of the file
    // written in *fileName. The callers' further arguments (two empty texts and three zero flags)
    // are e-mail options of the document output, which this operation does not send.
    //
    // The LOCP: fields honoured:
    //   OutputTo      empty or "PDF"; anything else is refused.
    //   Filename      the file; required.
    //   Overwrite     1: an existing file is replaced; 0: the letter goes to the first free name
    //                 "<name>_2.pdf", "<name>_3.pdf" ... and that name is returned.
    //   Description   the PDF's title (default: the letter's title, "Quote 24101A").
    //   Detailed      1: the workings lines are listed.
    //   Originator, Automated, SkipPreview, DisplayProgress, the layout numbers and filters, and the
    //   e-mail details that matter only when sending (Attachments, IncludeArtwork, IncludeDoc,
    //   EmailFrom..., CCRep, CCMgr, CCOwner, CC/BCC addresses, templates): nothing to do.
    //   SendDialog, EmailDialog, EmailNotice, SMSNotice, Hardcopy, SetPrinted: asking for sending,
    //   printing or marking is refused with an Error before anything is written (none of them is
    //   available here; saying "done" without doing it would mislead the caller).
    //
    // The file is written to a temporary file beside it and renamed into place at the end, so a
    // failure (an unwritable folder, a full disk) leaves no half-written letter and an existing
    // file as it was. Errors name the file and the reason.
    Status run(const params::DocumentOutputParams &params, const Record &quote, QString *fileName);

    // Prints an HTML document to a PDF file the same safe way (A4, 15 mm margins, the letter's
    // typeface as the default font).
    static Status writePdf(const QString &html, const QString &title, const QString &fileName);

private:
    Database &m_db;
};

} // namespace bizlib
