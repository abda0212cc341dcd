#pragma once

#include "bizlib/security/LogonPrompter.h"

class QWidget;

namespace bizlib::ui {

// Asks for the logon with the modal LogonDialog.
class WidgetLogonPrompter : public security::LogonPrompter
{
public:
    explicit WidgetLogonPrompter(QWidget *parent = nullptr)
        : m_parent(parent)
    { }

    bool askCredentials(const Attempt &attempt, QString *initials, QString *password) override;

private:
    QWidget *m_parent;
};

} // namespace bizlib::ui
