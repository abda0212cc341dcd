#include "bizlib/params/RecordLayout.h"

#include <QLatin1StringView>
#include <QString>

namespace bizlib::params {

int RecordLayout::indexOf(QAnyStringView name) const
{
    QString bare = name.toString();
    const int colon = bare.indexOf(u':');
    if (colon >= 0) {
        const QLatin1StringView prefix(m_prefix.data(), static_cast<qsizetype>(m_prefix.size()));
        if (QStringView(bare).left(colon).compare(prefix, Qt::CaseInsensitive) != 0)
            return -1;
        bare.remove(0, colon + 1);
    }
    for (int i = 0; i < m_count; ++i) {
        const std::string_view n = m_fields[i].name;
        if (bare.compare(QLatin1StringView(n.data(), static_cast<qsizetype>(n.size())), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace bizlib::params
