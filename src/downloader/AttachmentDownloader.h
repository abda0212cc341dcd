#pragma once

#include "bizlib/LocalFileCopy.h"

#include "downloader/Arguments.h"
#include "downloader/HotFolderWriter.h"

#include <QStringList>

namespace bizlib {
class Database;
class Record;
} // namespace bizlib

namespace downloader {

class DownloadLog;
class HttpFetch;

// Puts the attachments of one quote or order into the hot folders.
//
// The attachments are the business attachment records of the parent (by its quote or order key,
// in key order). Each one is written as "<parentref>_<name>", where the name is the last part of
// the attachment's source file name (else of its source, else of its stored file name); a name
// that already starts with "<parentref>_" is kept as it is. Print-ready artwork (artwork and
// output flags both 1) goes to the edoc hot folder, everything else to the hot folder.
//
// Where the file comes from: the console's stored copy (the record's full path) when that file
// exists, otherwise the source name, which is copied when it is a local file and downloaded when
// it is a web address (see AttachmentSource for what is refused). Each attachment is one line of
// the log; a failure or refusal is counted and the others still go on. The database is only read.
class AttachmentDownloader
{
public:
    struct Folders
    {
        QString hot; // "HotFolder"
        QString edoc; // "EdocHotFolder"
        // What local sources may be copied: the same rules as quote processing's
        // (config::attachmentCopyRules). Without allowed folders no local file is copied.
        bizlib::LocalFileCopy localCopies;
    };

    struct Outcome
    {
        int attachments = 0;
        int written = 0;
        // One line per attachment that did not arrive ("<source>: <why>").
        QStringList failures;
        // Set when the attachments could not be read at all.
        QString readError;

        bool ok() const { return failures.isEmpty() && readError.isEmpty(); }
    };

    AttachmentDownloader(bizlib::Database &db, const Folders &folders, const HttpFetch &fetch, DownloadLog &log);

    Outcome run(Arguments::ParentType type, qint32 parentId, const QString &parentRef);

    // What starts every log line of one run: "quote 123 (1001A): ".
    static QString logPrefix(Arguments::ParentType type, qint32 parentId, const QString &parentRef);

private:
    void put(const bizlib::Record &attachment, const QString &prefix, const QString &parentRef, Outcome *outcome);

    bizlib::Database &m_db;
    HotFolderWriter m_hot;
    HotFolderWriter m_edoc;
    bizlib::LocalFileCopy m_localCopies;
    const HttpFetch &m_fetch;
    DownloadLog &m_log;
};

} // namespace downloader
