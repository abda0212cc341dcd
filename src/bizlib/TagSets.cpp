#include "bizlib/TagSets.h"

#include <algorithm>

namespace bizlib {

void TagSets::setTag(int set, qint32 id, bool tagged)
{
    if (tagged) {
        m_sets[set].insert(id);
        return;
    }
    const auto it = m_sets.find(set);
    if (it != m_sets.end())
        it->remove(id);
}

QList<qint32> TagSets::tagged(int set) const
{
    const QSet<qint32> ids = m_sets.value(set);
    QList<qint32> list(ids.begin(), ids.end());
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace bizlib
