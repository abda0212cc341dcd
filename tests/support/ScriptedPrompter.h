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
    };

    void answer(int button) { m_answers << button; }
    const QList<Shown> &shown() const { return m_shown; }
    const QList<Icon> &beeps() const { return m_beeps; }
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }

    int message(const QString &text, const QString &caption, Icon icon, const QString &buttons,
                int defaultButton) override
    {
        m_shown << Shown{text, caption, icon, buttons, defaultButton};
        return m_answers.isEmpty() ? defaultButton : m_answers.takeFirst();
    }
    void beep(Icon icon) override { m_beeps << icon; }

private:
    QList<int> m_answers;
    QList<Shown> m_shown;
    QList<Icon> m_beeps;
};

} // namespace testsupport
