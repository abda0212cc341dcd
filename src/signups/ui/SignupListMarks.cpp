#include "signups/ui/SignupListMarks.h"

#include "signups/SignupLists.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>

// Resources of a static library are registered by name, outside any namespace.
static void registerSignupIcons()
{
    Q_INIT_RESOURCE(signupicons);
}

namespace signups::ui {

namespace {

// Columns of the two lists that carry marks.
constexpr int kCompanyColumn = 0;
constexpr int kWebAccessColumn = 1;
constexpr int kContactColumn = 0;
constexpr int kStatusColumn = 5;

QString tipOf(const QString &mark)
{
    static const QHash<QString, QString> tips { { QStringLiteral("OnStop"), SignupListMarks::tr("On stop") },
        { QStringLiteral("Note"), SignupListMarks::tr("Has a note") },
        { QStringLiteral("Tagged"), SignupListMarks::tr("Web access enabled") },
        { QStringLiteral("Untagged"), SignupListMarks::tr("No web access") },
        { QStringLiteral("Chosen"), SignupListMarks::tr("The contact registered by this sign-up") },
        { QStringLiteral("Primary"), SignupListMarks::tr("Primary contact") },
        { QStringLiteral("Active"), SignupListMarks::tr("Active") },
        { QStringLiteral("Inactive"), SignupListMarks::tr("Not active") } };
    return tips.value(mark);
}

} // namespace

SignupListMarks::SignupListMarks(List list, QAbstractItemModel *source, QObject *parent)
    : QIdentityProxyModel(parent)
    , m_list(list)
{
    registerSignupIcons();
    setSourceModel(source);
}

QIcon SignupListMarks::mark(const QString &name)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        const QString path = QStringLiteral(":/signupicons/%1.svg").arg(name == QLatin1String("Chosen") ? QStringLiteral("Tagged") : name);
        it = cache.insert(name, QFile::exists(path) ? QIcon(path) : QIcon());
    }
    return it.value();
}

QIcon SignupListMarks::pair(const QString &first, const QString &second)
{
    static QHash<QString, QIcon> cache;
    const QString key = first + u'+' + second;
    auto it = cache.find(key);
    if (it == cache.end()) {
        QPixmap both(34, 16);
        both.fill(Qt::transparent);
        QPainter painter(&both);
        mark(first).paint(&painter, QRect(0, 0, 16, 16));
        mark(second).paint(&painter, QRect(18, 0, 16, 16));
        painter.end();
        it = cache.insert(key, QIcon(both));
    }
    return it.value();
}

QStringList SignupListMarks::marksOf(const QModelIndex &index) const
{
    QStringList marks;
    const QModelIndex source = mapToSource(index);
    const auto flag = [&source](int role) { return source.data(role).toBool(); };
    if (m_list == List::Clients) {
        if (index.column() == kCompanyColumn) {
            if (flag(ClientListModel::OnStopRole))
                marks << QStringLiteral("OnStop");
            if (flag(ClientListModel::HasNoteRole))
                marks << QStringLiteral("Note");
        } else if (index.column() == kWebAccessColumn) {
            marks << (flag(ClientListModel::WebEnabledRole) ? QStringLiteral("Tagged") : QStringLiteral("Untagged"));
        }
    } else {
        if (index.column() == kContactColumn) {
            if (flag(ContactListModel::TaggedRole))
                marks << QStringLiteral("Chosen");
            if (flag(ContactListModel::PrimaryRole))
                marks << QStringLiteral("Primary");
        } else if (index.column() == kStatusColumn) {
            marks << (flag(ContactListModel::ActiveRole) ? QStringLiteral("Active") : QStringLiteral("Inactive"));
        }
    }
    return marks;
}

QVariant SignupListMarks::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DecorationRole && role != Qt::ToolTipRole)
        return QIdentityProxyModel::data(index, role);
    const QStringList marks = marksOf(index);
    if (marks.isEmpty())
        return QIdentityProxyModel::data(index, role);
    if (role == Qt::ToolTipRole) {
        QStringList tips;
        for (const QString &m : marks)
            tips << tipOf(m);
        return tips.join(QStringLiteral(", "));
    }
    const QIcon icon = marks.size() == 1 ? mark(marks.first()) : pair(marks.at(0), marks.at(1));
    return icon.isNull() ? QVariant() : QVariant(icon);
}

} // namespace signups::ui
