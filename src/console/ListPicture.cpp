#include "console/ListPicture.h"

#include "bizlib/DateText.h"

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
    return bizlib::DateText::current().day(day);
}

QString ListPicture::time(qint32 hundredths)
{
    return bizlib::DateText::current().time(hundredths);
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
