#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

namespace bizlib {

// How dates and times are shown to the user, one way throughout the program: in the configured
// locale (the default QLocale, which start-up sets from the system configuration's "Locale").
// Dates take the locale's short format, always with the year in four digits (a two-digit year
// cannot be typed back unambiguously); the header's date takes the locale's long format without
// the weekday. Times show hours and minutes in the locale's short format.
//
// Texts written by other programs (the web monitor's account list) are read back with
// parseDate() and parseTime(), which also take ISO 8601.
class DateText
{
public:
    explicit DateText(const QLocale &locale = QLocale());
    // The one for the default locale, made again when the default changes (one per thread): for
    // lists, which show dates in every row.
    static const DateText &current();

    // "8 Dec 2026", "12/8/2026", "08.12.2026" ...; empty for an invalid date.
    QString shortDate(const QDate &date) const;
    // "8 December 2026", "December 8, 2026", "8. Dezember 2026" ...; empty for an invalid date.
    QString longDate(const QDate &date) const;
    // "14:05", "2:05 PM" ...; empty for an invalid time.
    QString shortTime(const QTime &time) const;
    // The short date, a blank and the short time; empty for an invalid moment.
    QString dateTime(const QDateTime &when) const;
    // The same for the database's DATE day numbers and TIME hundredths; empty for 0 (none).
    QString day(qint32 day) const;
    QString time(qint32 hundredths) const;

    // The format of shortDate(), for date entries.
    const QString &shortDateFormat() const { return m_short; }
    const QString &shortTimeFormat() const { return m_time; }

    // A date as a user types it or another program writes it: the short format (also with the
    // locale's own two-digit year, taken as 20xx), the long format with or without the weekday, or
    // ISO 8601 ("2026-12-08", also with a time after it). Surrounding blanks do not count. An
    // invalid date when it is none of these.
    QDate parseDate(const QString &text) const;
    // "14:05", "14:05:30", ISO 8601, or the locale's short time; an invalid time otherwise.
    QTime parseTime(const QString &text) const;

    const QLocale &locale() const { return m_locale; }

private:
    QLocale m_locale;
    QString m_short;
    QString m_long;
    QString m_time;
};

} // namespace bizlib
