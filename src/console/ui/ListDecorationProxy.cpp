#include "console/ui/ListDecorationProxy.h"

#include "console/JoinedListModel.h"

#include <QFile>

namespace console::ui {

ListDecorationProxy::ListDecorationProxy(QAbstractItemModel *source, QObject *parent)
    : QIdentityProxyModel(parent)
{
    setSourceModel(source);
}

QIcon ListDecorationProxy::icon(const QString &name)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        const QString path = QStringLiteral(":/listicons/%1.svg").arg(name);
        it = cache.insert(name, QFile::exists(path) ? QIcon(path) : QIcon());
    }
    return it.value();
}

QVariant ListDecorationProxy::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DecorationRole) {
        const QString name = QIdentityProxyModel::data(index, JoinedListModel::IconRole).toString();
        if (name.isEmpty())
            return {};
        const QIcon i = icon(name);
        return i.isNull() ? QVariant() : QVariant(i);
    }
    return QIdentityProxyModel::data(index, role);
}

} // namespace console::ui
