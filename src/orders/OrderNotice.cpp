#include "orders/OrderNotice.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

namespace orders {

namespace {

// "2.5" for 2.500000, "10" for 10.000000.
QString plainQuantity(const bizlib::Decimal &quantity)
{
    QString text = quantity.toString();
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

} // namespace

QString OrderNotice::text(
    const bizlib::Record &order, const bizlib::Record &client, const QList<bizlib::Record> &materialItems)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString clientName = client.isValid() ? client.text("Name").trimmed() : QString();
    QString t = QStringLiteral("Notification of web order processing: ") + crlf + crlf;
    t += QStringLiteral("Client: ") + clientName + QStringLiteral(" - ") + order.text("Contact").trimmed() + crlf;
    t += QStringLiteral("Web-ref: ") + QString::number(order.toLong("WebID")) + crlf;
    t += QStringLiteral("Job-ref: ") + QString::number(order.toLong("JobNo")) + crlf;
    t += QStringLiteral("Order-no: ") + order.text("OrderNo").trimmed() + crlf;
    t += QStringLiteral("Quote-no: ") + QString::number(order.toLong("QuoteNo")) + order.text("QuoteRevision").trimmed()
        + crlf;
    t += QStringLiteral("Quantity: ") + order.text("Quantity").trimmed() + crlf;
    t += QStringLiteral("Title: ") + order.text("Title").trimmed() + crlf;
    if (order.text("OrderType").trimmed().compare(QLatin1String("Product"), Qt::CaseInsensitive) == 0) {
        for (const bizlib::Record &item : materialItems) {
            t += crlf + plainQuantity(item.decimal("Quantity")) + QLatin1Char('\t') + QStringLiteral(" x ")
                + item.text("Code").trimmed() + QStringLiteral(" - ") + item.text("Description").trimmed();
        }
    }
    return t.left(kMaxLength);
}

bizlib::Status OrderNotice::materialItems(bizlib::Database &db, qint32 orderId, QList<bizlib::Record> *items)
{
    items->clear();
    bizlib::Table table(db, QStringLiteral("OrderItems"));
    bizlib::TableCursor cursor(table, QStringLiteral("ORDERTYPECODEKEY"));
    cursor.setRange({ orderId, QStringLiteral("M") });
    bizlib::Record row;
    bizlib::Status st;
    while ((st = cursor.next(row)))
        items->append(row);
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

} // namespace orders
