#include "bizlib/Clock.h"

namespace bizlib::DateTime {

namespace {
const QDate kEpoch(1800, 12, 28);
}

qint32 fromDate(const QDate &date)
{
    if (!date.isValid())
        return kNoDate;
    return static_cast<qint32>(kEpoch.daysTo(date));
}

QDate toDate(qint32 day)
{
    if (day <= 0)
        return {};
    return kEpoch.addDays(day);
}

qint32 fromTime(const QTime &time)
{
    if (!time.isValid())
        return kNoTime;
    return time.msecsSinceStartOfDay() / 10 + 1;
}

QTime toTime(qint32 hundredths)
{
    if (hundredths <= 0)
        return {};
    return QTime::fromMSecsSinceStartOfDay(((hundredths - 1) % 8640000) * 10);
}

qint32 today()
{
    return fromDate(QDate::currentDate());
}

qint32 now()
{
    return fromTime(QTime::currentTime());
}

QString dateText(qint32 day, const QString &format)
{
    return day > 0 ? toDate(day).toString(format) : QString();
}

QString timeText(qint32 hundredths, const QString &format)
{
    return hundredths > 0 ? toTime(hundredths).toString(format) : QString();
}

} // namespace bizlib::DateTime
