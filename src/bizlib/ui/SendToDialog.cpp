#include "bizlib/ui/SendToDialog.h"

#include "bizlib/ProcedureScope.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace bizlib::ui {

SendToDialog::SendToDialog(QWidget *parent, ProcedureTrace *trace)
    : QDialog(parent)
    , m_trace(trace)
    , m_prompt(new QLabel(this))
    , m_file(new QRadioButton(tr("a &file (CSV)"), this))
    , m_email(new QRadioButton(tr("&e-mail (the list attached as a CSV file)"), this))
    , m_printer(new QRadioButton(tr("a &printer"), this))
{
    setWindowTitle(tr("Send to"));
    m_prompt->setWordWrap(true);
    m_file->setChecked(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_file);
    layout->addWidget(m_email);
    layout->addWidget(m_printer);
    layout->addWidget(buttons);
}

SendToDialog::Destination SendToDialog::destination() const
{
    if (m_email->isChecked())
        return Destination::Email;
    if (m_printer->isChecked())
        return Destination::Printer;
    return Destination::File;
}

SendToDialog::Destination SendToDialog::chooseDestination(const QString &title, qint64 rows)
{
    m_prompt->setText(rows >= 0 ? tr("Send the list \"%1\" (%2 rows) to:").arg(title).arg(rows)
                                : tr("Send the list \"%1\" to:").arg(title));
    ProcedureScope procedure(m_trace, QStringLiteral("SendTo"));
    if (exec() != QDialog::Accepted)
        return Destination::Cancel;
    return destination();
}

QString SendToDialog::chooseFile(const QString &caption, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parentWidget(), caption, suggested, tr("CSV files (*.csv);;All files (*)"));
}

bool SendToDialog::print(const QString &title, const QString &html)
{
    QPrinter printer;
    printer.setDocName(title);
    QPrintDialog dialog(&printer, parentWidget());
    dialog.setWindowTitle(tr("Print %1").arg(title));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QTextDocument document;
    document.setHtml(html);
    document.print(&printer);
    return true;
}

} // namespace bizlib::ui
