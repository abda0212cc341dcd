#pragma once

#include "bizlib/Prompter.h"

#include <QStringList>
#include <functional>

namespace autorun {

// The prompter of a program that nobody sits at. A notice (one button) is passed on to `said`
// (standard error, the trace log) and counts as read. A question is never answered for a user:
// it takes its safe answer (the Esc button, which is Cancel wherever a question can cancel), and
// is remembered, so that the run that asked can be reported as needing a person.
class QuietPrompter : public bizlib::Prompter
{
public:
    explicit QuietPrompter(std::function<void(const QString &)> said = {});

    int message(const QString &text, const QString &caption, Icon icon, const QString &buttons = QStringLiteral("&OK"),
        int defaultButton = 1, int escapeButton = 0) override;
    void beep(Icon) override { }

    // The questions asked since the last call ("caption: text"), and forgets them.
    QStringList takeQuestions();

private:
    std::function<void(const QString &)> m_said;
    QStringList m_questions;
};

} // namespace autorun
