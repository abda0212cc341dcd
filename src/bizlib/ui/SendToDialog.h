#pragma once

#include "bizlib/ProcedureTrace.h"
#include "bizlib/sendto/SendToPrompter.h"

#include <QDialog>

class QLabel;
class QRadioButton;

namespace bizlib::ui {

// The send-to window's questions as dialogs: the destination (file, e-mail or printer) with OK
// and Cancel, the file dialog for a CSV file, and the print dialog. Made once and asked on demand,
// it reports each showing of the destination question to `trace` as procedure "SendTo".
class SendToDialog : public QDialog, public sendto::SendToPrompter
{
    Q_OBJECT

public:
    explicit SendToDialog(QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    Destination chooseDestination(const QString &title, qint64 rows) override;
    QString chooseFile(const QString &caption, const QString &suggested) override;
    bool print(const QString &title, const QString &html) override;

    // The choice the dialog shows now (for tests that drive it without running it).
    Destination destination() const;

private:
    ProcedureTrace *m_trace;
    QLabel *m_prompt;
    QRadioButton *m_file;
    QRadioButton *m_email;
    QRadioButton *m_printer;
};

} // namespace bizlib::ui
