#pragma once

#include <QWidget>

class QFormLayout;
class QGroupBox;
class QVBoxLayout;

namespace console::ui {

class SetupBinder;

// One page of the Setup tab: its controls in titled groups, one below the other. The pages
// only lay out controls; the SetupBinder ties them to the settings.
class SetupPage : public QWidget
{
    Q_OBJECT

public:
    SetupPage(SetupBinder &binder, QWidget *parent = nullptr);

protected:
    // A titled group with a form layout (prompt, control) for its rows.
    QFormLayout *group(const QString &title);
    // A row of the form whose prompt follows the control's enabled state.
    void addRow(QFormLayout *form, const QString &prompt, const QString &field, QWidget *control);
    // Ends the page: what is left of the height stays empty below the groups.
    void finish();

    SetupBinder &m_binder;

private:
    QVBoxLayout *m_layout;
};

} // namespace console::ui
