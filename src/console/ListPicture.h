#pragma once

#include "bizlib/Decimal.h"

#include <QString>

namespace console {

// How the lists show values ("pictures"): texts cut to a width, dates and times in the
// system's short formats, whole numbers and decimals with a fixed number of places. A picture
// marked "blank when 0" shows nothing for zero.
class ListPicture
{
public:
    // The text cut to `width` characters, trailing blanks removed.
    static QString text(const QString &value, int width);
    // DATE day number as bizlib::DateText shows it (the locale's short date); empty for no date.
    static QString date(qint32 day);
    // TIME as bizlib::DateText shows it (hours and minutes); empty for no time.
    static QString time(qint32 hundredths);
    static QString number(qint64 value, bool blankWhenZero = false);
    // The value with exactly `places` decimals (rounded), a minus sign for negatives.
    static QString decimal(const bizlib::Decimal &value, int places, bool blankWhenZero = false);
};

} // namespace console
