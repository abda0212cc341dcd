// A test-only workstation that processes one web sign-up as a user walks the wizard: a sign-up
// whose e-mail matches a contact goes "Existing customer" with that contact's client, any other
// "New customer"; every question is answered with its default button.
//
//   signup_worker driver=QSQLITE file=DB data=FOLDER user=JS signup=ID
//   signup_worker driver=QPSQL host=H port=P name=N dbuser=U password=W schema=S data=FOLDER user=JS signup=ID
//
// SIGNUP_WORKER_KILL_AT=<point> makes the process kill itself (SIGKILL) the first time the wizard
// reaches that point ("claimed", "matched", "completed", "written", "accepted"). Prints the
// response and exits 0 when the sign-up was accepted.

#include "bizlib/Database.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "config/AppContext.h"
#include "signups/SignupProcessing.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

namespace {

class DefaultAnswers : public bizlib::Prompter
{
public:
    int message(const QString &text, const QString &, Icon, const QString &, int defaultButton, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return defaultButton;
    }
    void beep(Icon) override { }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QHash<QString, QString> o;
    for (const QString &a : QCoreApplication::arguments().mid(1)) {
        const qsizetype eq = a.indexOf(u'=');
        if (eq > 0)
            o.insert(a.left(eq), a.mid(eq + 1));
    }
    bizlib::DatabaseConfig config;
    config.driver = o.value(QStringLiteral("driver"), QStringLiteral("QSQLITE"));
    config.file = o.value(QStringLiteral("file"));
    config.host = o.value(QStringLiteral("host"), config.host);
    config.port = o.value(QStringLiteral("port"), QStringLiteral("5432")).toInt();
    config.name = o.value(QStringLiteral("name"));
    config.user = o.value(QStringLiteral("dbuser"));
    config.password = o.value(QStringLiteral("password"));
    config.schema = o.value(QStringLiteral("schema"));
    bizlib::Database db(config);
    if (const bizlib::Status st = db.open(); !st) {
        std::fprintf(stderr, "%s\n", qPrintable(st.message()));
        return 2;
    }
    DefaultAnswers prompter;
    config::AppContext ctx;
    ctx.db = &db;
    ctx.prompter = &prompter;
    ctx.brevix.globalData = o.value(QStringLiteral("data"));
    ctx.glo.user.userCode = o.value(QStringLiteral("user"));

    const QByteArray killAt = qgetenv("SIGNUP_WORKER_KILL_AT");
    signups::SignupProcessing::Services services;
    services.ctx = &ctx;
    services.checkpoint = [&killAt](const char *point) {
        if (!killAt.isEmpty() && killAt == point)
            std::raise(SIGKILL);
    };
    bizlib::Table signups(db, QStringLiteral("WebSignup"));
    bizlib::Record signup = signups.newRecord();
    if (!signups.fetch(QStringLiteral("WEBSIGNUPIDKEY"), { o.value(QStringLiteral("signup")).toInt() }, signup)) {
        std::fputs("no such sign-up\n", stderr);
        return 2;
    }
    signups::SignupProcessing wizard(services, signup);
    if (wizard.open()) {
        if (wizard.state().method == QLatin1String(signups::SignupState::kExisting)) {
            wizard.next();
            wizard.chooseClient(wizard.clientList().rowOf(wizard.records().clientAlias.toLong("ClientID")));
        }
        wizard.next();
        if (wizard.step() == 3)
            wizard.next();
        wizard.ok();
    }
    wizard.close();
    const bool accepted = wizard.response() == bizlib::forms::Response::Completed;
    std::printf("%s\n", accepted ? "accepted" : "cancelled");
    if (!wizard.told().isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(wizard.told()));
    return accepted ? 0 : 1;
}
