#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace bizlib::spell {

class SpellChecker;
class SpellPrompter;

// SPELLCHECK: walks the words of a text (see WordScanner for what counts as a word), asks the
// prompter about each one the dictionary does not know, offering its suggestions, and gives
// back the corrected text.
//
// A replacement is taken as the user gave it (it is not checked again). Cancel stops the walk
// and keeps the corrections made before it, as a word processor does. Words ignored with
// "ignore all" or replaced with "replace all" are matched exactly (letter case included).
class SpellCheck
{
public:
    struct Result
    {
        QString text; // the corrected text; the text as given when the check could not run
        Status status; // an error when the dictionary could not be loaded
        bool cancelled = false;
        int misspelt = 0; // words asked about
        int replaced = 0; // words changed
    };

    explicit SpellCheck(SpellChecker &checker);

    Result run(const QString &text, SpellPrompter &prompter);

    // Loads `dictionary` (path without extension, see SpellChecker::open) and checks the text
    // with it: the whole operation for a caller that keeps no checker.
    static Result check(const QString &text, SpellPrompter &prompter, const QString &dictionary);

private:
    SpellChecker &m_checker;
};

} // namespace bizlib::spell
