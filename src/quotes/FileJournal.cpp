#include "quotes/FileJournal.h"

#include <QFile>

namespace quotes {

bool FileJournal::copy(const QString &source, const QString &target)
{
    if (QFile::exists(target) || !QFile::copy(source, target))
        return false;
    m_created << target;
    m_order << 0;
    return true;
}

void FileJournal::adopt(const QString &path)
{
    m_created << path;
    m_order << 0;
}

bool FileJournal::rename(const QString &from, const QString &to)
{
    if (QFile::exists(to) || !QFile::rename(from, to))
        return false;
    m_renamed.append({ from, to });
    m_order << 1;
    return true;
}

void FileJournal::undo()
{
    while (!m_order.isEmpty()) {
        if (m_order.takeLast() == 0) {
            QFile::remove(m_created.takeLast());
        } else {
            const auto [from, to] = m_renamed.takeLast();
            QFile::rename(to, from);
        }
    }
}

void FileJournal::keep()
{
    m_created.clear();
    m_renamed.clear();
    m_order.clear();
}

} // namespace quotes
