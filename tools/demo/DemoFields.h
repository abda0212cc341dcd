#pragma once

#include "bizlib/Clock.h"
#include "bizlib/Decimal.h"
#include "bizlib/Record.h"

#include <QDateTime>
#include <QStringList>
#include <initializer_list>
#include <utility>

// Small helpers shared by the demo data files.
namespace demo {

using FieldText = std::pair<const char *, QString>;

// Sets several text fields at once: setTexts(r, {{"Name", name}, {"Town", town}}).
inline void setTexts(bizlib::Record &record, std::initializer_list<FieldText> values)
{
    for (const FieldText &v : values)
        record.setText(QString::fromLatin1(v.first), v.second);
}

inline void setLongs(bizlib::Record &record, std::initializer_list<std::pair<const char *, qint64>> values)
{
    for (const auto &v : values)
        record.setLong(QString::fromLatin1(v.first), v.second);
}

inline bizlib::Decimal dec(const char *text)
{
    return bizlib::Decimal::fromString(QString::fromLatin1(text));
}

inline QString str(const char *text)
{
    return QString::fromUtf8(text);
}

// Amount of `quantity` at `unitPrice`, to the penny.
inline bizlib::Decimal lineValue(const bizlib::Decimal &quantity, const bizlib::Decimal &unitPrice)
{
    return (quantity * unitPrice).rescaled(2);
}

// Tax on `net` at `ratePercent`, to the penny.
inline bizlib::Decimal taxOn(const bizlib::Decimal &net, const bizlib::Decimal &ratePercent)
{
    return (net * ratePercent).divided(bizlib::Decimal::fromInt(100), 2);
}

// An address as one text, a line each, blank lines left out.
inline QString formatAddress(const QStringList &lines)
{
    QStringList kept;
    for (const QString &line : lines) {
        if (!line.trimmed().isEmpty())
            kept << line.trimmed();
    }
    return kept.join(QLatin1Char('\n'));
}

inline void setStamp(bizlib::Record &record, const char *dateField, const char *timeField, const QDateTime &when)
{
    record.setLong(QString::fromLatin1(dateField), bizlib::DateTime::fromDate(when.date()));
    record.setLong(QString::fromLatin1(timeField), bizlib::DateTime::fromTime(when.time()));
}

} // namespace demo
