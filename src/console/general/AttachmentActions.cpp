#include "console/general/AttachmentActions.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/FreeFileName.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace console {

namespace {

const QString kAttachments = QStringLiteral("WebAttachments");
const QString kIdKey = QStringLiteral("ATTACHMENTIDKEY");
const QString kCaption = QStringLiteral("Add attachment");

QString clipped(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return s.left(n);
}

} // namespace

AttachmentActions::AttachmentActions(
    bizlib::Database &db, bizlib::Prompter &prompter, notes::Desktop &desktop, QString dataFolder)
    : m_db(db)
    , m_prompter(prompter)
    , m_desktop(desktop)
    , m_dataFolder(std::move(dataFolder))
{ }

QList<notes::Desktop::Filter> AttachmentActions::fileFilters()
{
    // In a glob "?" is exactly one character: "*.tif?" alone would hide every ".tif" file.
    return { { QStringLiteral("PDF file(s)"), QStringLiteral("*.pdf") },
        { QStringLiteral("PNG file(s)"), QStringLiteral("*.png") },
        { QStringLiteral("EPS file(s)"), QStringLiteral("*.eps") },
        { QStringLiteral("TIF file(s)"), QStringLiteral("*.tif *.tif?") },
        { QStringLiteral("JPEG file(s)"), QStringLiteral("*.jpg") },
        { QStringLiteral("Excel file(s)"), QStringLiteral("*.xls *.xls?") },
        { QStringLiteral("Word file(s)"), QStringLiteral("*.doc *.doc?") },
        { QStringLiteral("All file(s)"), QStringLiteral("*.*") } };
}

QString AttachmentActions::folderFor(RequestRef::Kind kind) const
{
    return QDir(m_dataFolder)
        .filePath(kind == RequestRef::Kind::Quote ? QStringLiteral("quotes") : QStringLiteral("orders"));
}

std::optional<QString> AttachmentActions::storedName(qint32 webId, const QString &sourcePath)
{
    const qsizetype cut = std::max(sourcePath.lastIndexOf(u'/'), sourcePath.lastIndexOf(u'\\'));
    const QString name = sourcePath.mid(cut + 1).trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt;
    return QString::number(webId) + u'_' + name;
}

void AttachmentActions::report(const bizlib::Status &status)
{
    m_prompter.alert(status.message(), kCaption, bizlib::Prompter::Icon::Hand);
}

int AttachmentActions::add(const RequestRef &owner)
{
    if (!owner.isSet())
        return 0;
    int added = 0;
    for (const QString &path : m_desktop.chooseFiles(QStringLiteral("Select attachment(s)"), fileFilters(), true))
        if (addFile(owner, path))
            ++added;
    return added;
}

bool AttachmentActions::addFile(const RequestRef &owner, const QString &path)
{
    if (path.trimmed().isEmpty() || !owner.isSet())
        return false;
    const std::optional<QString> filename = storedName(owner.webId, path);
    const QString folder = folderFor(owner.kind);
    const QString localPath = filename ? QDir(folder).filePath(*filename) : QString();
    bizlib::Table table(m_db, kAttachments);
    const bizlib::FieldDef *localField = table.def().field(QStringLiteral("LocalPath"));
    // The stored copy must be a file directly inside the folder, and its path must fit the record:
    // a cut path would name another file than the one written.
    if (!filename
        || QDir::cleanPath(QFileInfo(localPath).absolutePath()) != QDir::cleanPath(QFileInfo(folder).absoluteFilePath())
        || (localField && localPath.size() > localField->maxChars())) {
        m_prompter.alert(QStringLiteral("The file \"%1\" cannot be attached: its name must name a file inside the "
                                        "attachments folder \"%2\".")
                             .arg(path, folder),
            kCaption, bizlib::Prompter::Icon::Exclamation);
        return false;
    }

    // Two attachments never share a stored file: a name already taken (by a file or by another
    // record) gets "_2", "_3" ... before its extension, so no existing copy is overwritten. The
    // name is claimed by creating the file exclusively, so that two workstations adding the same
    // file at once never end up with one copy.
    QDir().mkpath(folder);
    QString target;
    const bizlib::FreeFileName::Options options = bizlib::AttachmentFiles::freeNameOptions(m_db);
    if (const bizlib::Status st = bizlib::FreeFileName::claim(localPath, &target, options); !st) {
        if (st.isNotFound())
            m_prompter.alert(QStringLiteral("The file \"%1\" cannot be attached: the attachments folder has no free "
                                            "name for it.")
                                 .arg(path),
                kCaption, bizlib::Prompter::Icon::Exclamation);
        else
            report(st);
        return false;
    }

    bizlib::Record r;
    bizlib::Status st = table.prime(r);
    if (st) {
        const bool quote = owner.kind == RequestRef::Kind::Quote;
        r.setLong("QuoteID", quote ? owner.id : 0);
        r.setLong("OrderID", quote ? 0 : owner.id);
        r.setText("Filename", QFileInfo(target).fileName());
        r.setText("SourceName", path);
        r.setText("SourceFile", filename->mid(filename->indexOf(u'_') + 1));
        r.setText("LocalPath", target);
        st = table.insert(r);
        if (!st)
            table.release(r);
    }
    if (!st) {
        QFile::remove(target); // the claimed, still empty name is ours to give back
        report(st);
        return false;
    }
    if (!copyInto(path, target)) {
        QFile::remove(target);
        m_prompter.alert(QStringLiteral("The file \"%1\" could not be copied to \"%2\". The attachment is recorded "
                                        "without its copy.")
                             .arg(path, target),
            kCaption, bizlib::Prompter::Icon::Exclamation);
    }
    return true;
}

