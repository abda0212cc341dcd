#include "app/TrayNotifications.h"

#include "config/WindowEvents.h"

#include <QRegularExpression>

namespace app {

std::optional<Balloon> balloonFor(int event, const QString &webUrl, const std::function<QString(const QString &)> &translate)
{
    const auto tr = [&](const QString &s) { return translate ? translate(s) : s; };
    QString what;
    bool silent = true;
    switch (event) {
    case config::NewQuotesWithSound: silent = false; [[fallthrough]];
    case config::NewQuotes: what = QStringLiteral("New web quote(s) received... click here to"); break;
    case config::NewOrdersWithSound: silent = false; [[fallthrough]];
    case config::NewOrders: what = QStringLiteral("New web order(s) received... click here to"); break;
    case config::NewSignupsWithSound: silent = false; [[fallthrough]];
    case config::NewSignups: what = QStringLiteral("New web registration(s) received... click here to"); break;
    case config::WebmonStalled:
        what = QStringLiteral("Webtasks are waiting and the web monitor has started none... click here to");
        break;
    default: return std::nullopt;
    }
    Balloon b;
    b.text = tr(what + QStringLiteral("\r\ndisplay the web console."));
    b.title = tr(QStringLiteral("Web console:")) + u' ' + QString(webUrl).remove(QRegularExpression(QStringLiteral("\\s+$")));
    b.silent = silent;
    if (event == config::WebmonStalled) {
        b.warning = true;
        b.msecs = 10000;
    }
    return b;
}

QString trayToolTip(const QString &companyName, const QString &globalData, const QString &problem)
{
    QString name = companyName;
    while (name.endsWith(u' '))
        name.chop(1);
    const QString text = QStringLiteral("Web console: ") + name + globalData.toLower();
    return problem.isEmpty() ? text : text + u'\n' + problem;
}

void TrayRetry::attempted(bool iconShown)
{
    if (iconShown)
        m_failedAt.reset();
    else
        m_failedAt = m_clock.msecs();
}

bool TrayRetry::due() const
{
    return m_failedAt && m_clock.msecs() - *m_failedAt > 5000;
}

} // namespace app
