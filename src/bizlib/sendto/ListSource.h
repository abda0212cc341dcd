#pragma once

#include "bizlib/Status.h"

#include <QStringList>
#include <functional>

namespace bizlib::sendto {

// A list as the send-to window outputs it: its title, its column headings, and its rows as the
// list shows them (one text per column), in list order. A list that holds more rows than it has
// loaded reads them all from its source.
class ListSource
{
public:
    virtual ~ListSource() = default;
    virtual QString title() const = 0;
    virtual QStringList headers() const = 0;
    // Calls `row` for every row in order; stops at the first error and returns it.
    virtual Status rows(const std::function<void(const QStringList &row)> &row) const = 0;
};

} // namespace bizlib::sendto
