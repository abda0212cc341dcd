#include "auto/QuietPrompter.h"

namespace autorun {

QuietPrompter::QuietPrompter(std::function<void(const QString &)> said)
    : m_said(std::move(said))
{ }

int QuietPrompter::message(const QString &text, const QString &caption, Icon, const QString &buttons, int, int escapeButton)
{
    const qsizetype count = buttons.split(u'|').size();
    const QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    if (m_said)
        m_said(line);
    if (count <= 1)
        return 1;
    m_questions << line;
    return escapeButton > 0 ? escapeButton : int(count);
}

QStringList QuietPrompter::takeQuestions()
{
    return std::exchange(m_questions, {});
}

} // namespace autorun
