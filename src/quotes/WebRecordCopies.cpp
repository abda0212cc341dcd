#include "quotes/WebRecordCopies.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/Database.h"
#include "bizlib/FreeFileName.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "quotes/AttachmentNames.h"
#include "quotes/FileJournal.h"

#include <QDir>
#include <QFileInfo>

namespace quotes {

namespace {

bizlib::Status readAll(bizlib::Table &table, const QString &key, qint32 owner, QList<bizlib::Record> *rows)
{
    bizlib::TableCursor cursor(table, key);
    cursor.setRange({ owner });
    bizlib::Record row;
    bizlib::Status st;
    while ((st = cursor.next(row)))
        rows->append(row);
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

// A new business row copied from `web`: numbered, owned by `owner`. The number is taken first,
// as every record the console creates takes its identifier before it is filled.
bizlib::Status ownedCopy(
    bizlib::Table &table, const bizlib::Record &web, const ConversionOwner &owner, bizlib::Record *copy)
{
    bizlib::Record numbered;
    const bizlib::Status st = table.prime(numbered);
    if (!st)
        return st;
    *copy = table.newRecord();
    copy->copyMatching(web);
    copy->setLong(table.def().autoNumberField, numbered.toLong(table.def().autoNumberField));
    copy->setLong(owner.ownerField(), owner.id);
    copy->setLong(owner.otherOwnerField(), 0);
    copy->setText("ParentType", owner.parentType());
    copy->setLong("ParentID", owner.id);
    return bizlib::Status::ok();
}

// A web order's item attachments go with the items they belong to, not with the order.
bool belongsToItem(const ConversionOwner &owner, const bizlib::Record &web)
{
    return !owner.isQuote() && web.toLong("OrderItemID") != 0;
}

} // namespace

WebRecordCopies::WebRecordCopies(bizlib::Database &db, QString dataFolder)
    : m_db(db)
    , m_dataFolder(std::move(dataFolder))
{ }

QString WebRecordCopies::folderFor(const ConversionOwner &owner) const
{
    return QDir(bizlib::MainLibrary::localPath(m_dataFolder.trimmed())).filePath(owner.folderName());
}

bizlib::Status WebRecordCopies::copyNotes(const ConversionOwner &owner, qint32 *lastNoteId)
{
    *lastNoteId = 0;
    bizlib::Table webNotes(m_db, QStringLiteral("WebNotes"));
    QList<bizlib::Record> notes;
    bizlib::Status st = readAll(webNotes, owner.ownerKey(), owner.requestId, &notes);
    if (!st)
        return st;
    bizlib::Table table(m_db, QStringLiteral("Notes"));
    for (const bizlib::Record &web : std::as_const(notes)) {
        bizlib::Record note;
        st = ownedCopy(table, web, owner, &note);
        if (st)
            st = table.insert(note);
        if (!st) {
            if (note.isValid()) // a note that got no number has none to give back
                table.release(note);
            return st;
        }
        *lastNoteId = note.toLong("NoteID");
    }
    return bizlib::Status::ok();
}

bizlib::Status WebRecordCopies::hasLocalDriveAttachments(const ConversionOwner &owner, bool *found)
{
    *found = false;
    bizlib::Table webAttachments(m_db, QStringLiteral("WebAttachments"));
    QList<bizlib::Record> rows;
    const bizlib::Status st = readAll(webAttachments, owner.ownerKey(), owner.requestId, &rows);
    for (const bizlib::Record &row : std::as_const(rows))
        *found = *found || AttachmentNames::isOnLocalDrive(row.text("SourceName"));
    return st;
}

bizlib::Status WebRecordCopies::stageFiles(const ConversionOwner &owner, bool skipLocalDrive,
    const bizlib::LocalFileCopy &rules, const std::function<bizlib::Status(const QString &path)> &created,
    StagedFiles *staged, FileJournal *journal)
{
    bizlib::Table webAttachments(m_db, QStringLiteral("WebAttachments"));
    QList<bizlib::Record> rows;
    bizlib::Status st = readAll(webAttachments, owner.ownerKey(), owner.requestId, &rows);
    if (!st)
        return st;
    const QString folder = folderFor(owner);
    bool folderReady = false;
    const bizlib::FreeFileName::Options options = bizlib::AttachmentFiles::freeNameOptions(m_db);
    for (const bizlib::Record &web : std::as_const(rows)) {
        const QString source = web.text("SourceName").trimmed();
        if (skipLocalDrive && AttachmentNames::isOnLocalDrive(source))
            continue;
        if (belongsToItem(owner, web))
            continue;
        const std::optional<QString> name = AttachmentNames::safeName(web.text("Filename"));
        if (!name || !AttachmentNames::isFilePath(source))
            continue;
        StagedFile &file = (*staged)[web.toLong("AttachmentID")];
        if (!folderReady) {
            st = bizlib::MainLibrary::createDirectory(folder);
            if (!st)
                return st;
            folderReady = true;
        }
        const QString wanted = QDir(folder).filePath(*name);
        // The request's own stored copy is used as it is; a file of that name that belongs to
        // something else is never taken for it.
        const QString ownCopy = web.text("LocalPath").trimmed();
        if (!ownCopy.isEmpty() && QFileInfo(ownCopy).isFile()
            && QFileInfo(ownCopy).absoluteFilePath() == QFileInfo(wanted).absoluteFilePath()) {
            file.path = wanted;
            continue;
        }
        const QString localSource = bizlib::MainLibrary::localPath(source);
        if (const QString why = rules.refusal(localSource); !why.isEmpty()) {
            file.refused = why;
            continue;
        }
        QString target;
        st = bizlib::FreeFileName::claim(wanted, &target, options);
        if (st.isNotFound()) {
            file.refused = st.message();
            continue;
        }
        if (!st)
            return st;
        journal->adopt(target);
        if (created && !(st = created(target)))
            return st;
        const bizlib::Status copied = rules.copy(localSource, target);
        if (copied)
            file.path = target;
        else
            file.refused = copied.message();
    }
    return bizlib::Status::ok();
}

bizlib::Status WebRecordCopies::copyAttachments(
    const ConversionOwner &owner, bool skipLocalDrive, const StagedFiles &staged)
{
    bizlib::Table webAttachments(m_db, QStringLiteral("WebAttachments"));
    QList<bizlib::Record> rows;
    bizlib::Status st = readAll(webAttachments, owner.ownerKey(), owner.requestId, &rows);
    if (!st)
        return st;
    bizlib::Table table(m_db, QStringLiteral("Attachments"));
    for (const bizlib::Record &web : std::as_const(rows)) {
        const QString source = web.text("SourceName").trimmed();
        if (skipLocalDrive && AttachmentNames::isOnLocalDrive(source))
            continue;
        if (belongsToItem(owner, web))
            continue;
        bizlib::Record attachment;
        st = ownedCopy(table, web, owner, &attachment);
        if (!st)
            return st;
        if (owner.isQuote())
            attachment.setLong("OrderItemID", 0);
        attachment.setLong("Website", 1);
        attachment.setLong("Copied", 0);
        const std::optional<QString> name = AttachmentNames::safeName(web.text("Filename"));
        if (name)
            attachment.setText("Filename", *name);
        const auto file = staged.constFind(web.toLong("AttachmentID"));
        if (file != staged.constEnd() && !file->path.isEmpty()) {
            attachment.setLong("Copied", 1);
            attachment.setText("LocalPath", file->path);
            attachment.setText("Filename", QFileInfo(file->path).fileName());
        }
        st = table.insert(attachment);
        if (!st) {
            table.release(attachment);
            return st;
        }
    }
    return bizlib::Status::ok();
}

bizlib::Status WebRecordCopies::copyItemAttachments(
    const ConversionOwner &owner, qint32 webItemId, qint32 orderItemId, QString *firstPath)
{
    if (firstPath)
        firstPath->clear();
    bizlib::Table webAttachments(m_db, QStringLiteral("WebAttachments"));
    QList<bizlib::Record> rows;
    bizlib::Status st = readAll(webAttachments, QStringLiteral("ORDERITEMIDKEY"), webItemId, &rows);
    if (!st)
        return st;
    bizlib::Table table(m_db, QStringLiteral("Attachments"));
    for (const bizlib::Record &web : std::as_const(rows)) {
        if (web.toLong("OrderID") != owner.requestId)
            continue;
        bizlib::Record attachment;
        if (st = ownedCopy(table, web, owner, &attachment); !st)
            return st;
        attachment.setLong("OrderItemID", orderItemId);
        attachment.setLong("Website", 1);
        attachment.setLong("Copied", 0);
        // The name is only shown; no file is written for an item's attachment.
        if (const std::optional<QString> name = AttachmentNames::safeName(web.text("Filename")))
            attachment.setText("Filename", *name);
        if (st = table.insert(attachment); !st) {
            table.release(attachment);
            return st;
        }
        if (firstPath && firstPath->isEmpty())
            *firstPath = web.text("SourceName").trimmed();
    }
    return bizlib::Status::ok();
}

} // namespace quotes
