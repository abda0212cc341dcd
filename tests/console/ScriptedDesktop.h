#pragma once

#include "notes/Desktop.h"

namespace consoletest {

// Desktop services answered from a script: file and folder dialogs return the queued choices (none when
// the script is empty); opened targets and clipboard texts are recorded.
class ScriptedDesktop : public notes::Desktop
{
public:
    struct Dialog
    {
        QString title;
        QList<Filter> filters;
        bool several = false;
    };

    void choose(const QStringList &files) { m_choices << files; }
    void failOpening() { m_openFails = true; }

    const QList<Dialog> &dialogs() const { return m_dialogs; }
    const QStringList &opened() const { return m_opened; }
    const QString &clipboard() const { return m_clipboard; }

    QStringList chooseFiles(const QString &title, const QList<Filter> &filters, bool several) override
    {
        m_dialogs << Dialog { title, filters, several };
        return m_choices.isEmpty() ? QStringList {} : m_choices.takeFirst();
    }
    QString chooseFolder(const QString &title, const QString &) override
    {
        m_dialogs << Dialog { title, {}, false };
        return m_choices.isEmpty() ? QString {} : m_choices.takeFirst().value(0);
    }
    bool open(const QString &target) override
    {
        m_opened << target;
        return !m_openFails;
    }
    void setClipboardText(const QString &text) override { m_clipboard = text; }

private:
    QList<QStringList> m_choices;
    QList<Dialog> m_dialogs;
    QStringList m_opened;
    QString m_clipboard;
    bool m_openFails = false;
};

} // namespace consoletest
