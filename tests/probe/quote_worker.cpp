// A test-only workstation that auto-processes every pending web quote request that names a
// template or a previous quote and that it can claim, as the console's automatic processing
// does, without the quote letter and the e-mails. Several of them run at once against one
// database in the reliability tests.
//
//   quote_worker driver=QSQLITE file=DB data=FOLDER user=JS
//   quote_worker driver=QPSQL host=H port=P name=N dbuser=U password=W schema=S data=FOLDER user=JS
//
// At its start it cleans up after claims whose holder is gone, as the console does.
// QUOTE_WORKER_KILL_AT=<point> makes the process kill itself (SIGKILL) the first time the
// processing routine reaches that point ("staged", "converted", "numbered", "stored", "deleted",
// "committed"). QUOTE_WORKER_MANUAL=1 processes as a user would, and is killed while the quote
// form is open. Prints "processed N declined D failed F" and exits 0 when nothing failed.

#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/forms/RecordForms.h"
#include "config/AppContext.h"
#include "data/ClaimCleanup.h"
#include "quotes/QuoteProcessing.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <csignal>
#include <cstdio>

namespace {

QHash<QString, QString> options(const QStringList &args)
{
    QHash<QString, QString> o;
    for (const QString &a : args.mid(1)) {
        const qsizetype eq = a.indexOf(u'=');
        if (eq > 0)
            o.insert(a.left(eq), a.mid(eq + 1));
    }
    return o;
}

QList<qint32> pendingTemplateRequests(bizlib::Database &db)
{
    QList<qint32> ids;
    QSqlQuery q;
    if (db.exec(QStringLiteral("SELECT \"quoteid\" FROM \"webquotes\" WHERE RTRIM(\"status\") <> 'Processing' "
                               "AND (\"templateid\" <> 0 OR \"previousid\" <> 0) ORDER BY \"number\""),
            {}, &q)) {
        while (q.next())
            ids << q.value(0).toInt();
    }
    return ids;
}

// A user who walks away: the process ends while the quote form is open.
class KilledWithTheFormOpen : public bizlib::forms::RecordForms
{
public:
    void runForm(bizlib::forms::FormModel &) override { std::raise(SIGKILL); }
    void runList(bizlib::forms::SelectionList &) override { }
    std::optional<QDate> pickDate(const QString &, const QDate &) override { return std::nullopt; }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QHash<QString, QString> o = options(QCoreApplication::arguments());
    bizlib::DatabaseConfig config;
    config.driver = o.value(QStringLiteral("driver"), QStringLiteral("QSQLITE"));
    config.file = o.value(QStringLiteral("file"));
    config.host = o.value(QStringLiteral("host"), config.host);
    config.port = o.value(QStringLiteral("port"), QStringLiteral("5432")).toInt();
    config.name = o.value(QStringLiteral("name"));
    config.user = o.value(QStringLiteral("dbuser"));
    config.password = o.value(QStringLiteral("password"));
    config.schema = o.value(QStringLiteral("schema"));
    if (!o.contains(QStringLiteral("data")) || !o.contains(QStringLiteral("user"))) {
        std::fputs("usage: quote_worker driver=... data=FOLDER user=INITIALS [database options]\n", stderr);
        return 2;
    }
    bizlib::Database db(config);
    if (const bizlib::Status st = db.open(); !st) {
        std::fprintf(stderr, "%s\n", qPrintable(st.message()));
        return 2;
    }

    config::AppContext ctx;
    ctx.db = &db;
    ctx.brevix.globalData = o.value(QStringLiteral("data"));
    ctx.settings.autoProcessQuotes = true;
    ctx.settings.quotePhrases = false;
    bizlib::Table users(db, QStringLiteral("Users"));
    bizlib::Record user = users.newRecord();
    ctx.glo.user.userCode = o.value(QStringLiteral("user"));
    if (users.fetch(QStringLiteral("USERKEY"), { ctx.glo.user.userCode }, user)) {
        ctx.glo.user.userId = user.toLong("UserID");
        ctx.glo.user.userName = user.text("FullName");
    }

    data::ClaimCleanup cleanup(db, { ctx.brevix.globalData }, config.claimTimeout);
    data::ClaimCleanup::Report cleaned;
    if (const bizlib::Status st = cleanup.run(&cleaned); st.isError())
        std::fprintf(stderr, "cleanup: %s\n", qPrintable(st.message()));
    for (const QString &line : std::as_const(cleaned.lines))
        std::fprintf(stderr, "%s\n", qPrintable(line));

    const QByteArray killAt = qgetenv("QUOTE_WORKER_KILL_AT");
    const bool manual = qgetenv("QUOTE_WORKER_MANUAL") == "1";
    KilledWithTheFormOpen forms;
    quotes::QuoteProcessing::Services services;
    services.ctx = &ctx;
    if (manual)
        services.forms = &forms;
    services.checkpoint = [&killAt](const char *point) {
        if (!killAt.isEmpty() && killAt == point)
            std::raise(SIGKILL);
    };

    int processed = 0;
    int declined = 0;
    int failed = 0;
    bizlib::Table requests(db, QStringLiteral("WebQuotes"));
    // A failed request is released and tried again in the next pass; a few passes are plenty.
    for (int pass = 0; pass < 20; ++pass) {
        const QList<qint32> ids = pendingTemplateRequests(db);
        if (ids.isEmpty())
            break;
        for (const qint32 id : ids) {
            bizlib::Record request = requests.newRecord();
            if (!requests.fetch(QStringLiteral("QUOTEIDKEY"), { id }, request))
                continue; // processed by another workstation meanwhile
            const auto args = quotes::QuoteProcessing::automaticArguments(ctx.settings, request);
            if (!args)
                continue;
            quotes::QuoteProcessing processing(services, request, args->automatic && !manual, args->isRfq);
            if (!processing.open()) {
                ++declined;
                continue;
            }
            if (processing.run() == bizlib::forms::Response::Completed) {
                ++processed;
            } else {
                ++failed;
                std::fprintf(stderr, "request %d: %s\n", id, qPrintable(processing.lastStatus().message()));
            }
        }
    }
    std::printf("processed %d declined %d failed %d\n", processed, declined, failed);
    return failed == 0 ? 0 : 1;
}
