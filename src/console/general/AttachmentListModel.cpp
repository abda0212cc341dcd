#include "console/general/AttachmentListModel.h"

#include "console/Columns.h"
#include "console/general/ListIcons.h"

namespace console {

namespace {

std::unique_ptr<ListQuery> attachmentQuery(bizlib::Database &db)
{
    auto q = std::make_unique<ListQuery>(db, QStringLiteral("WebAttachments"), QStringLiteral("ORDERIDKEY"));
    q->setClosed(true);
    return q;
}

QList<ListColumn> attachmentColumns()
{
    ListColumn source
        = Columns::text(QStringLiteral("Attachment filename/url"), QStringLiteral("WATT:SourceName"), 255);
    source.icon = [](const ListRow &r) { return r.record.toLong("Artwork") == 1 ? ListIcons::Mouse : QString(); };
    source.tip = [](const ListRow &r) { return r.record.text("SourceName").trimmed(); };
    return {
        source,
        Columns::iconWhenSet(QStringLiteral("Artwork?"), QStringLiteral("WATT:Artwork"), ListIcons::TagOne),
        Columns::iconWhenSet(QStringLiteral("Output?"), QStringLiteral("WATT:Output"), ListIcons::TagOne),
        Columns::iconWhenSet(QStringLiteral("UseSource?"), QStringLiteral("WATT:UseSource"), ListIcons::TagOne),
    };
}

} // namespace

AttachmentListModel::AttachmentListModel(bizlib::Database &db, QObject *parent)
    : JoinedListModel(attachmentQuery(db), attachmentColumns(), kStripe, parent)
{ }

void AttachmentListModel::setRequest(const RequestRef &request)
{
    m_request = request;
    ListQuery &q = query();
    q.setKey(request.kind == RequestRef::Kind::Quote ? QStringLiteral("QUOTEIDKEY") : QStringLiteral("ORDERIDKEY"));
    q.setClosed(!request.isSet());
    q.setRange(request.isSet() ? QVariantList { request.id } : QVariantList {});
}

} // namespace console
