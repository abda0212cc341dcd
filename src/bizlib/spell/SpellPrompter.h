#pragma once

#include <QString>
#include <QStringList>

namespace bizlib::spell {

// Asks the user what to do with one misspelt word. The widgets implement it with the spelling
// dialog, the tests with scripted answers.
class SpellPrompter
{
public:
    struct Query
    {
        QString word; // the misspelt word as it stands in the text
        QStringList suggestions; // best first; may be empty
        QString text; // the whole text with the corrections made so far
        qsizetype position = 0; // where the word starts in `text`
    };

    enum class Action {
        Replace, // this occurrence becomes `replacement`
        ReplaceAll, // this and every later occurrence of the word become `replacement`
        Ignore, // leave this occurrence
        IgnoreAll, // leave this and every later occurrence
        Cancel, // stop checking; the corrections made so far are kept
    };

    struct Answer
    {
        Action action = Action::Ignore;
        QString replacement; // for Replace and ReplaceAll: a suggestion or a typed word
    };

    virtual ~SpellPrompter() = default;
    virtual Answer ask(const Query &query) = 0;
};

} // namespace bizlib::spell
