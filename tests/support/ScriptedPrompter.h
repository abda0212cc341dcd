#pragma once

#include "bizlib/Prompter.h"

#include <QList>
#include <QStringList>

namespace testsupport {

// A prompter that records every message and answers from a script: each message takes the
// next queued answer, or its default button when the script is empty.
class ScriptedPrompter : public bizlib::Prompter
{
public:
    struct Shown
    {
        QString text;
        QString caption;
        Icon icon;
        QString buttons;
        int defaultButton;
        int escapeButton;
    };

    void answer(int button) { m_answers << button; }
    // The next message is left with Esc (or its close box).
    void pressEscape() { m_answers << kEscape; }
    const QList<Shown> &shown() const { return m_shown; }
    const QList<Icon> &beeps() const { return m_beeps; }
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }

    int message(const QString &text, const QString &caption, Icon icon, const QString &buttons, int defaultButton,
                int escapeButton) override
    {
        m_shown << Shown{text, caption, icon, buttons, defaultButton, escapeButton};
        const int answer = m_answers.isEmpty() ? defaultButton : m_answers.takeFirst();
        if (answer != kEscape)
            return answer;
        return escapeButton > 0 ? escapeButton : static_cast<int>(buttons.split(u'|').size());
    }
    void beep(Icon icon) override { m_beeps << icon; }

private:
    static constexpr int kEscape = -1;
    QList<int> m_answers;
    QList<Shown> m_shown;
    QList<Icon> m_beeps;
};

} // namespace testsupport
