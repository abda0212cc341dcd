#include "console/WebmonWatch.h"

#include "console/RefreshWorker.h"

namespace console {

WebmonWatch::WebmonWatch(bizlib::Database &db, std::function<int()> stallMinutes, QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_stallMinutes(std::move(stallMinutes))
{ }

WebmonWatch::~WebmonWatch() = default;

void WebmonWatch::refresh()
{
    if (!m_worker)
        m_worker = std::make_unique<RefreshWorker>(&m_db);
    struct Read
    {
        QDateTime now;
        WebmonFigures figures;
        bizlib::Status status;
    };
    auto read = std::make_shared<Read>();
    m_worker->start(
        [this, read] {
            read->now = QDateTime::currentDateTime();
            read->status = WebmonHealth::read(m_db, read->now, &read->figures);
        },
        [this, read] { apply(read->status, read->figures, read->now); });
}

void WebmonWatch::apply(const bizlib::Status &read, const WebmonFigures &figures, const QDateTime &now)
{
    if (read) {
        m_figures = figures;
        m_readAt = now;
        m_failure.clear();
        m_light = WebmonHealth::light(figures, now, stallMinutes());
    } else {
        m_failure = read.message();
        m_light = WebmonHealth::Light::Unknown;
    }
    Q_EMIT updated();
    if (m_light == WebmonHealth::Light::Unknown)
        return;
    const bool red = m_light == WebmonHealth::Light::Red;
    const bool turned = red && !m_wasRed;
    m_wasRed = red;
    if (turned)
        Q_EMIT turnedRed();
}

QString WebmonWatch::summary() const
{
    QStringList out { WebmonHealth::reason(m_light, m_figures, m_readAt, stallMinutes()) };
    if (!m_failure.isEmpty())
        out << m_failure;
    if (m_readAt.isValid())
        out << WebmonHealth::lines(m_figures, m_readAt)
            << tr("Read at %1").arg(m_readAt.toString(QStringLiteral("HH:mm:ss")));
    return out.join(u'\n');
}

} // namespace console
