#pragma once

#include <QHash>
#include <QSet>
#include <QWidget>

#include <functional>

class QLabel;
class QTabWidget;

namespace bizlib::forms {
class FormModel;
}

namespace signups {
class SignupProcessing;
}

namespace signups::ui {

// The wizard's "Client-update" page: the account being made, its address and contact fields on
// the left, the tabs "Internet" and "Accounts" on the right. Drop lists, the "..." lookups and the
// calendar button are the logic's (SignupProcessing): the page hands each value the user leaves to
// the account's form and asks the logic to check the field; a refused field gets the focus back.
// Everything a check changes (a country's currency, a nominal's tax code) is shown again.
class ClientUpdatePage : public QWidget
{
    Q_OBJECT

public:
    explicit ClientUpdatePage(SignupProcessing &processing, QWidget *parent = nullptr);

    // Takes the logic's account form (a new one each time the step is entered) and shows it.
    void bind();
    // The editor of a field of the account (the layout's field name), nullptr when not shown.
    QWidget *editorFor(const QString &field) const { return m_editors.value(field); }
    QTabWidget *tabs() const { return m_tabs; }

signals:
    // A value was taken or a lookup ran: the wizard's buttons may follow.
    void edited();

private:
    void build();
    QWidget *makeEditor(int row, QWidget *parent);
    QWidget *withButton(QWidget *editor, const QString &tip, const std::function<void()> &press, QWidget *parent);
    void commit(const QString &field);
    void load();
    QString editorText(const QString &field) const;
    void setEditorText(const QString &field, const QString &text);

    SignupProcessing &m_processing;
    bizlib::forms::FormModel *m_form = nullptr;
    QTabWidget *m_tabs = nullptr;
    QLabel *m_domain = nullptr;
    QHash<QString, QWidget *> m_editors;
    QSet<QString> m_dateFields; // shown as the locale's short date, kept as ISO text by the form
    QSet<QString> m_typed; // typed since their check last ran
    bool m_loading = false;
};

} // namespace signups::ui
