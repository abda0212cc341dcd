#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace console {
class SetupEditor;
}

namespace console::ui {

// Ties the Setup pages' controls to the fields of the SetupEditor by name: each control hands
// its accepted value to the editor, and show() puts the editor's values, enabled states and
// required marks back on every control.
class SetupBinder : public QObject
{
    Q_OBJECT

public:
    explicit SetupBinder(SetupEditor &editor, QObject *parent = nullptr);

    SetupEditor &editor() { return m_editor; }

    QLineEdit *text(const QString &field, QWidget *parent, bool password = false);
    QLineEdit *decimal(const QString &field, QWidget *parent);
    // A code or layout number with its lookup button ("...") and what the code names, in one row.
    QWidget *code(const QString &field, QWidget *parent);
    // A folder with its folder dialog button.
    QWidget *folder(const QString &field, QWidget *parent);
    // A sound file with its file dialog and Play buttons.
    QWidget *sound(const QString &field, QWidget *parent);
    // A date (empty for none) with its calendar button.
    QWidget *date(const QString &field, QWidget *parent);
    QCheckBox *flag(const QString &field, const QString &caption, QWidget *parent);
    QSpinBox *number(const QString &field, QWidget *parent, const QString &suffix = {});
    // A number followed by its unit, `one` for 1 and `many` otherwise ("1 second", "20 seconds").
    QSpinBox *count(const QString &field, QWidget *parent, const QString &one, const QString &many);
    QComboBox *choice(const QString &field, const QStringList &items, QWidget *parent);
    // `widget` (a prompt, a button) is enabled and disabled with the control of `field`.
    void follow(const QString &field, QWidget *widget) { m_followers[field.toUpper()] << widget; }

    // The control of `field` (for focus and tests), nullptr when not bound.
    QWidget *control(const QString &field) const { return m_controls.value(field.toUpper()); }
    // Hands every text control whose text differs from its field's value to the editor, as
    // leaving it would (without lookups): Save and Cancel take the screen values first.
    void commit();
    // Shows the editor's values.
    void show();

Q_SIGNALS:
    // The editor asked for the focus on a control: the page that holds it must show first.
    void focusWanted(QWidget *control);

private:
    void bind(const QString &field, QWidget *control, QWidget *rowWidget = nullptr);
    QPushButton *smallButton(const QString &text, const QString &tip, QWidget *parent);
    void showOne(const QString &field, QWidget *control);

    SetupEditor &m_editor;
    QHash<QString, QWidget *> m_controls; // field -> its control
    QHash<QString, QList<QWidget *>> m_followers; // field -> buttons enabled with it
    QHash<QString, QLabel *> m_descriptions; // lookup field -> what its code names
};

} // namespace console::ui
