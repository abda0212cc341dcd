#include "orders/ui/WebOrderProcess.h"

#include "bizlib/mail/MailSender.h"
#include "bizlib/report/PdfQuotes.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "config/WindowSettings.h"
#include "notes/PhraseToolbox.h"
#include "notes/ui/ProcessingForms.h"
#include "orders/OrderProcessing.h"
#include "signups/ui/WebSignupProcess.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orders::ui {

WebOrderProcess::WebOrderProcess(
    OrderProcessing &processing, const QString &windowIni, QWidget *parent, bizlib::ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, QString::fromLatin1(ProcedureName))
    , m_trace(trace)
    , m_processing(processing)
    , m_windowIni(windowIni)
{
    setObjectName(QString::fromLatin1(ProcedureName));
    setWindowTitle(tr("Web order processing"));
    const bizlib::Record &order = processing.webOrder();
    m_caption = new QLabel(
        tr("Processing web order %1 (web reference %2)...").arg(order.toLong("Number")).arg(order.toLong("WebID")),
        this);
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
    connect(m_timer, &QTimer::timeout, this, &WebOrderProcess::tick);

    const QByteArray geometry = m_windowIni.isEmpty()
        ? QByteArray()
        : config::WindowSettings(m_windowIni).geometry(QString::fromLatin1(ProcedureName));
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(420, 110);
}

void WebOrderProcess::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    // Once the window is on screen: the claim and, when it is taken, the timer.
    QTimer::singleShot(0, this, &WebOrderProcess::opened);
}

void WebOrderProcess::opened()
{
    if (!m_processing.open()) {
        done(QDialog::Rejected);
        return;
    }
    raise();
    activateWindow();
    m_timer->start();
}

void WebOrderProcess::tick()
{
    if (!m_processing.mayStart())
        return;
    m_timer->stop();
    const bizlib::forms::Response response = m_processing.run();
    done(response == bizlib::forms::Response::Completed ? QDialog::Accepted : QDialog::Rejected);
}

void WebOrderProcess::done(int result)
{
    if (!m_closing) {
        m_closing = true;
        m_timer->stop();
        m_processing.close();
        if (!m_windowIni.isEmpty())
            config::WindowSettings(m_windowIni, m_trace)
                .setGeometry(QString::fromLatin1(ProcedureName), saveGeometry());
    }
    QDialog::done(result);
}

bizlib::forms::Response WebOrderProcess::run(
    config::AppContext &ctx, const bizlib::Record &webOrder, bool automatic, QWidget *parent)
{
    bizlib::ui::WidgetForms forms(parent, ctx.trace);
    notes::ui::ProcessingForms::prepare(forms, ctx);
    bizlib::mail::MailSender mail(bizlib::mail::mailSettingsFrom(ctx.brevix), nullptr, ctx.prompter, ctx.trace);
    OrderProcessing::Services services;
    services.ctx = &ctx;
    services.forms = &forms;
    services.mail = &mail;
    bizlib::PdfQuotes documents(*ctx.db);
    services.documents = &documents;
    services.processSignup = [&ctx, parent](const bizlib::Record &signup, const bizlib::Record &order) {
        return signups::ui::WebSignupProcess::run(ctx, signup, parent, order);
    };
    OrderProcessing processing(services, webOrder, automatic);
    {
        WebOrderProcess window(processing, ctx.paths.windowIni, parent, ctx.trace);
        forms.setParent(&window);
        // Modal to its parent only, so that the phrase toolbox (a window of its own) still takes
        // drags while the web order is processed.
        window.setWindowModality(Qt::WindowModal);
        window.exec();
    }
    // The toolbox started for this web order ends with it.
    notes::PhraseToolbox::closeRunning(ctx);
    return processing.response();
}

} // namespace orders::ui
