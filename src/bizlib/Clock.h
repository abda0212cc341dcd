#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace bizlib {

// DATE and TIME values as the business database stores them.
// A DATE is a day number: day 1 is 29 December 1800, so 1 January 1801 is day 4; 0 means no date.
// A TIME is hundredths of a second since midnight plus one, so that midnight itself (1) differs
// from "no time" (0); 8,640,001 is the last hundredth of a day.
namespace DateTime {

constexpr qint32 kNoDate = 0;
constexpr qint32 kNoTime = 0;

qint32 fromDate(const QDate &date);
QDate toDate(qint32 day);
qint32 fromTime(const QTime &time);
QTime toTime(qint32 hundredths);

qint32 today();
qint32 now();

// "dd/MM/yyyy"-free helpers for display: ISO text or empty for 0.
QString dateText(qint32 day, const QString &format = QStringLiteral("yyyy-MM-dd"));
QString timeText(qint32 hundredths, const QString &format = QStringLiteral("HH:mm"));

} // namespace DateTime
} // namespace bizlib
