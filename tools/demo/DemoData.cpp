#include "DemoData.h"

#include "DemoFields.h"
#include "DemoFiles.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/security/PasswordHasher.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <stdexcept>

namespace demo {

namespace {

// Rows per transaction when many extra requests are added for a speed test.
constexpr int kBatchSize = 2000;

// The longest that a sample's follow-up comes after it: a sign-up's response, three hours on.
constexpr int kFollowUpSeconds = 3 * 3600 + 600;

} // namespace

DemoData::DemoData(bizlib::Database &db, quint32 seed)
    : m_db(db)
    , m_rng(seed)
    , m_now(QDateTime::currentDateTime())
    , m_today(m_now.date())
{ }

QString DemoData::passwordHash(const QByteArray &salt, const QString &password)
{
    return bizlib::security::PasswordHasher::hashWithSalt(password, salt);
}

bizlib::Status DemoData::fillAll()
{
    const bizlib::Status st = fillBusiness();
    return st ? fillWebRequests() : st;
}

bizlib::Status DemoData::fillBusiness()
{
    return inTransaction([this] {
        addCountriesAndMoney();
        m_catalog.load(m_db); // the country identifiers, for towns, clients and the company
        addPlacesAndDomains();
        addUsers();
        addPhrasesAndOptions();
        addReportsAndTabs();
        addResources();
        addPricing();
        m_catalog.load(m_db); // domains and resources
        addClients();
        m_catalog.load(m_db);
        addQuotes();
        addPreviousOrders();
        addSystemRecords();
    });
}

bizlib::Status DemoData::fillWebRequests()
{
    return inTransaction([this] {
        m_catalog.load(m_db);
        if (m_catalog.clients().isEmpty())
            throw std::runtime_error("the business data (clients, quotes, resources) must be filled first");
        addSignups();
        addWebQuoteRequests();
        addWebOrderRequests();
        addWebTasks();
    });
}

bizlib::Status DemoData::addWebQuotes(int count)
{
    return addExtraRequests(count, QStringLiteral("WebQuotes"), QStringLiteral("web quote requests"),
        [this](int index, qint32 number, qint32 webId, const QDateTime &received) {
            addWebQuote(index, Arrival::Extra, number, webId, received);
        });
}

bizlib::Status DemoData::addTemplateWebQuotes(int count)
{
    return addExtraRequests(count, QStringLiteral("WebQuotes"), QStringLiteral("web quote requests"),
        [this](int index, qint32 number, qint32 webId, const QDateTime &received) {
            addWebQuote(templatePattern(index), Arrival::Extra, number, webId, received);
        });
}

bizlib::Status DemoData::addWebOrders(int count)
{
    // Extra orders come from existing clients only: a B2C order needs a sign-up of its own.
    return addExtraRequests(count, QStringLiteral("WebOrders"), QStringLiteral("web orders"),
        [this](int index, qint32 number, qint32 webId, const QDateTime &received) {
            addWebOrder(index, Arrival::Extra, number, webId, received, 0);
        });
}

bizlib::Status DemoData::addThreeItemWebOrders(int count)
{
    return addExtraRequests(count, QStringLiteral("WebOrders"), QStringLiteral("web orders"),
        [this](int, qint32 number, qint32 webId, const QDateTime &received) {
            addWebOrder(kThreeItemPattern, Arrival::Extra, number, webId, received, 0);
        });
}

bizlib::Status DemoData::addExtraRequests(int count, const QString &table, const QString &what,
    const std::function<void(int, qint32, qint32, const QDateTime &)> &add)
{
    if (count <= 0)
        return bizlib::Status::ok();
    bizlib::Status st = inTransaction([&] {
        m_catalog.load(m_db);
        if (m_catalog.clients().isEmpty())
            throw std::runtime_error(("the business data must be filled before extra " + what).toStdString());
    });
    if (!st)
        return st;
    qint32 number = 0;
    qint32 webId = 0;
    st = inTransaction([&] {
        number = takeNumbers(table, QStringLiteral("Number"), count);
        webId = takeNumbers(table, QStringLiteral("WebID"), 3 * count); // steps of 1 to 3
    });
    for (int done = 0; st && done < count; done += kBatchSize) {
        const int batch = std::min(kBatchSize, count - done);
        st = inTransaction([&] {
            const QList<QDateTime> received = spreadOverDays(batch, 14);
            for (int i = 0; i < batch; ++i) {
                webId += 1 + roll(3);
                add(done + i, ++number, webId, received.at(i));
            }
        });
    }
    return st;
}

bizlib::Status DemoData::inTransaction(const std::function<void()> &steps)
{
    bizlib::Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    try {
        steps();
    } catch (const std::exception &e) {
        // Also a wrong field name (std::logic_error): a fault of this program, reported, not a crash.
        return bizlib::Status::error(QString::fromUtf8(e.what()));
    }
    return tx.commit();
}

QList<QDateTime> DemoData::spreadOverDays(int count, int days)
{
    QList<QDateTime> moments;
    moments.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QDate day = m_today.addDays(-roll(days));
        // Between 07:30 and 18:30, to the second.
        const QTime time = QTime(7, 30).addSecs(roll(11 * 3600));
        QDateTime moment(day, time);
        // Today's later hours have not come yet: such a moment is a day earlier.
        while (moment.addSecs(kFollowUpSeconds) > m_now)
            moment = moment.addDays(-1);
        moments.append(moment);
    }
    std::sort(moments.begin(), moments.end());
    return moments;
}

