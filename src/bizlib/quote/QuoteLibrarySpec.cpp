#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "bizlib/quote/SpecSections.h"
#include "bizlib/quote/SpecTabs.h"

#include <QHash>
#include <algorithm>

// QUOTE library: the quantity list with its rows, and the specification text with its tab texts.

namespace bizlib {

namespace {

QString quantityColumn(const char *name, int i)
{
    return PricingModel::column(QString::fromLatin1(name), i);
}

// Rows of `table` in the order of `keyName` whose key starts with `range`.
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

// What belongs to one quantity of a quote: the quantity, its text and its amounts.
const char *const kSlotFields[] = { "Quantity", "QuantityText", "TargetPrice", "CostTotal", "MarkupTotal",
    "SellingPrice", "TaxAmount", "Commission", "Weight" };

using QuantitySlot = QList<QVariant>; // in the order of kSlotFields

qint64 slotQuantity(const QuantitySlot &slot)
{
    return slot.at(0).toLongLong();
}

// The quote's list up to its first zero quantity.
QList<QuantitySlot> quantitySlots(const Record &quote)
{
    QList<QuantitySlot> list;
    for (int i = 1; i <= PricingModel::kQuantities && quote.toLong(quantityColumn("Quantity", i)) > 0; ++i) {
        QuantitySlot slot;
        for (const char *name : kSlotFields)
            slot << quote.value(quantityColumn(name, i));
        list << slot;
    }
    return list;
}

// Writes `list` as the quote's quantities; the places after it are cleared.
void setQuantitySlots(Record &quote, const QList<QuantitySlot> &list)
{
    for (int i = 1; i <= PricingModel::kQuantities; ++i) {
        if (i <= list.size()) {
            for (int f = 0; f < int(std::size(kSlotFields)); ++f)
                quote.setValue(quantityColumn(kSlotFields[f], i), list.at(i - 1).at(f));
            continue;
        }
        quote.setLong(quantityColumn("Quantity", i), 0);
        quote.setText(quantityColumn("QuantityText", i), QString());
        for (int f = 2; f < int(std::size(kSlotFields)); ++f)
            quote.setDecimal(quantityColumn(kSlotFields[f], i), Decimal());
    }
}

} // namespace

void QuoteLibrary::leadWithRequestedQuantity(Record &quote, const Record &source)
{
    const qint64 wanted = quote.toLong("Quantity1");
    const Decimal price = quote.decimal("SellingPrice1");
    const Decimal weight = quote.decimal("Weight1");
    QList<QuantitySlot> list = quantitySlots(source);
    if (wanted > 0) {
        QuantitySlot lead;
        for (const QuantitySlot &slot : std::as_const(list)) {
            if (slotQuantity(slot) == wanted) {
                lead = slot;
                break;
            }
        }
        if (lead.isEmpty()) {
            // A quantity the source does not price: no text and no amounts of its own yet.
            Record blank(quote.table());
            blank.setLong("Quantity1", wanted);
            lead = quantitySlots(blank).value(0);
        }
        list.removeIf([wanted](const QuantitySlot &slot) { return slotQuantity(slot) == wanted; });
        list.prepend(lead);
        list = list.mid(0, PricingModel::kQuantities);
    }
    setQuantitySlots(quote, list);
    if (wanted > 0 && !price.isZero())
        quote.setDecimal("TargetPrice1", price);
    if (wanted > 0 && !weight.isZero())
        quote.setDecimal("Weight1", weight);
}

Status QuoteLibrary::assignQuantities(Record &quote)
{
    Record q = quote;
    const qint32 quoteId = q.toLong("QuoteID");
    QList<QuantitySlot> list;
    for (const QuantitySlot &slot : quantitySlots(q)) {
        const qint64 quantity = slotQuantity(slot);
        if (std::any_of(
                list.cbegin(), list.cend(), [quantity](const QuantitySlot &s) { return slotQuantity(s) == quantity; }))
            continue;
        list << slot;
    }
    setQuantitySlots(q, list);
    const int n = int(list.size());
    for (int i = 1; i <= n; ++i) {
        if (q.text(quantityColumn("QuantityText", i)).trimmed().isEmpty())
            q.setText(quantityColumn("QuantityText", i), QString::number(q.toLong(quantityColumn("Quantity", i))));
    }
    if (q.toLong("QuantityIndex") > n)
        q.setLong("QuantityIndex", 0);

    Table rows(m_db, QStringLiteral("QuoteQuantities"));
    QList<Record> existing;
    Status st = readRange(rows, QStringLiteral("QUOTEIDKEY"), { quoteId }, &existing);
    if (!st)
        return st;
    QHash<int, Record> byIndex;
    for (const Record &r : existing)
        byIndex.insert(r.toLong("QuantityIndex"), r);

    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    bool changed = false;

    // The workings describe the first quantity they were last based on; follow a new one.
    const qint64 oldFirst = byIndex.contains(1) ? byIndex.value(1).toLong("Quantity") : 0;
    const qint64 newFirst = n > 0 ? q.toLong("Quantity1") : 0;
    if (oldFirst > 0 && newFirst > 0 && oldFirst != newFirst) {
        QList<Record> lines;
        st = readWorkings(quoteId, &lines);
        if (!st)
            return st;
        Table workings(m_db, QStringLiteral("QuoteWorkings"));
        for (Record &line : lines) {
            if (PricingModel::isFixed(line))
                continue;
            line.setDecimal(
                "Quantity", PricingModel::mulDiv(line.decimal("Quantity"), Decimal::fromInt(1), newFirst, oldFirst, 6));
            st = workings.update(line);
            if (!st)
                return st;
        }
        changed = true;
    }

    for (int i = 1; i <= n; ++i) {
        const qint64 quantity = q.toLong(quantityColumn("Quantity", i));
        const QString text = q.text(quantityColumn("QuantityText", i));
        if (byIndex.contains(i)) {
            Record row = byIndex.value(i);
            const Record before = row;
            if (row.toLong("Quantity") != quantity) {
                row.setLong("Quantity", quantity);
                row.setDecimal("PriceQuantity", Decimal::fromInt(quantity));
                changed = true;
            }
            row.setText("QuantityText", text);
            if (!(row == before)) {
                st = rows.update(row);
                if (!st)
                    return st;
            }
            continue;
        }
        Record row;
        st = rows.prime(row);
        if (!st)
            return st;
        row.setLong("QuoteID", quoteId);
        row.setLong("QuantityIndex", i);
        row.setLong("Quantity", quantity);
        row.setText("QuantityText", text);
        row.setText("UnitText", QStringLiteral("Each"));
        row.setDecimal("PriceQuantity", Decimal::fromInt(quantity));
        row.setDecimal("UnitQuantity", Decimal::fromInt(1));
        st = rows.insert(row);
        if (!st)
            return st;
        changed = true;
    }
    for (auto it = byIndex.cbegin(); it != byIndex.cend(); ++it) {
        if (it.key() > n) {
            st = rows.remove(it.value());
            if (!st)
                return st;
            changed = true;
        }
    }
    st = tx.commit();
    if (!st)
        return st;
    if (changed)
        q.setLong("Calculate", 1);
    quote = q;
    return Status::ok();
}

Status QuoteLibrary::assignQuoteSpec(Record &quote)
{
    Table specs(m_db, QStringLiteral("SpecTexts"));
    Record spec = specs.newRecord();
    const Status st = specs.fetch(QStringLiteral("QUOTEIDKEY"), { quote.toLong("QuoteID") }, spec);
    if (st.isError())
        return st;
    const FieldDef *field = quote.table().field(QStringLiteral("Spec"));
    quote.setText("Spec", st ? SpecSections::summary(spec, field->maxChars()) : QString());
    return Status::ok();
}

Status QuoteLibrary::syncQuoteSpec(const Record &quote)
{
    return syncSpecTabs(m_db, QStringLiteral("QuoteID"), quote.toLong("QuoteID"));
}

Status syncSpecTabs(Database &db, const QString &ownerField, qint32 ownerId)
{
    const QString ownerKey = ownerField.toUpper() + QStringLiteral("KEY");
    const QString tabKey = ownerField.toUpper() + QStringLiteral("TABIDKEY");
    Table specs(db, QStringLiteral("SpecTexts"));
    Record spec = specs.newRecord();
    Status st = specs.fetch(ownerKey, { ownerId }, spec);
    if (st.isError())
        return st;
    const bool haveSpec = st.isOk();

    Table tabs(db, QStringLiteral("Tabs"));
    QList<Record> allTabs;
    st = readRange(tabs, QStringLiteral("TABIDKEY"), {}, &allTabs);
    if (!st)
        return st;

    Table texts(db, QStringLiteral("TabTexts"));
    Transaction tx(db);
    if (!tx.status())
        return tx.status();
    // The owner's tab texts in one read, by tab, in key order.
    QList<Record> ownRows;
    st = readRange(texts, tabKey, { ownerId }, &ownRows);
    if (!st)
        return st;
    QHash<qint32, QList<Record>> byTab;
    for (const Record &row : std::as_const(ownRows))
        byTab[row.toLong("TabID")].append(row);
    for (const Record &tab : allTabs) {
        if (tab.toLong("SpecSection") != 1)
            continue;
        const QString section = SpecSections::sectionForTab(tab.text("Name"));
        if (section.isEmpty())
            continue;
        const QString text = haveSpec ? spec.text(section) : QString();
        const qint32 tabId = tab.toLong("TabID");
        QList<Record> rows = byTab.value(tabId);
        int keep = 0; // rows kept on this tab
        if (!text.trimmed().isEmpty()) {
            if (rows.isEmpty()) {
                Record row;
                st = texts.prime(row);
                if (!st)
                    return st;
                row.setLong(ownerField, ownerId);
                row.setLong("TabID", tabId);
                row.setText("Text", text);
                st = texts.insert(row);
            } else if (rows.first().text("Text") != text) {
                rows.first().setText("Text", text);
                st = texts.update(rows.first());
            }
            if (!st)
                return st;
            keep = 1;
        }
        for (int i = keep; i < rows.size(); ++i) {
            st = texts.remove(rows[i]);
            if (!st)
                return st;
        }
    }
    return tx.commit();
}

} // namespace bizlib
