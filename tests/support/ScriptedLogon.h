#pragma once

#include "bizlib/security/LogonPrompter.h"

#include <QList>
#include <optional>

namespace testsupport {

// A logon dialog that answers from a script: each try takes the next queued initials and
// password; a queued cancel, or an empty script, cancels. Every request is recorded.
class ScriptedLogon : public bizlib::security::LogonPrompter
{
public:
    void answer(const QString &initials, const QString &password) { m_answers.append({ { initials, password } }); }
    void cancel() { m_answers.append(std::nullopt); }
    const QList<Attempt> &attempts() const { return m_attempts; }

    bool askCredentials(const Attempt &attempt, QString *initials, QString *password) override
    {
        m_attempts << attempt;
        if (m_answers.isEmpty())
            return false;
        const std::optional<QPair<QString, QString>> a = m_answers.takeFirst();
        if (!a)
            return false;
        *initials = a->first;
        *password = a->second;
        return true;
    }

private:
    QList<std::optional<QPair<QString, QString>>> m_answers;
    QList<Attempt> m_attempts;
};

} // namespace testsupport
