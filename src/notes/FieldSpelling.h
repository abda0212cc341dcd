#pragma once

#include <QString>

namespace bizlib {
class Prompter;
}
namespace bizlib::spell {
class SpellPrompter;
}

namespace notes {

// The spelling check of a text field that takes phrases (the note editor's notes, the reasons of
// the rejection windows): the Spelling button checks the field; F7 checks it only when the field
// has the focus, and then says "The spelling check is complete." whether or not a check ran.
struct FieldSpelling
{
    bizlib::spell::SpellPrompter *speller = nullptr; // none: no check runs
    bizlib::Prompter *prompter = nullptr; // the dictionary's failure and the F7 report
    QString dictionary; // empty: the installed default

    // The field's text after the check (`text` itself when no check ran). `run`: whether to
    // check; `report`: whether to say that the check is complete.
    QString check(const QString &text, bool run, bool report) const;
};

} // namespace notes
