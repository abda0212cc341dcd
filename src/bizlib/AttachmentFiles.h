#pragma once

#include "bizlib/FreeFileName.h"
#include "bizlib/Status.h"

#include <QString>
#include <QStringList>

namespace bizlib {

class Database;

// The stored copies of attachments: one file per attachment record, never shared.
namespace AttachmentFiles {

// Whether an attachment record other than `exceptId` names `path` (as stored, exactly) as its
// copy. An answer that cannot be read counts as named.
Status named(Database &db, const QString &path, qint32 exceptId, bool *isNamed);

// Free-name rules for a new copy: a name is taken when a file or any attachment record has it,
// and it must fit the record's path field.
FreeFileName::Options freeNameOptions(Database &db);

// The workstation's data folders (global, then local; empty ones left out), as local paths:
// where copies are kept and from where local sources may be copied.
QStringList dataFolders(const QString &globalData, const QString &localData);

} // namespace AttachmentFiles
} // namespace bizlib
