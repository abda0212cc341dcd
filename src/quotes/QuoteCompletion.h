#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/params/DocumentOutputParams.h"

#include <functional>

namespace bizlib {
class Database;
}

namespace quotes {

class FileJournal;

// How a converted web quote request is finished without a user (automatic processing): priced,
// numbered, signed, its attachment copies renamed after the quote number, totalled and stored,
// and the client's activity date brought forward; then the quote letter and the notification.
class QuoteCompletion
{
public:
    // `dataFolder`: the company data folder, whose "quotes" folder holds the attachment copies.
    QuoteCompletion(bizlib::Database &db, const bizlib::Session &user, QString dataFolder);

    // The writes of the automatic path, in the caller's transaction: CALCQUOTE when the quote
    // asks for it (QTE:Calculate 1); CALCPRICE with the quote's own method, target prices and tax
    // and currency flags, commission included; ASSIGNQUOTENUMBER; ASSIGNSIGNATORY (the logged-on
    // user) when the quote has no signatory; the attachments renamed (renameAttachments());
    // CALCTOTALS; the RFQ flag; the quote inserted; unless it is an RFQ, the client's activity
    // stamp. `checkpoint` (if given) is called with "numbered" and "stored" as those are done.
    // The first failure is returned; what was written is the transaction's to roll back.
    bizlib::Status complete(bizlib::Record &quote, bool isRfq, FileJournal *journal,
        const std::function<void(const char *)> &checkpoint = {});

    // QTE:HasAttachments becomes 1 when the quote has attachment rows (0 otherwise). Each row
    // whose file the conversion copied (ATT:Copied 1, the file at ATT:LocalPath) has that file
    // renamed to the quote number, the revision letter, "_" and the attachment's own name, in the
    // quotes folder; only when the rename succeeded do its file name and path change. A file of
    // the new name that no attachment row uses (left behind by a run that was rolled back) is
    // replaced.
    bizlib::Status renameAttachments(bizlib::Record &quote, FileJournal *journal);

    // The client's activity date and time become today and now, unless the stored date is later.
    bizlib::Status touchClientActivity(qint32 clientId);

    // The document output record of the quote letter: a PDF named after the quote number and
    // revision letter in the quotes folder of `globalData`, overwritten, nothing sent or printed.
    static bizlib::params::DocumentOutputParams letterParams(const QString &globalData, const bizlib::Record &quote);

    // The processing notification, each label followed by its trimmed value and CR LF.
    static QString notificationText(const bizlib::Record &quote, const bizlib::Record &client, bool isRfq);
    static QString notificationSubject(bool isRfq);

private:
    bool pathInUse(const QString &path, qint32 exceptId);

    bizlib::Database &m_db;
    const bizlib::Session &m_user;
    QString m_dataFolder;
};

} // namespace quotes
