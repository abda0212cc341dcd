#pragma once

#include "bizlib/Status.h"
#include "quotes/ConversionOwner.h"

#include <QString>

namespace bizlib {
class Database;
}

namespace quotes {

class FileJournal;

// The notes and attachments of a web request copied onto the new quote or order: each web record
// becomes a business record field by field by name, with a new identifier and the new owner
// (its owner field, parent type and parent identifier); the other owner field is cleared.
class WebRecordCopies
{
public:
    // `dataFolder`: the company data folder; copies of attachment files go to its "quotes" or
    // "orders" folder.
    WebRecordCopies(bizlib::Database &db, QString dataFolder);

    QString folderFor(const ConversionOwner &owner) const;

    // The request's web notes in key order. *lastNoteId is the last note copied (0: none), the
    // owner's note link. Stops with the failure at a note that cannot be numbered or inserted
    // (its number is given back).
    bizlib::Status copyNotes(const ConversionOwner &owner, qint32 *lastNoteId);

    // Whether one of the request's web attachments comes from a local drive
    // (AttachmentNames::isOnLocalDrive of its source).
    bizlib::Status hasLocalDriveAttachments(const ConversionOwner &owner, bool *found);

    // The request's web attachments in key order; with `skipLocalDrive` those from a local drive
    // are left out entirely. Each row is stored under the last part of its file name
    // (AttachmentNames::safeName). When its source is a file path (not an address) and the name
    // is safe, the file is copied into the owner's folder under that name (through `journal`, so
    // a failed conversion can take it back); the row then has Copied 1 and LocalPath the copy.
    // A copy already in place (the request's own stored copy) is used as it is. A file that
    // cannot be copied leaves the row without a copy. Stops with the failure at a row that
    // cannot be numbered or inserted (its number is given back).
    bizlib::Status copyAttachments(const ConversionOwner &owner, bool skipLocalDrive, FileJournal *journal);

private:
    bizlib::Database &m_db;
    QString m_dataFolder;
};

} // namespace quotes
