#include "app/ui/ProcedureInfoWindow.h"

#include "config/TraceLog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace app::ui {

ProcedureInfoWindow::ProcedureInfoWindow(const QString &text, config::TraceLog *trace, QWidget *parent)
    : QDialog(parent)
    , m_procedure(trace, QStringLiteral("ProcedureInformation"))
{
    setWindowTitle(QStringLiteral("Procedure Information"));
    auto *l = new QVBoxLayout(this);
    auto *label = new QLabel(this);
    label->setTextFormat(Qt::RichText);
    QString rows;
    for (const QString &line : text.split(u'\n')) {
        const QStringList cells = line.split(u'\t');
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;&nbsp;%2</td></tr>")
                    .arg(cells.value(0).toHtmlEscaped(), cells.value(1).toHtmlEscaped());
    }
    label->setText(QStringLiteral("<table>") + rows + QStringLiteral("</table>"));
    l->addWidget(label);
    auto *buttons = new QDialogButtonBox(this);
    auto *clip = buttons->addButton(QStringLiteral("Send To Clipboard"), QDialogButtonBox::ActionRole);
    auto *debug = buttons->addButton(QStringLiteral("Send To Debug"), QDialogButtonBox::ActionRole);
    auto *close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    connect(clip, &QPushButton::clicked, this, [text] { QApplication::clipboard()->setText(text); });
    connect(debug, &QPushButton::clicked, this, [text, trace] {
        if (trace)
            trace->message(text);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    l->addWidget(buttons);
}

} // namespace app::ui
