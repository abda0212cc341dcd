#pragma once

#include "console/ListRow.h"

#include <QString>
#include <functional>

namespace console {

// One column of a request list: its title, the text of a row, and optionally an icon, a tip and
// a flag shown as a check mark. Icons are named as the icon resources are ("Attachment",
// "GreenSq"); the widgets turn the name into a picture.
struct ListColumn
{
    enum class Align { Left, Right };

    QString title;
    std::function<QString(const ListRow &)> text;
    std::function<QString(const ListRow &)> icon; // empty name: no icon
    std::function<QString(const ListRow &)> tip; // empty: no tip
    std::function<bool(const ListRow &)> flag; // set: the column shows a check mark when true
    Align align = Align::Left;
};

} // namespace console
