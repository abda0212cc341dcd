#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/params/DocumentOutputParams.h"
#include "data/ClaimBook.h"

#include <QList>

#include <functional>

namespace bizlib {
class Database;
}

namespace quotes {

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
    // user) when the quote has no signatory; the attachments' new names (renameAttachments());
    // CALCTOTALS; the RFQ flag; the quote inserted; unless it is an RFQ, the client's activity
    // stamp. `checkpoint` (if given) is called with "numbered" and "stored" as those are done.
    // The first failure is returned; what was written is the transaction's to roll back.
    bizlib::Status complete(bizlib::Record &quote, bool isRfq, QList<data::RunItem> *moves,
        const std::function<void(const char *)> &checkpoint = {});

    // QTE:HasAttachments becomes 1 when the quote has attachment rows (0 otherwise). Each row
    // whose file the conversion copied (ATT:Copied 1, the file at ATT:LocalPath) is to be named
    // after the quote number, the revision letter, "_" and the attachment's own name, in the quotes
    // folder: the first such name that no file has and no other record names ("..._2.pdf" ...).
    // The row takes that name now; the file is moved once the transaction has committed (each
    // move is added to *moves). Nothing is ever deleted or written over. A failure to ask the
    // database ends it with that failure.
    bizlib::Status renameAttachments(bizlib::Record &quote, QList<data::RunItem> *moves);

    // The client's activity date and time become today and now, unless the stored date is later.
    bizlib::Status touchClientActivity(qint32 clientId);

    // The document output record of the quote letter: a PDF named after the quote number and
    // revision letter in the quotes folder of `globalData`, overwritten, nothing sent or printed.
    static bizlib::params::DocumentOutputParams letterParams(const QString &globalData, const bizlib::Record &quote);

    // The processing notification, each label followed by its trimmed value and CR LF.
    static QString notificationText(const bizlib::Record &quote, const bizlib::Record &client, bool isRfq);
    static QString notificationSubject(bool isRfq);

private:
    bizlib::Status pathInUse(const QString &path, qint32 exceptId, bool *inUse);

    bizlib::Database &m_db;
    const bizlib::Session &m_user;
    QString m_dataFolder;
};

} // namespace quotes
