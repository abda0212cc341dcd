#pragma once

#include "bizlib/LocalFileCopy.h"
#include "bizlib/Status.h"
#include "quotes/ConversionOwner.h"

#include <QMap>
#include <QString>
#include <functional>

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

    // The files of the request's web attachments, made before the conversion's transaction so
    // that no file is read while the transaction holds its locks (and a source that blocks holds
    // up nobody else).
    struct StagedFile
    {
        QString path; // the copy in the owner's folder (empty: none)
        QString refused; // why no copy was made (empty: copied, or nothing to copy)
    };
    using StagedFiles = QMap<qint32, StagedFile>; // by web attachment identifier

    // For each web attachment (skipping those from a local drive with `skipLocalDrive`) whose source
    // is a file path and whose name is safe: the request's own stored copy is used where its
    // stored path names the file in the owner's folder; otherwise a free name is claimed there
    // (never another file's: "name_2.ext" ...), `created` is told of it (the run records it) and the
    // source is copied into it following `rules`. A source that the rules refuse, or that cannot
    // be read, leaves that attachment without a copy and says why in its StagedFile. Stops with
    // the failure when no name can be claimed or `created` fails (the claimed file is removed).
    // Every file made is also in `journal`, for the caller to take back on a failure.
    bizlib::Status stageFiles(const ConversionOwner &owner, bool skipLocalDrive, const bizlib::LocalFileCopy &rules,
        const std::function<bizlib::Status(const QString &path)> &created, StagedFiles *staged, FileJournal *journal);

    // The request's web attachments in key order; with `skipLocalDrive` those from a local drive
    // are left out entirely. Each row is stored under the last part of its file name
    // (AttachmentNames::safeName); a row whose file was staged has Copied 1 and LocalPath the copy.
    // Stops with the failure at a row that cannot be numbered or inserted (its number is given back).
    // For an order, stageFiles() and copyAttachments() take the web order's own attachments only
    // (those of no web item); copyItemAttachments() takes those of one web item.
    bizlib::Status copyAttachments(const ConversionOwner &owner, bool skipLocalDrive, const StagedFiles &staged);

    // The web item's attachments become attachment rows of the order linked to `orderItemId` (0:
    // the order itself), marked as from the website, under the last part of their names; no file
    // is copied (the downloader fetches them). *firstPath: the first one's source (empty: none).
    // Stops with the failure at a row that cannot be numbered or inserted.
    bizlib::Status copyItemAttachments(
        const ConversionOwner &owner, qint32 webItemId, qint32 orderItemId, QString *firstPath);

private:
    bizlib::Database &m_db;
    QString m_dataFolder;
};

} // namespace quotes
