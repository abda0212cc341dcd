#include "console/ui/SplitterMemory.h"

#include "config/WindowSettings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSplitter>
#include <QTimer>

namespace console::ui {

SplitterMemory::SplitterMemory(
    QSplitter *splitter, QString windowIni, QString procedure, QString key, bizlib::ProcedureTrace *trace)
    : QObject(splitter)
    , m_splitter(splitter)
    , m_windowIni(std::move(windowIni))
    , m_procedure(std::move(procedure))
    , m_key(std::move(key))
    , m_trace(trace)
    , m_pending(new QTimer(this))
{
    m_pending->setSingleShot(true);
    m_pending->setInterval(500);
    connect(m_pending, &QTimer::timeout, this, &SplitterMemory::save);
    connect(m_splitter, &QSplitter::splitterMoved, m_pending, qOverload<>(&QTimer::start));
    // A move not yet saved is saved when the window goes, or the program ends, before the timer.
    m_splitter->installEventFilter(this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_pending->isActive())
            save();
    });
}

SplitterMemory::~SplitterMemory() = default;

bool SplitterMemory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_splitter && event->type() == QEvent::Hide && m_pending->isActive())
        save();
    return QObject::eventFilter(watched, event);
}

bool SplitterMemory::restore()
{
    if (m_windowIni.isEmpty())
        return false;
    const QByteArray state = config::WindowSettings(m_windowIni).state(m_procedure, m_key);
    return !state.isEmpty() && m_splitter->restoreState(state);
}

void SplitterMemory::save()
{
    m_pending->stop();
    if (!m_windowIni.isEmpty())
        config::WindowSettings(m_windowIni, m_trace).setState(m_procedure, m_key, m_splitter->saveState());
}

} // namespace console::ui
