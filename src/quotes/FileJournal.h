#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace quotes {

// The files a conversion wrote or renamed, so that a conversion that fails (or is cancelled)
// leaves the folders as it found them. Files are not part of the database transaction: undo()
// is their rollback.
class FileJournal
{
public:
    // Copies `source` to `target`, which must not exist yet. True when copied (and journalled).
    bool copy(const QString &source, const QString &target);
    // A file the caller has created (a claimed name): undo() removes it.
    void adopt(const QString &path);
    // Renames `from` to `to` (which must not exist). True when renamed (and journalled).
    bool rename(const QString &from, const QString &to);

    // Renames back and removes the copies, the latest first. Files that the journal did not
    // write are never removed.
    void undo();
    // The files stay: the journal forgets them.
    void keep();

    const QStringList &created() const { return m_created; }

private:
    QStringList m_created;
    QList<QPair<QString, QString>> m_renamed; // from, to
    QList<int> m_order; // 0: a copy, 1: a rename, in the order they happened
};

} // namespace quotes
