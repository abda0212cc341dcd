#include "console/HistoryListModel.h"

#include "console/Columns.h"

namespace console {

namespace {

// A text that may be longer than its column shows whole in the cell's tip.
ListColumn tipped(ListColumn column)
{
    column.tip = column.text;
    return column;
}

QList<ListColumn> historyColumns()
{
    ListColumn date = Columns::date(QStringLiteral("Date/time"), QStringLiteral("WTSK:TaskDate"));
    date.icon = [](const ListRow &r) { return HistoryListModel::statusIcon(r.record.text("Status")); };
    return {
        date,
        Columns::time(QString(), QStringLiteral("WTSK:TaskTime")),
        Columns::text(QStringLiteral("By"), QStringLiteral("WTSK:TaskUser"), 80),
        Columns::text(QStringLiteral("Type"), QStringLiteral("WTSK:TaskType"), 50),
        Columns::text(QStringLiteral("Request"), QStringLiteral("WTSK:TaskRequest"), 40),
        tipped(Columns::text(QStringLiteral("Username"), QStringLiteral("WTSK:UserName"), 80)),
        tipped(Columns::text(QStringLiteral("Company"), QStringLiteral("WTSK:Company"), 40)),
        tipped(Columns::text(QStringLiteral("Description"), QStringLiteral("WTSK:Description"), 255)),
        Columns::text(QStringLiteral("Status"), QStringLiteral("WTSK:Status"), 20),
        Columns::date(QStringLiteral("Started"), QStringLiteral("WTSK:StartDate")),
        Columns::time(QStringLiteral("At"), QStringLiteral("WTSK:StartTime")),
        Columns::date(QStringLiteral("Restarted"), QStringLiteral("WTSK:RestartDate")),
        Columns::time(QStringLiteral("At"), QStringLiteral("WTSK:RestartTime")),
        Columns::date(QStringLiteral("Ended"), QStringLiteral("WTSK:EndDate")),
        Columns::time(QStringLiteral("At"), QStringLiteral("WTSK:EndTime")),
        Columns::number(QStringLiteral("Attempts"), QStringLiteral("WTSK:Attempts")),
    };
}

} // namespace

HistoryListModel::HistoryListModel(bizlib::Database &db, QObject *parent)
    : JoinedListModel(std::make_unique<ListQuery>(db, QStringLiteral("WebTask"), QStringLiteral("REVDATEKEY")),
          historyColumns(), kStripe, parent)
{ }

QString HistoryListModel::statusIcon(const QString &status)
{
    const QString word = status.trimmed().toUpper();
    if (word == QLatin1String("ACTIVE"))
        return QStringLiteral("GreenDot");
    if (word == QLatin1String("COMPLETED"))
        return QStringLiteral("RedDot");
    if (word == QLatin1String("PENDING"))
        return QStringLiteral("YellowDot");
    if (word == QLatin1String("FAILED"))
        return QStringLiteral("Blackdot");
    return {};
}

} // namespace console