bool AttachmentActions::copyInto(const QString &source, const QString &target)
{
    QFile in(source);
    QFile out(target);
    // The target exists already (claimed empty): it is filled, never created here.
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::ExistingOnly))
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty())
        if (out.write(chunk) != chunk.size())
            return false;
    return in.error() == QFileDevice::NoError && out.flush();
}

bool AttachmentActions::fetch(qint32 attachmentId, bizlib::Record *attachment)
{
    bizlib::Table table(m_db, kAttachments);
    *attachment = table.newRecord();
    const bizlib::Status st = table.fetch(kIdKey, { attachmentId }, *attachment);
    if (st.isError())
        report(st);
    return st.isOk();
}

bool AttachmentActions::remove(qint32 attachmentId)
{
    bizlib::Record r;
    if (attachmentId == 0 || !fetch(attachmentId, &r))
        return false;
    if (r.toLong("Artwork") == 1) {
        m_prompter.alert(
            QStringLiteral("WARNING: You cannot remove artwork attachments as these are critical to the order."),
            QStringLiteral("Cannot delete artwork"), bizlib::Prompter::Icon::Exclamation);
        return false;
    }
    if (!m_prompter.askYesNo(QStringLiteral("Are you sure you want to delete the attachment record?"),
            QStringLiteral("Confirm delete"), false))
        return false;
    bizlib::Table table(m_db, kAttachments);
    if (const bizlib::Status st = table.remove(r); !st) {
        if (st.isError())
            report(st);
        return false;
    }
    // The record is gone; its copy goes only when it is a file of the attachments folder that no
    // other record names (a path written by another program is never trusted to delete).
    const QString local = clipped(r.text("LocalPath"));
    const QString folder = folderFor(r.toLong("QuoteID") != 0 ? RequestRef::Kind::Quote : RequestRef::Kind::Order);
    const QString own = realPath(local);
    const QString home = QFileInfo(folder).canonicalFilePath();
    if (!own.isEmpty() && !home.isEmpty() && QFileInfo(own).path() == home && !copyInUse(table, own, attachmentId))
        QFile::remove(own);
    return true;
}

QString AttachmentActions::realPath(const QString &localPath)
{
    // Paths are compared as the file system resolves them: a text such as "<folder>/lnk/../victim"
    // looks like a file of the folder, but when "lnk" is a link to another folder it names a file
    // outside. The folder part is resolved; a link as the last part stays itself (removing it
    // never touches what it points to).
    const QFileInfo info(localPath);
    const QString name = info.fileName();
    if (localPath.isEmpty() || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
    return parent.isEmpty() ? QString() : QDir(parent).filePath(name);
}

bool AttachmentActions::copyInUse(bizlib::Table &table, const QString &copy, qint32 exceptId)
{
    // Another record may name the file in other words ("./", a link to the folder): every record
    // whose path holds the same name is resolved and compared.
    const bizlib::TableDef &def = table.def();
    const QString column = def.sqlColumn(def.fieldIndex(QStringLiteral("LocalPath")));
    QString name = QFileInfo(copy).fileName();
    name.replace(u'!', QStringLiteral("!!")).replace(u'%', QStringLiteral("!%")).replace(u'_', QStringLiteral("!_"));
    QSqlQuery q;
    const bizlib::Status st = table.database().exec(
        QStringLiteral("SELECT %1 FROM %2 WHERE %1 LIKE ? ESCAPE '!' AND %3 <> ?")
            .arg(column, def.sqlTable(), def.sqlColumn(def.fieldIndex(QStringLiteral("AttachmentID")))),
        { u'%' + name + u'%', exceptId }, &q);
    if (!st)
        return true; // when the question cannot be answered, nothing is deleted
    while (q.next())
        if (realPath(clipped(q.value(0).toString())) == copy)
            return true;
    return false;
}

bool AttachmentActions::pathInUse(bizlib::Table &table, const QString &localPath, qint32 exceptId)
{
    const bizlib::TableDef &def = table.def();
    qint64 n = 0;
    const bizlib::Status st = table.count(&n,
        QStringLiteral("%1 = ? AND %2 <> ?")
            .arg(def.sqlColumn(def.fieldIndex(QStringLiteral("LocalPath"))),
                def.sqlColumn(def.fieldIndex(QStringLiteral("AttachmentID")))),
        { localPath, exceptId });
    // When the question cannot be answered, the path counts as taken: nothing is overwritten or deleted.
    return !st || n > 0;
}

bool AttachmentActions::open(const bizlib::Record &attachment)
{
    const QString source = clipped(attachment.text("SourceName"));
    return !source.isEmpty() && m_desktop.open(source);
}

bool AttachmentActions::copyUrl(qint32 attachmentId)
{
    bizlib::Record r;
    if (attachmentId == 0 || !fetch(attachmentId, &r))
        return false;
    m_desktop.setClipboardText(clipped(r.text("SourceName")));
    return true;
}

bool AttachmentActions::toggleArtwork(qint32 attachmentId)
{
    bizlib::Record r;
    if (attachmentId == 0 || !fetch(attachmentId, &r))
        return false;
    r.setLong("Artwork", r.toLong("Artwork") == 1 ? 0 : 1);
    bizlib::Table table(m_db, kAttachments);
    if (const bizlib::Status st = table.update(r); !st) {
        if (st.isError())
            report(st);
        return false;
    }
    return true;
}

} // namespace console
