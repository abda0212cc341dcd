#pragma once

#include "bizlib/Status.h"

#include <QStringList>

class QIODevice;

namespace bizlib {

// Copies of files named by the website (an attachment's source path). Such a name is not to be
// trusted: only a regular file (never a FIFO, device or folder, which could block the program or
// read what it must not), no larger than a limit, inside one of the folders allowed for it.
struct LocalFileCopy
{
    static constexpr qint64 kDefaultMaxBytes = 100LL * 1024 * 1024;

    QStringList allowedFolders;
    qint64 maxBytes = kDefaultMaxBytes;

    // Why `source` may not be copied (empty: it may). Looks at the file without opening it for
    // reading; copy() checks again what it actually opened.
    QString refusal(const QString &source) const;
    // Copies `source` into `target`, which the caller has created (claimed) and which is written
    // over. The source is opened without blocking and without following a link, and what was
    // opened is checked before anything is read. An error names the file and the reason; the
    // target is then left empty.
    Status copy(const QString &source, const QString &target) const;
    // The same into an open device (nothing is removed from it on a failure).
    Status copyTo(const QString &source, QIODevice &out) const;
};

} // namespace bizlib
