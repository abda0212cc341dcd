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
// The demo users' log-on credential: USR:PasswordHash is the program's own password hash of
// kDemoPassword with a salt of 16 bytes from the seeded generator (so a seed gives the same rows),
// so the users log on like any other.
class DemoData
{
public:
    static constexpr const char *kDemoPassword = "demo";
    static constexpr const char *kCompanyName = "Northgate Print Ltd";

    explicit DemoData(bizlib::Database &db, quint32 seed = 20261207);

    // The moment the data is made (default: now): every stamp of the samples lies before it, also
    // what follows a sample (a task's end, a sign-up's response), so nothing is dated in the future.
    // The web requests are spread over the two weeks up to its day.
    void setNow(const QDateTime &now)
    {
        m_now = now;
        m_today = now.date();
    }
    // The same for the last moment of `today`.
    void setToday(const QDate &today) { setNow(QDateTime(today, QTime(23, 59, 59))); }

    bizlib::Status fillAll();

    bizlib::Status fillBusiness(); // company, users, clients, reference data, quotes
    bizlib::Status fillWebRequests(); // web quotes, orders, items, attachments, notes, sign-ups, webtasks

    // Adds `count` pending web quote requests (numbers after the existing ones), in batches.
    bizlib::Status addWebQuotes(int count);
    // The same with only requests that name a template or a previous quote (website-priced), the
    // ones that automatic processing turns into quotes without a user.
    bizlib::Status addTemplateWebQuotes(int count);
    bizlib::Status addWebOrders(int count);
    // The same with one kind of product order only: three stock products (materials of type
    // "PO"), which become three business orders of one item each.
    bizlib::Status addThreeItemWebOrders(int count);

    // Requests that arrive while the demo web monitor runs, stored as the web monitor stores
    // them: status "Pending", a client and contact picked at random, numbered after every request
    // this database has had (nextNumbers()), received at `when`. Their attachments are real small
    // files (see setUploadFolder()), which they need.
    // Each call is one transaction (a request never shows without its items, notes or files'
    // rows); *id receives the new request's identifier.
    enum class QuoteKind { Template, Previous, Rfq };
    bizlib::Status addArrivingQuote(QuoteKind kind, const QDateTime &when, qint32 *id);
    // A product or a service order; `consumer` makes it a B2C order, stored together with the
    // consumer's own new sign-up.
    bizlib::Status addArrivingOrder(bool service, bool consumer, const QDateTime &when, qint32 *id);
    // A business (B2B) sign-up from the trade portal, by a person who has not signed up before.
    bizlib::Status addArrivingSignup(const QDateTime &when, qint32 *id);
    // With an upload folder, every attachment (of the samples, extra and arriving requests) is a
    // real small file of its kind in it, in a folder named by the request's web ID ("extra" for
    // the extra requests, which share one file per sample), and its row names that file as its
    // source; without one, the samples' and extra requests' attachments name a web address.
    void setUploadFolder(const QString &folder) { m_uploadFolder = folder; }

    // The hash stored for `password` with `salt` (see above).
    static QString passwordHash(const QByteArray &salt, const QString &password);

private:
    // How a request comes about: one of the fixed samples; an extra one for speed tests (a client
    // picked at random, its number in its title, never claimed); or one arriving while the demo
    // runs (a client picked at random, real attachment files, never claimed).
    enum class Arrival { Sample, Extra, Live };

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
    void addWebQuoteRequests();
    // Both return the new request's identifier.
    qint32 addWebQuote(int pattern, Arrival arrival, qint32 number, qint32 webId, const QDateTime &received);
    int randomQuotePattern(QuoteKind kind); // a sample of that kind
    // The pattern of the `index`-th sample request that names a template or a previous quote.
    static int templatePattern(int index);
    // DemoWebOrders.cpp: `signupId` > 0 makes a B2C order for that sign-up.
    // kThreeItemPattern as `pattern` gives the three-product order of addThreeItemWebOrders().
    static constexpr int kThreeItemPattern = -1;
    void addWebOrderRequests();
    qint32 addWebOrder(
        int pattern, Arrival arrival, qint32 number, qint32 webId, const QDateTime &received, qint32 signupId);
    int randomOrderPattern(bool service, bool consumer); // a sample of that type and kind of client
    // DemoSignups.cpp: a live sign-up is made by a person of the name pools, not the sample's.
    void addSignups();
    qint32 addSignup(int pattern, Arrival arrival, const QDateTime &when);
    int randomSignupPattern(bool consumer); // a pending sample of that kind
    void addWebTasks();
    // DemoArrivals.cpp: the next request number and web ID of a web table (takeNumbers()).
    std::pair<qint32, qint32> nextNumbers(const QString &table);
    // Takes `count` numbers of `field` in `table` from a counter kept in the database, beyond every
    // number the table has held: processed requests are deleted, and a website never gives a
    // request number or web ID twice. Returns the number before them.
    qint32 takeNumbers(const QString &table, const QString &field, qint32 count);

    // Web note and attachments of a quote request (ownerType "QTE") or web order ("ORD").
    qint32 addWebNote(const QString &ownerType, qint32 ownerId, const QString &subject, const QString &cls,
        const QString &text, const QDateTime &written);
    // A live attachment is written as a real file (see addArrivingQuote()) named after the
    // sample's file (DemoFiles::arrivingName()); `title` is what the file shows.
    void addWebAttachment(const QString &ownerType, qint32 ownerId, qint32 webId, const QString &sampleFile,
        bool artwork, qint32 orderItemId = 0, Arrival arrival = Arrival::Sample, const QString &title = {});

    // `count` moments within the last `days` days (working hours), oldest first, each with its
    // follow-ups before now.
    QList<QDateTime> spreadOverDays(int count, int days);
    qint32 daysAgo(int days) const;
    int roll(int bound) { return static_cast<int>(m_rng.bounded(bound)); }
    // The largest value of an integer column (0 for an empty table).
    qint32 maxOf(const QString &table, const QString &field);
    // One writer per table, kept so that its prepared statements are reused.
    RowWriter &writer(const QString &table);

    bizlib::Database &m_db;
    QRandomGenerator m_rng;
    QDateTime m_now;
    QDate m_today;
    DemoCatalog m_catalog;
    QString m_uploadFolder; // where live attachments are written
    QList<qint32> m_b2cSignups; // sign-ups waiting for their B2C web order, in order
    qint32 m_acceptedSignup = 0;
    qint32 m_rejectedSignup = 0;
    std::map<QString, std::unique_ptr<RowWriter>> m_writers;
};

} // namespace demo
