#include "console/ListPicture.h"

#include "bizlib/Clock.h"

#include <QLocale>
#include <QRegularExpression>

namespace console {

namespace {
QString clipped(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}
} // namespace

QString ListPicture::text(const QString &value, int width)
{
    return clipped(value.left(width));
}

QString ListPicture::date(qint32 day)
{
    if (day <= 0)
        return {};
    return QLocale().toString(bizlib::DateTime::toDate(day), QLocale::ShortFormat);
}

QString ListPicture::time(qint32 hundredths)
{
    if (hundredths <= 0)
        return {};
    // Hours and minutes: a short format that still carries the seconds loses them.
    static const QRegularExpression seconds(QStringLiteral("[:.]ss?"));
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    format.remove(seconds);
    return QLocale().toString(bizlib::DateTime::toTime(hundredths), format);
}

QString ListPicture::number(qint64 value, bool blankWhenZero)
{
    if (value == 0 && blankWhenZero)
        return {};
    return QString::number(value);
}

QString ListPicture::decimal(const bizlib::Decimal &value, int places, bool blankWhenZero)
{
    if (value.isZero() && blankWhenZero)
        return {};
    return value.toString(places);
}

} // namespace console
