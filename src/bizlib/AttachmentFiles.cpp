#include "bizlib/AttachmentFiles.h"

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/MainLibrary.h"

#include <QSqlQuery>

namespace bizlib::AttachmentFiles {

Status named(Database &db, const QString &path, qint32 exceptId, bool *isNamed)
{
    const TableDef &def = Dictionary::instance().require(QStringLiteral("Attachments"));
    QSqlQuery q;
    const Status st = db.exec(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ? AND %3 <> ?")
                                  .arg(def.sqlTable(), def.sqlColumn(def.fieldIndex(QStringLiteral("LocalPath"))),
                                      def.sqlColumn(def.fieldIndex(QStringLiteral("AttachmentID")))),
        { path, exceptId }, &q);
    if (!st)
        return st;
    *isNamed = !q.next() || q.value(0).toLongLong() > 0;
    return Status::ok();
}

FreeFileName::Options freeNameOptions(Database &db)
{
    FreeFileName::Options options;
    options.taken = [&db](const QString &candidate, bool *taken) { return named(db, candidate, 0, taken); };
    const TableDef &def = Dictionary::instance().require(QStringLiteral("Attachments"));
    if (const FieldDef *field = def.field(QStringLiteral("LocalPath")))
        options.maxChars = field->maxChars();
    return options;
}

QStringList dataFolders(const QString &globalData, const QString &localData)
{
    QStringList folders;
    for (const QString &f : { globalData, localData })
        if (!f.trimmed().isEmpty())
            folders << MainLibrary::localPath(f.trimmed());
    return folders;
}

} // namespace bizlib::AttachmentFiles
