#include "bizlib/DateText.h"

#include "bizlib/Clock.h"

#include <QRegularExpression>
#include <optional>

namespace bizlib {

namespace {

// Leading and trailing separators left behind when a part of a format is taken out.
QString trimmedFormat(QString format)
{
    static const QRegularExpression ends(QStringLiteral("^[\\s,]+|[\\s,]+$"));
    return format.remove(ends);
}

} // namespace

DateText::DateText(const QLocale &locale)
    : m_locale(locale)
{
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    static const QRegularExpression weekday(QStringLiteral("d{3,4}[\\s,]*"));
    static const QRegularExpression seconds(QStringLiteral("[:.]ss?"));
    m_short = m_locale.dateFormat(QLocale::ShortFormat).replace(twoDigitYear, QStringLiteral("yyyy"));
    m_long = trimmedFormat(m_locale.dateFormat(QLocale::LongFormat).remove(weekday));
    m_time = m_locale.timeFormat(QLocale::ShortFormat).remove(seconds);
}

const DateText &DateText::current()
{
    thread_local std::optional<DateText> text;
    const QLocale locale;
    if (!text || text->locale() != locale)
        text.emplace(locale);
    return *text;
}

QString DateText::shortDate(const QDate &date) const
{
    return date.isValid() ? m_locale.toString(date, m_short) : QString();
}

QString DateText::longDate(const QDate &date) const
{
    return date.isValid() ? m_locale.toString(date, m_long) : QString();
}

QString DateText::shortTime(const QTime &time) const
{
    return time.isValid() ? m_locale.toString(time, m_time) : QString();
}

QString DateText::dateTime(const QDateTime &when) const
{
    return when.isValid() ? shortDate(when.date()) + u' ' + shortTime(when.time()) : QString();
}

QString DateText::day(qint32 day) const
{
    return shortDate(DateTime::toDate(day));
}

QString DateText::time(qint32 hundredths) const
{
    return shortTime(DateTime::toTime(hundredths));
}

QDate DateText::parseDate(const QString &text) const
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (d.isValid() && (t.size() == 10 || t.at(10) == u'T' || t.at(10) == u' '))
        return d;
    for (const QString &format : { m_short, m_long, m_locale.dateFormat(QLocale::LongFormat) }) {
        d = m_locale.toDate(t, format);
        if (d.isValid())
            return d;
    }
    // The locale's own short format may have a two-digit year, which Qt reads as 19xx.
    const QString own = m_locale.dateFormat(QLocale::ShortFormat);
    if (own != m_short) {
        d = m_locale.toDate(t, own);
        if (d.isValid())
            return d.year() < 2000 ? d.addYears(100) : d;
    }
    return {};
}

QTime DateText::parseTime(const QString &text) const
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    for (const QString &format : { QStringLiteral("HH:mm"), QStringLiteral("HH:mm:ss"), QStringLiteral("H:mm") }) {
        const QTime time = QTime::fromString(t, format);
        if (time.isValid())
            return time;
    }
    const QTime iso = QTime::fromString(t, Qt::ISODate);
    if (iso.isValid())
        return iso;
    for (const QString &format : { m_time, m_locale.timeFormat(QLocale::ShortFormat) }) {
        const QTime time = m_locale.toTime(t, format);
        if (time.isValid())
            return time;
    }
    return {};
}

} // namespace bizlib
