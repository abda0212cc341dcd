#pragma once

#include "bizlib/Clock.h"
#include "bizlib/Table.h"

#include <QDate>
#include <functional>
#include <gtest/gtest.h>

namespace consoletest {

// Adds rows to the business database for the list tests: each helper numbers the row from its
// table's counter, lets the caller fill it, inserts it and returns its identifier.
inline qint32 addRow(bizlib::Database &db, const QString &table, const std::function<void(bizlib::Record &)> &fill)
{
    bizlib::Table t(db, table);
    bizlib::Record r;
    EXPECT_TRUE(t.prime(r).isOk());
    if (fill)
        fill(r);
    const bizlib::Status st = t.insert(r);
    EXPECT_TRUE(st.isOk()) << st.message().toStdString();
    const int autoField = t.def().autoNumberField;
    return autoField >= 0 ? r.toLong(autoField) : 0;
}

inline qint32 addClient(bizlib::Database &db, const QString &name, const QString &manager, qint32 domainId = 0)
{
    return addRow(db, QStringLiteral("Clients"), [&](bizlib::Record &r) {
        r.setText("Name", name);
        r.setText("Code", name.left(6).toUpper());
        r.setText("Manager", manager);
        r.setText("Rep", QStringLiteral("RP"));
        r.setLong("DomainID", domainId);
    });
}

inline qint32 addQuote(bizlib::Database &db, qint32 number, qint32 clientId,
    const QString &status = QStringLiteral("Pending"), const std::function<void(bizlib::Record &)> &more = {})
{
    return addRow(db, QStringLiteral("WebQuotes"), [&](bizlib::Record &r) {
        r.setLong("Number", number);
        r.setLong("WebID", 50000 + number);
        r.setLong("ClientID", clientId);
        r.setText("Title", QStringLiteral("Quote %1").arg(number));
        r.setText("Status", status);
        r.setLong("CreatedOn", bizlib::DateTime::fromDate(QDate(2026, 3, 14)));
        r.setLong("CreatedAt", bizlib::DateTime::fromTime(QTime(9, 30)));
        if (more)
            more(r);
    });
}

inline qint32 addOrder(bizlib::Database &db, qint32 number, qint32 clientId,
    const QString &status = QStringLiteral("Pending"), const std::function<void(bizlib::Record &)> &more = {})
{
    return addRow(db, QStringLiteral("WebOrders"), [&](bizlib::Record &r) {
        r.setLong("Number", number);
        r.setLong("WebID", 70000 + number);
        r.setLong("ClientID", clientId);
        r.setText("Name", QStringLiteral("Client of order %1").arg(number));
        r.setText("Title", QStringLiteral("Order %1").arg(number));
        r.setText("OrderType", QStringLiteral("Product"));
        r.setText("Status", status);
        if (more)
            more(r);
    });
}

inline qint32 addSignup(bizlib::Database &db, const QString &name, const QString &status, const QString &source,
    const std::function<void(bizlib::Record &)> &more = {})
{
    return addRow(db, QStringLiteral("WebSignup"), [&](bizlib::Record &r) {
        r.setText("FullName", name);
        r.setText("Status", status);
        r.setText("Source", source);
        r.setLong("SignupDate", bizlib::DateTime::fromDate(QDate(2026, 3, 1)));
        if (more)
            more(r);
    });
}

} // namespace consoletest