qint32 DemoData::daysAgo(int days) const
{
    return bizlib::DateTime::fromDate(m_today.addDays(-days));
}

qint32 DemoData::maxOf(const QString &table, const QString &field)
{
    const bizlib::TableDef &def = bizlib::Dictionary::instance().require(table);
    const int column = def.fieldIndex(field);
    if (column < 0)
        throw std::logic_error(QStringLiteral("%1 has no field %2").arg(table, field).toStdString());
    QSqlQuery q;
    const bizlib::Status st
        = m_db.exec(QStringLiteral("SELECT MAX(%1) FROM %2").arg(def.sqlColumn(column), def.sqlTable()), {}, &q);
    if (!st)
        throw std::runtime_error(st.message().toStdString());
    return q.next() ? static_cast<qint32>(q.value(0).toLongLong()) : 0;
}

RowWriter &DemoData::writer(const QString &table)
{
    std::unique_ptr<RowWriter> &slot = m_writers[table];
    if (!slot)
        slot = std::make_unique<RowWriter>(m_db, table);
    return *slot;
}

qint32 DemoData::addWebNote(const QString &ownerType, qint32 ownerId, const QString &subject, const QString &cls,
    const QString &text, const QDateTime &written)
{
    const bool quote = ownerType == QStringLiteral("QTE");
    return writer(QStringLiteral("WebNotes")).add([&](bizlib::Record &r) {
        r.setLong("QuoteID", quote ? ownerId : 0);
        r.setLong("OrderID", quote ? 0 : ownerId);
        r.setText("ParentType", ownerType);
        r.setLong("ParentID", ownerId);
        setTexts(r,
            { { "Subject", subject }, { "Class", cls }, { "Notes", text }, { "Priority", QStringLiteral("Normal") },
                { "CreatedBy", QStringLiteral("WEB") } });
        r.setLong(quote ? "OnQuote" : "OnOrder", 1);
        setStamp(r, "CreatedOn", "CreatedAt", written);
    });
}

void DemoData::addWebAttachment(const QString &ownerType, qint32 ownerId, qint32 webId, const QString &sampleFile,
    bool artwork, qint32 orderItemId, Arrival arrival, const QString &title)
{
    const bool quote = ownerType == QStringLiteral("QTE");
    QString sourceFile = sampleFile;
    QString sourceName = QStringLiteral("https://print.example.com/uploads/%1/%2").arg(webId).arg(sampleFile);
    if (arrival == Arrival::Live && m_uploadFolder.isEmpty())
        throw std::logic_error("arriving requests need an upload folder for their attachments");
    if (!m_uploadFolder.isEmpty()) {
        // A real file that the console copies and the downloader fetches like any upload. The
        // extra requests of a speed test share one file per sample.
        sourceFile = DemoFiles::arrivingName(sampleFile);
        const QString folder = arrival == Arrival::Extra ? QStringLiteral("extra") : QString::number(webId);
        sourceName = QDir(m_uploadFolder).filePath(folder + u'/' + sourceFile);
        QString error;
        if (!(arrival == Arrival::Extra && QFileInfo::exists(sourceName))
            && !DemoFiles::write(sourceName, title, &error))
            throw std::runtime_error(error.toStdString());
    }
    writer(QStringLiteral("WebAttachments")).add([&](bizlib::Record &r) {
        r.setLong("QuoteID", quote ? ownerId : 0);
        r.setLong("OrderID", quote ? 0 : ownerId);
        r.setLong("OrderItemID", orderItemId);
        r.setText("SourceName", sourceName);
        r.setText("SourceFile", sourceFile);
        // Not yet saved by the console: no local copy.
        r.setText("Filename", QStringLiteral("%1_%2").arg(webId).arg(sourceFile));
        r.setLong("Artwork", artwork ? 1 : 0);
        r.setLong("Output", sourceFile.endsWith(QStringLiteral(".pdf")) && artwork ? 1 : 0);
        r.setLong("UseSource", 0);
    });
}

} // namespace demo
