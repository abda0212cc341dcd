#pragma once

#include <QString>
#include <QStringList>

namespace bizlib {

// Everything that asks the user or tells the user something goes through this interface:
// the widgets implement it with real dialogs, the tests with scripted answers.
class Prompter
{
public:
    enum class Icon { Information, Exclamation, Question, Hand };

    virtual ~Prompter() = default;

    // A modal message box. `buttons` is one text with "|" between the buttons and "&" before
    // the access key ("&Yes|&No", "&Cancel|&Unlock"); `defaultButton` counts from 1.
    // Returns the number of the button chosen (from 1). Esc or closing the box picks
    // `escapeButton` (counted from 1), or the last button when it is 0: a question whose safe
    // answer is not the last one ("&Cancel|&Unlock") names it, so that Esc never unlocks.
    virtual int message(const QString &text, const QString &caption, Icon icon,
                        const QString &buttons = QStringLiteral("&OK"), int defaultButton = 1, int escapeButton = 0) = 0;
    // The system sound of that kind (sounded before a message of the same kind).
    virtual void beep(Icon icon) = 0;

    // A message box with the beep of its kind first, as the program's messages are shown.
    int alert(const QString &text, const QString &caption, Icon icon, const QString &buttons = QStringLiteral("&OK"),
              int defaultButton = 1, int escapeButton = 0)
    {
        beep(icon);
        return message(text, caption, icon, buttons, defaultButton, escapeButton);
    }
    // Yes/No question with its beep; true for Yes.
    bool askYesNo(const QString &text, const QString &caption, bool yesIsDefault)
    {
        return alert(text, caption, Icon::Question, QStringLiteral("&Yes|&No"), yesIsDefault ? 1 : 2) == 1;
    }
};

} // namespace bizlib
