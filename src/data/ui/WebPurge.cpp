#include "data/ui/WebPurge.h"

#include "bizlib/Clock.h"
#include "bizlib/DateText.h"
#include "bizlib/Prompter.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/WindowSettings.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace data::ui {

WebPurge::WebPurge(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_procedure(services.trace, QString::fromLatin1(ProcedureName))
    , m_services(services)
    , m_purge(*services.db, services.today > 0 ? services.today : bizlib::DateTime::today())
    , m_date(new QDateEdit(this))
    , m_calendar(new QPushButton(QStringLiteral("..."), this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
    , m_pause(new QPushButton(this))
    , m_timer(new QTimer(this))
{
    setObjectName(QString::fromLatin1(ProcedureName));
    setWindowTitle(tr("Processing Records"));

    auto *warning = new QLabel(tr("WARNING: This will purge all completed web history up to and including the date you "
                                  "specify below. We suggest you retain at least 30 days history in case of queries."),
        this);
    warning->setWordWrap(true);
    auto *prompt = new QLabel(tr("Enter the date range to include (<=):"), this);
    prompt->setBuddy(m_date);
    m_date->setDisplayFormat(bizlib::DateText().shortDateFormat());
    m_date->setDateRange(bizlib::DateTime::toDate(m_purge.earliestDate()), bizlib::DateTime::toDate(m_purge.today()));
    m_date->setDate(bizlib::DateTime::toDate(m_purge.purgeDate()));
    m_date->setToolTip(tr("Enter the last date to purge records up to"));
    m_date->setMinimumWidth(m_date->fontMetrics().horizontalAdvance(QStringLiteral("00 September 0000")) + 32);
    m_calendar->setToolTip(tr("Display popup calendar"));
    m_calendar->setAutoDefault(false);
    m_calendar->setFixedWidth(m_calendar->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setFormat(tr("%p% Completed"));
    auto *purging = new QLabel(tr("Purging completed web logs"), this);
    purging->setAlignment(Qt::AlignCenter);
    m_cancel->setAutoDefault(false);
    m_pause->setDefault(true);

    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(prompt);
    dateRow->addWidget(m_date);
    dateRow->addWidget(m_calendar);
    dateRow->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_pause);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(warning);
    layout->addLayout(dateRow);
    layout->addWidget(m_progress);
    layout->addWidget(purging);
    layout->addLayout(buttons);

    connect(m_date, &QDateEdit::dateChanged, this, [this](const QDate &date) {
        m_purge.setPurgeDate(bizlib::DateTime::fromDate(date));
    });
    connect(m_calendar, &QPushButton::clicked, this, &WebPurge::pickDate);
    connect(m_cancel, &QPushButton::clicked, this, &WebPurge::reject); // Esc rejects as well
    connect(m_pause, &QPushButton::clicked, this, &WebPurge::pressPause);
    // The run goes on in batches from the event loop, so the buttons answer between them.
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &WebPurge::runStep);

    const QByteArray geometry = m_services.windowIni.isEmpty()
        ? QByteArray()
        : config::WindowSettings(m_services.windowIni).geometry(QString::fromLatin1(ProcedureName));
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(520, 220);
    showState();
}

WebPurge::~WebPurge()
{
    keepGeometry();
}

bool WebPurge::run(const Services &services, QWidget *parent)
{
    WebPurge window(services, parent);
    return window.exec() == QDialog::Accepted;
}

void WebPurge::showState()
{
    m_pause->setText(tr(m_purge.pauseButtonText().toUtf8().constData()));
    const bool editable = !m_purge.hasStarted();
    m_date->setEnabled(editable);
    m_calendar->setEnabled(editable);
    m_progress->setValue(m_purge.percent());
}

void WebPurge::pressPause()
{
    m_purge.pressPause();
    if (m_purge.state() == WebTaskPurge::State::Running)
        m_timer->start();
    else
        m_timer->stop();
    showState();
    if (m_purge.state() == WebTaskPurge::State::Failed) {
        if (m_services.prompter)
            m_services.prompter->alert(WebTaskPurge::failureText(bizlib::Status::error(tr("the purge could not start"))),
                windowTitle(), bizlib::Prompter::Icon::Hand);
        QDialog::reject();
    }
}

void WebPurge::pickDate()
{
    if (m_purge.hasStarted())
        return;
    bizlib::ui::WidgetForms dialogs(this, m_services.trace);
    bizlib::forms::SelectLibrary library(*m_services.db, m_services.forms ? *m_services.forms : dialogs);
    qint32 day = bizlib::DateTime::fromDate(m_date->date());
    if (library.selectDate(&day) == bizlib::forms::Response::Completed)
        m_date->setDate(bizlib::DateTime::toDate(day)); // the entry keeps it within its bounds
}

void WebPurge::runStep()
{
    const bizlib::Status st = m_purge.step();
    showState();
    switch (m_purge.state()) {
    case WebTaskPurge::State::Running: return;
    case WebTaskPurge::State::Finished:
        m_timer->stop();
        accept();
        return;
    case WebTaskPurge::State::Failed:
        m_timer->stop();
        if (m_services.prompter)
            m_services.prompter->alert(WebTaskPurge::failureText(st), windowTitle(), bizlib::Prompter::Icon::Hand);
        QDialog::reject();
        return;
    default: m_timer->stop(); return;
    }
}

void WebPurge::reject()
{
    m_timer->stop();
    m_purge.cancel();
    QDialog::reject();
}

void WebPurge::keepGeometry()
{
    if (m_geometrySaved || m_services.windowIni.isEmpty())
        return;
    m_geometrySaved = true;
    config::WindowSettings(m_services.windowIni, m_services.trace)
        .setGeometry(QString::fromLatin1(ProcedureName), QDialog::saveGeometry());
}

} // namespace data::ui
