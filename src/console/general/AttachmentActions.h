#pragma once

#include "bizlib/Status.h"
#include "console/RequestRef.h"
#include "notes/Desktop.h"

#include <QString>
#include <optional>

namespace bizlib {
class Database;
class Prompter;
class Record;
} // namespace bizlib

namespace bizlib {
class Table;
}

namespace console {

// The buttons of the Attachments page: Add, Delete, Open, Copy url and Artwork?.
//
// Added files are copied into the company data folder: a quote request's under "quotes", an
// order's under "orders", each stored as the request's web ID, "_" and the file's name. Only the
// name part of the chosen path is used, and a name that would lead out of the folder ("..", ".",
// nothing) is refused with a message, so that the copy always lands inside the folder.
class AttachmentActions
{
public:
    AttachmentActions(bizlib::Database &db, bizlib::Prompter &prompter, notes::Desktop &desktop, QString dataFolder);

    // The file dialog's filters, in order.
    static QList<notes::Desktop::Filter> fileFilters();
    // The folder the attachments of a quote request or an order are copied to.
    QString folderFor(RequestRef::Kind kind) const;
    // The stored file name for a chosen path: the web ID, "_", and the path's last part (after
    // the last "/" or "\"). nullopt for a path whose last part is empty, "." or "..".
    static std::optional<QString> storedName(qint32 webId, const QString &sourcePath);

    // Add: the file dialog ("Select attachment(s)", several files), then addFile() for each file
    // in order. Returns the number of attachments added.
    int add(const RequestRef &owner);
    // One file: nothing for an empty path or a request without identifier. The record is
    // numbered, filled and inserted; the file is then copied (a failed copy is reported and leaves
    // the record). A failed insert gives the number back and copies nothing.
    bool addFile(const RequestRef &owner, const QString &path);

    // Delete: refuses artwork (with its message); asks for confirmation; removes the stored file
    // and the record. True when deleted.
    bool remove(qint32 attachmentId);
    // Open: the source file or address with the desktop's program for it.
    bool open(const bizlib::Record &attachment);
    // Copy url: the source name of the attachment, read again, on the clipboard.
    bool copyUrl(qint32 attachmentId);
    // Artwork?: turns the artwork flag over. True when written.
    bool toggleArtwork(qint32 attachmentId);

private:
    bool fetch(qint32 attachmentId, bizlib::Record *attachment);
    // True when an attachment other than `exceptId` stores its copy at `localPath` (or the
    // database cannot tell).
    static bool pathInUse(bizlib::Table &table, const QString &localPath, qint32 exceptId);
    // `localPath` with its folder part resolved (links, "." and ".."); empty when that folder
    // does not exist.
    static QString realPath(const QString &localPath);
    // True when an attachment other than `exceptId` names the file `copy` (a real path), in any
    // spelling (or the database cannot tell).
    static bool copyInUse(bizlib::Table &table, const QString &copy, qint32 exceptId);
    // Fills the claimed (existing, empty) `target` with the bytes of `source`.
    static bool copyInto(const QString &source, const QString &target);
    void report(const bizlib::Status &status);

    bizlib::Database &m_db;
    bizlib::Prompter &m_prompter;
    notes::Desktop &m_desktop;
    QString m_dataFolder;
};

} // namespace console
