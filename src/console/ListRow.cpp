#include "console/ListRow.h"

#include <stdexcept>

namespace console {

const bizlib::Record &ListRow::of(const QString &prefix) const
{
    if (record.isValid() && record.table().hasPrefix(prefix))
        return record;
    for (const bizlib::Record &r : joined)
        if (r.isValid() && r.table().hasPrefix(prefix))
            return r;
    throw std::logic_error(QStringLiteral("list row has no table %1").arg(prefix).toStdString());
}

} // namespace console
