#pragma once

#include "console/ListColumn.h"

namespace console {

// Builders of the usual list columns: a field of one of the list's tables (named by prefix and
// field) shown through one of the ListPicture pictures.
class Columns
{
public:
    static ListColumn text(const QString &title, const QString &field, int width);
    static ListColumn date(const QString &title, const QString &field);
    static ListColumn time(const QString &title, const QString &field);
    static ListColumn number(const QString &title, const QString &field, bool blankWhenZero = false);
    static ListColumn decimal(const QString &title, const QString &field, int places, bool blankWhenZero = false);
    // A flag column (a BYTE shown as a check mark).
    static ListColumn flag(const QString &title, const QString &field);
    // A column that shows only an icon: `iconWhenSet` when `field` is not 0.
    static ListColumn iconWhenSet(const QString &title, const QString &field, const QString &icon);

    // "WQTE:Title" -> ("WQTE", "Title").
    static std::pair<QString, QString> split(const QString &field);
};

} // namespace console
