#include "downloader/AttachmentDownloader.h"

#include "bizlib/Record.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/PathText.h"
#include "downloader/AttachmentSource.h"
#include "downloader/DownloadLog.h"
#include "downloader/HttpFetch.h"

#include <QFile>
#include <QFileInfo>

namespace downloader {

namespace {

QString lastPart(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1).trimmed();
}

} // namespace

AttachmentDownloader::AttachmentDownloader(
    bizlib::Database &db, const Folders &folders, const HttpFetch &fetch, DownloadLog &log)
    : m_db(db)
    , m_hot(folders.hot)
    , m_edoc(folders.edoc)
    , m_localCopies(folders.localCopies)
    , m_fetch(fetch)
    , m_log(log)
{ }

QString AttachmentDownloader::logPrefix(Arguments::ParentType type, qint32 parentId, const QString &parentRef)
{
    return QStringLiteral("%1 %2 (%3): ")
        .arg(type == Arguments::ParentType::Quote ? QStringLiteral("quote") : QStringLiteral("order"),
            QString::number(parentId), parentRef);
}

AttachmentDownloader::Outcome AttachmentDownloader::run(
    Arguments::ParentType type, qint32 parentId, const QString &parentRef)
{
    const bool quote = type == Arguments::ParentType::Quote;
    const QString prefix = logPrefix(type, parentId, parentRef);
    Outcome outcome;
    bizlib::Table table(m_db, QStringLiteral("Attachments"));
    bizlib::TableCursor cursor(table, quote ? QStringLiteral("QUOTEIDKEY") : QStringLiteral("ORDERIDKEY"));
    cursor.setRange({ parentId });
    bizlib::Record attachment = table.newRecord();
    bizlib::Status st;
    while ((st = cursor.next(attachment)).isOk()) {
        ++outcome.attachments;
        put(attachment, prefix, parentRef, &outcome);
    }
    if (st.isError()) {
        outcome.readError = QStringLiteral("cannot read the attachments: %1").arg(st.message());
        m_log.write(prefix + outcome.readError);
    } else if (outcome.attachments == 0) {
        m_log.write(prefix + QStringLiteral("no attachments"));
    }
    return outcome;
}

void AttachmentDownloader::put(
    const bizlib::Record &attachment, const QString &prefix, const QString &parentRef, Outcome *outcome)
{
    const QString storedCopy = config::clipRight(attachment.text("LocalPath")).trimmed();
    const QString sourceName = config::clipRight(attachment.text("SourceName")).trimmed();
    // A web address may carry a login or a token: the log and the messages show it without them.
    const QString shown = DownloadLog::shownAddress(sourceName.isEmpty() ? storedCopy : sourceName);
    const auto fail = [&](const QString &verb, const QString &why) {
        m_log.write(prefix + verb + u' ' + shown + QStringLiteral(": ") + why);
        outcome->failures << shown + QStringLiteral(": ") + why;
    };

    // The console's stored copy is what the business records refer to; it also serves when the
    // original is a path of another computer.
    AttachmentSource source = AttachmentSource::classify(storedCopy);
    if (source.kind != AttachmentSource::Kind::LocalFile || !QFileInfo(source.location).isFile())
        source = AttachmentSource::classify(sourceName);
    if (source.kind == AttachmentSource::Kind::Refused) {
        fail(QStringLiteral("REFUSED"),
            storedCopy.isEmpty() || storedCopy == sourceName
                ? source.reason
                : source.reason + QStringLiteral(", and its stored copy %1 is not there").arg(storedCopy));
        return;
    }

    QString name = lastPart(config::clipRight(attachment.text("SourceFile")));
    if (name.isEmpty())
        name = source.fileName.trimmed();
    if (name.isEmpty())
        name = lastPart(config::clipRight(attachment.text("Filename")));
    if (!HotFolderWriter::isPlainName(name)) {
        fail(
            QStringLiteral("REFUSED"), QStringLiteral("its file name \"%1\" cannot be used in a hot folder").arg(name));
        return;
    }
    const QString ownPrefix = parentRef + u'_';
    const QString target = name.startsWith(ownPrefix) ? name : ownPrefix + name;

    const bool web = source.kind == AttachmentSource::Kind::Web;
    const bool printReady = attachment.toLong("Artwork") == 1 && attachment.toLong("Output") == 1;
    HotFolderWriter &writer = printReady ? m_edoc : m_hot;
    QString written;
    const bizlib::Status st = writer.write(
        target,
        [&](QIODevice &out) { return web ? m_fetch.get(source.location, out) : m_localCopies.copyTo(source.location, out); },
        &written);
    if (!st) {
        fail(QStringLiteral("FAILED"), st.message());
        return;
    }
    ++outcome->written;
    m_log.write(prefix + (web ? QStringLiteral("downloaded ") : QStringLiteral("copied "))
        + DownloadLog::shownAddress(source.location) + QStringLiteral(" to ") + written);
}

} // namespace downloader
