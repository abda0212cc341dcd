#pragma once

#include <QIcon>
#include <QIdentityProxyModel>

namespace signups::ui {

// The marks of the wizard's two lists, drawn from the roles of their models (which hold no
// pictures): in the client list the company carries a no-entry mark when the client is on stop
// and a note mark when it has a note, and "Web access" a tagged or untagged mark; in the contact
// list the contact carries a tagged mark when it is the one chosen for the sign-up and a star
// when it is the client's primary contact, and "Status" an active or inactive mark. Each mark has
// a tool tip that says what it means.
class SignupListMarks : public QIdentityProxyModel
{
    Q_OBJECT

public:
    enum class List { Clients, Contacts };

    SignupListMarks(List list, QAbstractItemModel *source, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The mark's picture; a null icon when the program's resources lack it.
    static QIcon mark(const QString &name);

private:
    // Two marks side by side in one picture (the company on stop and with a note).
    static QIcon pair(const QString &first, const QString &second);
    QStringList marksOf(const QModelIndex &index) const;

    List m_list;
};

} // namespace signups::ui
