#include "orders/OrderQuoteMerge.h"

#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/order/OrderLibrary.h"
#include "bizlib/quote/PricingModel.h"

#include <algorithm>

namespace orders {

using bizlib::Decimal;
using bizlib::Record;
using bizlib::Status;

namespace {

// What belongs to one quantity of a quote.
const char *const kSlotFields[] = { "Quantity", "QuantityText", "TargetPrice", "CostTotal", "MarkupTotal",
    "SellingPrice", "TaxAmount", "Commission", "Weight" };
constexpr int kQuantities = bizlib::PricingModel::kQuantities;

QString column(const char *name, int i)
{
    return bizlib::PricingModel::column(QString::fromLatin1(name), i);
}

} // namespace

int OrderQuoteMerge::mergeQuantity(Record &quote, qint64 quantity, const QString &text, bool *changed)
{
    *changed = false;
    QList<QList<QVariant>> list;
    for (int i = 1; i <= kQuantities; ++i) {
        const qint64 q = quote.toLong(column("Quantity", i));
        if (q == 0)
            break;
        if (q == quantity) {
            quote.setLong("QuantityIndex", i);
            return i;
        }
        QList<QVariant> slot;
        for (const char *f : kSlotFields)
            slot << quote.value(column(f, i));
        list << slot;
    }
    Record blank(quote.table());
    QList<QVariant> added;
    for (const char *f : kSlotFields)
        added << blank.value(column(f, 1));
    added[0] = quantity;
    added[1] = text;
    list << added;
    std::stable_sort(list.begin(), list.end(),
        [](const QList<QVariant> &a, const QList<QVariant> &b) { return a[0].toLongLong() < b[0].toLongLong(); });
    if (list.size() > kQuantities) {
        if (list.last()[0].toLongLong() == quantity)
            list[kQuantities - 1] = list.last();
        list.resize(kQuantities);
    }
    int place = 0;
    for (int i = 1; i <= kQuantities; ++i) {
        const QList<QVariant> slot = i <= list.size() ? list[i - 1] : QList<QVariant>();
        for (int f = 0; f < int(std::size(kSlotFields)); ++f)
            quote.setValue(column(kSlotFields[f], i), slot.isEmpty() ? blank.value(column(kSlotFields[f], i)) : slot[f]);
        if (!slot.isEmpty() && slot[0].toLongLong() == quantity)
            place = i;
    }
    quote.setLong("QuantityIndex", place);
    *changed = true;
    return place;
}

Decimal OrderQuoteMerge::extraMarkup(const Decimal &net, const Decimal &price)
{
    if (price.isZero())
        return Decimal();
    return (net - price).divided(price, 6) * Decimal::fromInt(100);
}

Status OrderQuoteMerge::carryExtras(
    bizlib::Database &db, qint32 orderId, qint32 quoteId, const QString &voucherCode, int *carried)
{
    if (carried)
        *carried = 0;
    QList<Record> items;
    Status st = bizlib::OrderLibrary(db, {}).items(orderId, &items);
    if (!st)
        return st;
    bizlib::Table workings(db, QStringLiteral("QuoteWorkings"));
    qint32 sequence = 0; // the extras go after the quote's own lines
    {
        bizlib::TableCursor cursor(workings, QStringLiteral("QUOTEIDKEY"));
        cursor.setRange({ quoteId });
        Record row;
        while ((st = cursor.next(row)))
            sequence = qMax(sequence, row.toLong("Sequence"));
        if (!st.isNotFound())
            return st;
    }
    bizlib::Table orderItems(db, QStringLiteral("OrderItems"));
    bizlib::Transaction tx(db);
    if (!tx.status())
        return tx.status();
    int count = 0;
    const QString voucher = voucherCode.trimmed();
    for (const Record &item : std::as_const(items)) {
        const bool voucherOfValue
            = !voucher.isEmpty() && item.text("Code").trimmed() == voucher && !item.decimal("Net").isZero();
        if (item.toLong("FixedCharge2") != 1 && !voucherOfValue)
            continue;
        Record line;
        if (st = workings.prime(line); !st)
            return st;
        const qint32 lineId = line.toLong("WorkingID");
        line.copyMatching(item);
        line.setLong("WorkingID", lineId);
        line.setLong("QuoteID", quoteId);
        line.setLong("Sequence", sequence + (++count));
        line.setText("Category", item.text("Type").trimmed() == QLatin1String("O") ? QStringLiteral("Adhoc")
                                                                                    : QStringLiteral("User"));
        line.setDecimal("Quantity", Decimal::fromInt(1));
        line.setDecimal("SellingPrice", item.decimal("Net"));
        line.setDecimal("MarkupPercent", extraMarkup(item.decimal("Net"), item.decimal("Cost")));
        line.setText("CostCode", QStringLiteral("NONE"));
        line.setLong("FixedCharge", item.toLong("FixedCharge2") == 1 || item.toLong("FixedCharge1") == 1 ? 1 : 0);
        if (st = workings.insert(line); !st)
            return st;
        if (st = orderItems.remove(item); !st)
            return st;
    }
    if (st = tx.commit(); !st)
        return st;
    if (carried)
        *carried = count;
    return Status::ok();
}

} // namespace orders
