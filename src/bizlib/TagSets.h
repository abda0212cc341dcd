#pragma once

#include <QHash>
#include <QList>
#include <QSet>

namespace bizlib {

// The marks a workstation puts on records in numbered sets, as the business system's lists do:
// a set holds record identifiers and lives as long as the program. Set 315 holds the business
// orders made by the latest web order run (none after a cancelled run).
class TagSets
{
public:
    static constexpr int kWebOrderRun = 315;

    // NEWTAG: the set starts again, empty.
    void newSet(int set) { m_sets.remove(set); }
    // SETTAG: marks or unmarks one record of the set.
    void setTag(int set, qint32 id, bool tagged);
    bool isTagged(int set, qint32 id) const { return m_sets.value(set).contains(id); }
    // The marked records of the set in ascending order.
    QList<qint32> tagged(int set) const;

private:
    QHash<int, QSet<qint32>> m_sets;
};

} // namespace bizlib
