#pragma once

#include "bizlib/Prompter.h"

#include <QString>
#include <optional>

namespace notes {

// Dropping a phrase from the phrase toolbox into a text field, as every text field that takes
// phrases does it (the note editor's notes, the reasons of the rejection windows):
//  - a field whose text, without trailing blanks, is empty takes the dropped text;
//  - otherwise the user is asked (with a beep) whether to Overwrite (the field takes the dropped
//    text without trailing blanks), Append (the field's text without trailing blanks, ", ", then
//    the dropped text) or Cancel (the field stays as it is).
// After a change the field is selected, marked as changed and left with Tab, so that its own
// accept handling runs (the widget's part). How the phrase travels is PhraseDragFormat's.
class PhraseDrop
{
public:
    static QString question()
    {
        return QStringLiteral("There is already text in this field, press Overwrite to erase the existing text,  "
                              "Append to add on the end, or Cancel to abandon, ");
    }
    static QString caption() { return QStringLiteral("Warning"); }
    static QString buttons() { return QStringLiteral("&Overwrite|&Append|&Cancel"); }

    // The field's new text, or nullopt when the user cancelled. `maxLength` (0: no limit) cuts
    // the result to what the field holds. `icon`: the question's icon and beep (a phrase picked
    // from a window's own phrase list asks with the exclamation mark).
    static std::optional<QString> apply(const QString &current, const QString &dropped, bizlib::Prompter &prompter,
        int maxLength = 0, bizlib::Prompter::Icon icon = bizlib::Prompter::Icon::Question);

    // Text without trailing blanks (spaces, tabs, line ends).
    static QString clipped(const QString &text);
};

} // namespace notes
