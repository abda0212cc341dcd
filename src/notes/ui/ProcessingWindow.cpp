#include "notes/ui/ProcessingWindow.h"

#include "config/WindowSettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace notes::ui {

ProcessingWindow::ProcessingWindow(const char *procedureName, const QString &title, const QString &caption, Steps steps,
    const QString &windowIni, QWidget *parent, bizlib::ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, QString::fromLatin1(procedureName))
    , m_trace(trace)
    , m_procedureName(QString::fromLatin1(procedureName))
    , m_steps(std::move(steps))
    , m_windowIni(windowIni)
{
    setObjectName(m_procedureName);
    setWindowTitle(title);
    m_caption = new QLabel(caption, this);
    m_caption->setObjectName(QStringLiteral("caption"));
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addLayout(buttons);

    m_timer = new QTimer(this);
    m_timer->setInterval(kTimerMsecs);
    connect(m_timer, &QTimer::timeout, this, &ProcessingWindow::tick);

    const QByteArray geometry
        = m_windowIni.isEmpty() ? QByteArray() : config::WindowSettings(m_windowIni).geometry(m_procedureName);
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(420, 110);
}

void ProcessingWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    // Once the window is on screen: the claim and, when it is taken, the timer.
    QTimer::singleShot(0, this, &ProcessingWindow::opened);
}

void ProcessingWindow::opened()
{
    if (!m_steps.open()) {
        done(QDialog::Rejected);
        return;
    }
    raise();
    activateWindow();
    m_timer->start();
}

void ProcessingWindow::tick()
{
    if (!m_steps.mayStart())
        return;
    m_timer->stop();
    const bizlib::forms::Response response = m_steps.run();
    done(response == bizlib::forms::Response::Completed ? QDialog::Accepted : QDialog::Rejected);
}

void ProcessingWindow::done(int result)
{
    if (!m_closing) {
        m_closing = true;
        m_timer->stop();
        m_steps.close();
        if (!m_windowIni.isEmpty())
            config::WindowSettings(m_windowIni, m_trace).setGeometry(m_procedureName, saveGeometry());
    }
    QDialog::done(result);
}

} // namespace notes::ui
