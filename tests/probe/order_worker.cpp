// A test-only workstation that processes every waiting web order it can claim, as a user who
// saves each order form as it comes, without notifications. Killed in the middle in the
// reliability tests.
//
//   order_worker driver=QSQLITE file=DB data=FOLDER user=JS
//   order_worker driver=QPSQL host=H port=P name=N dbuser=U password=W schema=S data=FOLDER user=JS
//
// At its start it cleans up after claims whose holder is gone, as the console does.
// ORDER_WORKER_KILL_AT=<n> makes the process kill itself (SIGKILL) when the n-th order form opens,
// after the orders before it were saved; ORDER_WORKER_CLEANUP_ONLY=1 ends after the cleanup. Prints "processed N
// declined D failed F" and exits 0 when nothing failed.

#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/RecordForms.h"
#include "config/AppContext.h"
#include "data/ClaimCleanup.h"
#include "orders/OrderProcessing.h"

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

QList<qint32> waitingWebOrders(bizlib::Database &db)
{
    QList<qint32> ids;
    QSqlQuery q;
    if (db.exec(QStringLiteral("SELECT \"orderid\" FROM \"weborders\" WHERE RTRIM(\"status\") <> 'Processing' "
                               "ORDER BY \"number\""),
            {}, &q)) {
        while (q.next())
            ids << q.value(0).toInt();
    }
    return ids;
}

// A user who saves each order form, and walks away (the process ends) when the given one opens.
class OrderForms : public bizlib::forms::RecordForms
{
public:
    explicit OrderForms(int killAt)
        : m_killAt(killAt)
    { }
    void runForm(bizlib::forms::FormModel &form) override
    {
        if (++m_opened == m_killAt)
            std::raise(SIGKILL);
        if (!form.accept())
            std::fprintf(stderr, "order form: %s\n", qPrintable(form.lastError()));
    }
    void runList(bizlib::forms::SelectionList &) override { }
    std::optional<QDate> pickDate(const QString &, const QDate &) override { return std::nullopt; }

private:
    int m_killAt;
    int m_opened = 0;
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
        std::fputs("usage: order_worker driver=... data=FOLDER user=INITIALS [database options]\n", stderr);
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
    ctx.settings.orderPhrases = false;
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

    if (qEnvironmentVariableIntValue("ORDER_WORKER_CLEANUP_ONLY") == 1)
        return 0;

    OrderForms forms(qEnvironmentVariableIntValue("ORDER_WORKER_KILL_AT"));
    orders::OrderProcessing::Services services;
    services.ctx = &ctx;
    services.forms = &forms;
    services.changeNotice = [] {};

    int processed = 0;
    int declined = 0;
    int failed = 0;
    bizlib::Table webOrders(db, QStringLiteral("WebOrders"));
    for (const qint32 id : waitingWebOrders(db)) {
        bizlib::Record webOrder = webOrders.newRecord();
        if (!webOrders.fetch(QStringLiteral("ORDERIDKEY"), { id }, webOrder))
            continue; // processed by another workstation meanwhile
        orders::OrderProcessing processing(services, webOrder, false);
        if (!processing.open()) {
            ++declined;
            continue;
        }
        if (processing.run() == bizlib::forms::Response::Completed) {
            ++processed;
        } else {
            ++failed;
            std::fprintf(stderr, "web order %d: %s\n", id, qPrintable(processing.told()));
        }
    }
    std::printf("processed %d declined %d failed %d\n", processed, declined, failed);
    return failed == 0 ? 0 : 1;
}
