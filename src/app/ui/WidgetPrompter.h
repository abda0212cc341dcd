#pragma once

#include "bizlib/Prompter.h"

class QWidget;

namespace app::ui {

// Message boxes and system sounds with Qt widgets.
class WidgetPrompter : public bizlib::Prompter
{
public:
    explicit WidgetPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    int message(const QString &text, const QString &caption, Icon icon, const QString &buttons,
                int defaultButton, int escapeButton) override;
    void beep(Icon icon) override;

private:
    QWidget *m_parent;
};

} // namespace app::ui
