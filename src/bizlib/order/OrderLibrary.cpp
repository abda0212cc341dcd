#include "bizlib/order/OrderLibrary.h"

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/quote/SpecSections.h"
#include "bizlib/quote/SpecTabs.h"

#include <QHash>

namespace bizlib {

namespace {

const QString kOrders = QStringLiteral("Orders");
const QString kItems = QStringLiteral("OrderItems");

Status readRange(Table &table, const QString &keyName, const QVariantList &range, QList<Record> *rows)
{
    rows->clear();
    TableCursor cursor(table, keyName);
    cursor.setRange(range);
    Record row;
    Status st;
    while ((st = cursor.next(row)))
        rows->append(row);
    return st.isNotFound() ? Status::ok() : st;
}

// The header fields a repeat does not take from the order it repeats: who and what it is.
bool isIdentityField(const QString &name)
{
    static const QStringList fields { QStringLiteral("OrderID"), QStringLiteral("JobNo"), QStringLiteral("Status"),
        QStringLiteral("CreatedOn"), QStringLiteral("CreatedAt"), QStringLiteral("CreatedBy"), QStringLiteral("QuoteID"),
        QStringLiteral("QuoteNo"), QStringLiteral("QuoteRevision"), QStringLiteral("NoteID"),
        QStringLiteral("OrderSequence"), QStringLiteral("ItemNumber"), QStringLiteral("PreviousID") };
    return fields.contains(name, Qt::CaseInsensitive);
}

} // namespace

QString OrderLibrary::resourceIdField(const QString &type)
{
    if (type == QLatin1String("M"))
        return QStringLiteral("MaterialID");
    if (type == QLatin1String("L"))
        return QStringLiteral("LabourID");
    if (type == QLatin1String("O"))
        return QStringLiteral("OutworkID");
    return {};
}

QString OrderLibrary::resourceTable(const QString &type)
{
    if (type == QLatin1String("M"))
        return QStringLiteral("Materials");
    if (type == QLatin1String("L"))
        return QStringLiteral("Labour");
    if (type == QLatin1String("O"))
        return QStringLiteral("Outwork");
    return {};
}

OrderLibrary::OrderLibrary(Database &db, const Session &session)
    : m_db(db)
    , m_session(session)
{ }

NumberCounter OrderLibrary::jobNumbers(Database &db)
{
    return NumberCounter(
        db, QStringLiteral("LastJobNo"), QStringLiteral("Orders"), QStringLiteral("JobNo"), QStringLiteral("job number"));
}

Status OrderLibrary::assignJobNumber(Record &order)
{
    if (order.toLong("JobNo") > 0)
        return Status::ok();
    qint32 number = 0;
    const Status st = jobNumbers(m_db).take(&number);
    if (st)
        order.setLong("JobNo", number);
    return st;
}

Status OrderLibrary::releaseJobNumber(qint32 number)
{
    return jobNumbers(m_db).release(number);
}

Status OrderLibrary::items(qint32 orderId, QList<Record> *items)
{
    Table table(m_db, kItems);
    return readRange(table, QStringLiteral("ORDERIDKEY"), { orderId }, items);
}

Status OrderLibrary::copyRows(const QString &tableName, const QString &keyName, qint32 sourceId, qint32 targetId,
    const std::function<void(Record &)> &adjust)
{
    Table table(m_db, tableName);
    QList<Record> rows;
    Status st = readRange(table, keyName, { sourceId }, &rows);
    if (!st)
        return st;
    const int autoField = table.def().autoNumberField;
    for (const Record &row : std::as_const(rows)) {
        Record copy;
        if (st = table.prime(copy); !st)
            return st;
        const qint32 id = copy.toLong(autoField);
        copy = row;
        copy.setLong(autoField, id);
        copy.setLong("OrderID", targetId);
        if (adjust)
            adjust(copy);
        if (st = table.insert(copy); !st)
            return Status::error(
                QStringLiteral("Copying %1 of order %2 failed: %3").arg(tableName).arg(sourceId).arg(st.message()));
    }
    return Status::ok();
}

Status OrderLibrary::copyItems(qint32 sourceId, qint32 targetId, QHash<qint32, qint32> *newIds)
{
    Table table(m_db, kItems);
    QList<Record> rows;
    Status st = readRange(table, QStringLiteral("ORDERIDKEY"), { sourceId }, &rows);
    if (!st)
        return st;
    QList<Record> copies;
    for (const Record &row : std::as_const(rows)) {
        Record copy;
        if (st = table.prime(copy); !st)
            return st;
        const qint32 id = copy.toLong("OrderItemID");
        copy = row;
        copy.setLong("OrderItemID", id);
        copy.setLong("OrderID", targetId);
        newIds->insert(row.toLong("OrderItemID"), id);
        copies.append(copy);
    }
    // Children point at their copied parents; a parent outside the order loses the link.
    for (Record &copy : copies) {
        const qint32 parent = copy.toLong("ParentItemID");
        if (parent != 0)
            copy.setLong("ParentItemID", newIds->value(parent, 0));
        if (st = table.insert(copy); !st)
            return Status::error(
                QStringLiteral("Copying the items of order %1 failed: %2").arg(sourceId).arg(st.message()));
    }
    return Status::ok();
}

Status OrderLibrary::copyOrder(qint32 sourceId, Record &target, const CopyOptions &options, bool *quoted)
{
    const qint32 targetId = target.toLong("OrderID");
    if (targetId <= 0 || targetId == sourceId)
        return Status::error(QStringLiteral("Order %1 cannot be copied onto order %2.").arg(sourceId).arg(targetId));
    Table orders(m_db, kOrders);
    Record source = orders.newRecord();
    const Status found = orders.fetch(QStringLiteral("ORDERIDKEY"), { sourceId }, source);
    if (found.isNotFound())
        return Status::notFound(QStringLiteral("Order %1 does not exist.").arg(sourceId));
    if (!found)
        return found;

    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    QHash<qint32, qint32> newItems;
    Status st = Status::ok();
    if (options.items)
        st = copyItems(sourceId, targetId, &newItems);
    if (st && options.spec)
        st = copyRows(QStringLiteral("SpecTexts"), QStringLiteral("ORDERIDKEY"), sourceId, targetId,
            [](Record &r) { r.setLong("QuoteID", 0); });
    if (st && options.spec)
        st = copyRows(QStringLiteral("TabTexts"), QStringLiteral("ORDERIDTABIDKEY"), sourceId, targetId, [](Record &r) {
            r.setLong("QuoteID", 0);
            r.setLong("WebQuoteID", 0);
            r.setLong("WebOrderID", 0);
        });
    const auto ownedByOrder = [targetId](Record &r) {
        r.setLong("QuoteID", 0);
        r.setText("ParentType", QStringLiteral("ORD"));
        r.setLong("ParentID", targetId);
    };
    if (st && options.notes)
        st = copyRows(QStringLiteral("Notes"), QStringLiteral("ORDERIDKEY"), sourceId, targetId, ownedByOrder);
    if (st && options.attachments)
        st = copyRows(QStringLiteral("Attachments"), QStringLiteral("ORDERIDKEY"), sourceId, targetId,
            [&ownedByOrder, &newItems](Record &r) {
                ownedByOrder(r);
                r.setLong("OrderItemID", newItems.value(r.toLong("OrderItemID"), 0));
            });
    if (!st)
        return st;
    if (st = tx.commit(); !st)
        return st;

    for (int i = 0; i < source.fieldCount(); ++i) {
        const QString name = source.table().fields.at(i).name;
        if (!isIdentityField(name))
            target.setValue(i, source.valueAt(i));
    }
    if (quoted)
        *quoted = source.toLong("QuoteID") != 0;
    return Status::ok();
}

Status OrderLibrary::assignOrderItem(const QString &type, Record &item, const Record &resource)
{
    const QString idField = resourceIdField(type.trimmed());
    if (idField.isEmpty() || !resource.isValid())
        return Status::notFound();
    item.setText("Type", type.trimmed());
    item.setLong(idField, resource.toLong(idField));
    item.setText("Code", resource.text("Code"));
    item.setText("Description", resource.text("Description"));
    item.setText("TaxCode", resource.text("TaxCode"));
    if (type.trimmed() == QLatin1String("L")) {
        item.setDecimal("UnitCost", resource.decimal("CostRate"));
        item.setDecimal("UnitPrice", resource.decimal("SellRate"));
    } else {
        item.setDecimal("UnitCost", resource.decimal("UnitCost"));
        item.setDecimal("UnitPrice", resource.decimal("UnitPrice"));
    }
    return Status::ok();
}

Status OrderLibrary::assignOrderSpec(Record &order)
{
    Table specs(m_db, QStringLiteral("SpecTexts"));
    Record spec = specs.newRecord();
    const Status st = specs.fetch(QStringLiteral("ORDERIDKEY"), { order.toLong("OrderID") }, spec);
    if (st.isError())
        return st;
    const FieldDef *field = order.table().field(QStringLiteral("Spec"));
    order.setText("Spec", st ? SpecSections::summary(spec, field->maxChars()) : QString());
    return Status::ok();
}

Status OrderLibrary::syncOrderSpec(const Record &order)
{
    return syncSpecTabs(m_db, QStringLiteral("OrderID"), order.toLong("OrderID"));
}

Status OrderLibrary::addChildItems(const Record &order, const Record &parent, int *added)
{
    if (added)
        *added = 0;
    const qint32 orderId = order.toLong("OrderID");
    const QString type = parent.text("Type").trimmed();
    const QString idField = resourceIdField(type);
    if (idField.isEmpty())
        return Status::ok();
    Table links(m_db, QStringLiteral("ResourceLinks"));
    QList<Record> children;
    Status st = readRange(links, QStringLiteral("PARENTKEY"), { type, parent.toLong(idField) }, &children);
    if (!st || children.isEmpty())
        return st;
    QList<Record> existing;
    if (st = items(orderId, &existing); !st)
        return st;
    qint32 sequence = 0;
    for (const Record &r : std::as_const(existing))
        sequence = qMax(sequence, r.toLong("Sequence"));

    MainLibrary main(m_db);
    Table table(m_db, kItems);
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    int count = 0;
    for (const Record &link : std::as_const(children)) {
        const QString childType = link.text("ChildType").trimmed();
        const QString childTable = resourceTable(childType);
        if (childTable.isEmpty())
            continue;
        Table resources(m_db, childTable);
        Record resource = resources.newRecord();
        st = resources.fetch(resources.def().primary().name, { link.toLong("ChildResourceID") }, resource);
        if (st.isNotFound())
            continue;
        if (!st)
            return st;
        Record item;
        if (st = table.prime(item); !st)
            return st;
        assignOrderItem(childType, item, resource);
        item.setLong("OrderID", orderId);
        item.setLong("ParentItemID", parent.toLong("OrderItemID"));
        item.setLong("Sequence", ++sequence);
        item.setLong("LineNo", sequence);
        const Decimal quantity = link.decimal("Quantity") * parent.decimal("Quantity");
        item.setDecimal("Quantity", quantity);
        item.setDecimal("Net", quantity * item.decimal("UnitPrice"));
        item.setDecimal("Cost", quantity * item.decimal("UnitCost"));
        params::TaxAmounts tax;
        st = main.calcTax(item.text("TaxCode"), item.decimal("Net"), false, &tax);
        if (st.isError())
            return st;
        // An unknown tax code is no reason to leave a child out; it carries no tax then.
        for (const char *f : { "LTaxRate", "GTaxRate", "TaxRate", "LTax", "GTax", "Tax" })
            item.setDecimal(QString::fromLatin1(f), tax.decimal(f));
        item.setDecimal("Gross", item.decimal("Net") + item.decimal("Tax"));
        if (st = table.insert(item); !st)
            return st;
        ++count;
    }
    if (st = tx.commit(); !st)
        return st;
    if (added)
        *added = count;
    return Status::ok();
}

Status OrderLibrary::removeOrder(qint32 orderId)
{
    if (orderId <= 0)
        return Status::error(QStringLiteral("There is no order %1 to remove.").arg(orderId));
    Table orders(m_db, kOrders);
    Record order = orders.newRecord();
    order.setLong("OrderID", orderId);
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    Status st = orders.removeRelatedRows(order);
    if (st) {
        st = orders.remove(order);
        if (st.isNotFound())
            st = Status::ok();
    }
    return st ? tx.commit() : st;
}

} // namespace bizlib
