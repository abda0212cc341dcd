#include "console/general/NoteListModel.h"

#include "console/Columns.h"

#include <QRegularExpression>

namespace console {

namespace {

std::unique_ptr<ListQuery> noteQuery(bizlib::Database &db)
{
    auto q = std::make_unique<ListQuery>(db, QStringLiteral("WebNotes"), QStringLiteral("ORDERIDKEY"));
    q->setClosed(true);
    return q;
}

QList<ListColumn> noteColumns()
{
    ListColumn notes = Columns::text(QStringLiteral("Notes"), QStringLiteral("WNTE:Notes"), 255);
    // A note runs over several lines; the list shows them as one.
    notes.text = [](const ListRow &r) {
        static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
        return r.record.text("Notes").left(255).replace(lineBreaks, QStringLiteral(" ")).trimmed();
    };
    return {
        Columns::text(QStringLiteral("Subject"), QStringLiteral("WNTE:Subject"), 60),
        Columns::text(QStringLiteral("Class"), QStringLiteral("WNTE:Class"), 20),
        notes,
    };
}

} // namespace

NoteListModel::NoteListModel(bizlib::Database &db, QObject *parent)
    : JoinedListModel(noteQuery(db), noteColumns(), kStripe, parent)
{ }

void NoteListModel::setRequest(const RequestRef &request)
{
    m_request = request;
    ListQuery &q = query();
    q.setKey(request.kind == RequestRef::Kind::Quote ? QStringLiteral("QUOTEIDKEY") : QStringLiteral("ORDERIDKEY"));
    q.setClosed(!request.isSet());
    q.setRange(request.isSet() ? QVariantList { request.id } : QVariantList {});
}

} // namespace console
