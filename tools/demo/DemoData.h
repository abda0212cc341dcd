#pragma once

#include "DemoCatalog.h"
#include "RowWriter.h"
#include "bizlib/Status.h"

#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>
#include <functional>
#include <map>
#include <memory>

namespace bizlib {
class Database;
}

namespace demo {

// Fills an empty business database with a small, realistic data set: the company, users with
// rights, clients with contacts and offices, reference data (tax rates, materials, labour,
// outwork, phrases ...), templates and previous quotes, and web requests of every kind.
// The same seed and the same day give the same data (every stamp is counted back from "today",
// which a test may fix with setToday()).
//
// fillBusiness() and fillWebRequests() write inside one transaction each (fillAll() runs both),
// addWebQuotes() and addWebOrders() one per batch of 2,000 requests: on failure nothing of that
// transaction stays, and the Status says which table and why. The business part must come
// before the web part, which reads the clients, quotes and resources back from the database.
//
// The demo users' log-on credential: USR:PasswordSalt is 16 bytes as 32 hexadecimal digits (from
// the seeded generator, so a seed gives the same rows) and USR:PasswordHash the program's own
// password hash of kDemoPassword with that salt, so the users log on like any other.
class DemoData
{
public:
    static constexpr const char *kDemoPassword = "demo";
    static constexpr const char *kCompanyName = "Northgate Print Ltd";

    explicit DemoData(bizlib::Database &db, quint32 seed = 20261207);

    // The last day of the two weeks the web requests are spread over (default: the current date).
    void setToday(const QDate &today) { m_today = today; }

    bizlib::Status fillAll();

    bizlib::Status fillBusiness(); // company, users, clients, reference data, quotes
    bizlib::Status fillWebRequests(); // web quotes, orders, items, attachments, notes, sign-ups, webtasks

    // Adds `count` pending web quote requests (numbers after the existing ones), in batches.
    bizlib::Status addWebQuotes(int count);
    bizlib::Status addWebOrders(int count);

    // The salted hash stored for `password` with `salt` (see above).
    static QString passwordHash(const QString &salt, const QString &password);

private:
    // Adds `count` pending requests to `table` in batches, numbered after the existing ones.
    bizlib::Status addExtraRequests(int count, const QString &table, const QString &what,
        const std::function<void(int index, qint32 number, qint32 webId, const QDateTime &received)> &add);
    // Runs `steps` in one transaction; a thrown failure rolls back and becomes the Status.
    bizlib::Status inTransaction(const std::function<void()> &steps);

    // DemoReference.cpp
    void addCountriesAndMoney();
    void addPlacesAndDomains();
    void addUsers();
    void addPhrasesAndOptions();
    void addReportsAndTabs();
    void addSystemRecords();
    // DemoResources.cpp
    void addResources();
    void addPricing();
    // DemoClients.cpp
    void addClients();
    // DemoQuotes.cpp
    void addQuotes();
    void addPreviousOrders();
    // DemoWebQuotes.cpp: `pattern` picks one of the sample requests (any number; it wraps round).
    // An `extra` request (speed tests) goes to a client picked at random and has its number in
    // its title; it is never claimed.
    void addWebQuoteRequests();
    void addWebQuote(int pattern, bool extra, qint32 number, qint32 webId, const QDateTime &received);
    // DemoWebOrders.cpp: `signupId` > 0 makes a B2C order for that sign-up.
    void addWebOrderRequests();
    void addWebOrder(int pattern, bool extra, qint32 number, qint32 webId, const QDateTime &received, qint32 signupId);
    // DemoSignups.cpp
    void addSignups();
    void addWebTasks();

    // Web note and attachments of a quote request (ownerType "QTE") or web order ("ORD").
    qint32 addWebNote(const QString &ownerType, qint32 ownerId, const QString &subject, const QString &cls,
        const QString &text, const QDateTime &written);
    void addWebAttachment(const QString &ownerType, qint32 ownerId, qint32 webId, const QString &sourceFile,
        bool artwork, qint32 orderItemId = 0);

    // `count` moments within the last `days` days (working hours), oldest first.
    QList<QDateTime> spreadOverDays(int count, int days);
    qint32 daysAgo(int days) const;
    int roll(int bound) { return static_cast<int>(m_rng.bounded(bound)); }
    // The largest value of an integer column (0 for an empty table).
    qint32 maxOf(const QString &table, const QString &field);
    // One writer per table, kept so that its prepared statements are reused.
    RowWriter &writer(const QString &table);

    bizlib::Database &m_db;
    QRandomGenerator m_rng;
    QDate m_today;
    DemoCatalog m_catalog;
    QList<qint32> m_b2cSignups; // sign-ups waiting for their B2C web order, in order
    qint32 m_acceptedSignup = 0;
    qint32 m_rejectedSignup = 0;
    std::map<QString, std::unique_ptr<RowWriter>> m_writers;
};

} // namespace demo
