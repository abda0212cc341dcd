#pragma once

#include <QHash>
#include <QIcon>
#include <QIdentityProxyModel>

namespace console::ui {

// Shows a list model's icons: the icon names the model gives under JoinedListModel::IconRole
// become the pictures of the "listicons" resource (":/listicons/<name>.svg") as the cells'
// decoration. Everything else passes through unchanged.
class ListDecorationProxy : public QIdentityProxyModel
{
    Q_OBJECT

public:
    explicit ListDecorationProxy(QAbstractItemModel *source, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The picture of a list icon (a null icon for an unknown name).
    static QIcon icon(const QString &name);
};

} // namespace console::ui
