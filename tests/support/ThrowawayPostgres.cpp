#include "support/ThrowawayPostgres.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace testsupport {

namespace {
const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");
}

ThrowawayPostgres::ThrowawayPostgres()
{
    if (!QFile::exists(kBin + QStringLiteral("initdb"))) {
        m_failure = QStringLiteral("the PostgreSQL 15 server programs are not installed");
        return;
    }
    if (!m_dir.isValid()) {
        m_failure = QStringLiteral("no temporary folder");
        return;
    }
    if (::geteuid() == 0) {
        const passwd *pw = ::getpwnam("postgres");
        if (!pw || ::chown(QFile::encodeName(m_dir.path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_failure = QStringLiteral("the folder cannot be handed to the system user postgres");
            return;
        }
    }
    {
        QTcpServer probe; // a free port: taken and given back
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            m_failure = QStringLiteral("no free port");
            return;
        }
        m_port = probe.serverPort();
    }
    const QString data = m_dir.filePath(QStringLiteral("data"));
    QString output;
    if (!run({ kBin + QStringLiteral("initdb"), QStringLiteral("-D"), data, QStringLiteral("-U"),
             QStringLiteral("postgres"), QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-N") },
            &output)) {
        m_failure = QStringLiteral("initdb failed: ") + output;
        return;
    }
    const QString options = QStringLiteral("-p %1 -c listen_addresses=127.0.0.1 -k %2 -c fsync=off")
                                .arg(m_port)
                                .arg(m_dir.path());
    if (!run({ kBin + QStringLiteral("pg_ctl"), QStringLiteral("-D"), data, QStringLiteral("-l"),
             m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("-o"), options,
             QStringLiteral("start") },
            &output)) {
        m_failure = QStringLiteral("the server did not start: ") + output;
        return;
    }
    m_running = true;
}

ThrowawayPostgres::~ThrowawayPostgres()
{
    if (!m_running)
        return;
    resume();
    run({ kBin + QStringLiteral("pg_ctl"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
        QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop") });
}

bool ThrowawayPostgres::run(const QStringList &command, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (::geteuid() == 0)
        p.start(QStringLiteral("runuser"), QStringList { QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--") } + command);
    else
        p.start(command.first(), command.mid(1));
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll()).trimmed();
    return ok;
}

bizlib::DatabaseConfig ThrowawayPostgres::config() const
{
    bizlib::DatabaseConfig cfg;
    cfg.driver = QStringLiteral("QPSQL");
    cfg.host = QStringLiteral("127.0.0.1");
    cfg.port = m_port;
    cfg.name = QStringLiteral("postgres");
    cfg.user = QStringLiteral("postgres");
    return cfg;
}

QList<qint64> ThrowawayPostgres::serverProcesses() const
{
    QFile pidFile(m_dir.filePath(QStringLiteral("data/postmaster.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const qint64 postmaster = pidFile.readLine().trimmed().toLongLong();
    if (postmaster <= 0)
        return {};
    QList<qint64> pids { postmaster };
    // Its children: the fourth field of /proc/PID/stat, after the name in parentheses, is the parent.
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == postmaster)
            pids << pid;
    }
    return pids;
}

bool ThrowawayPostgres::pause(int limitSeconds)
{
    const QList<qint64> pids = serverProcesses();
    if (!m_running || pids.isEmpty())
        return false;
    QStringList list;
    for (const qint64 pid : pids) {
        ::kill(static_cast<pid_t>(pid), SIGSTOP);
        list << QString::number(pid);
    }
    m_paused = true;
    // A process of its own lets the server go on at the limit, even when this one has died. It keeps
    // none of this process's outputs open, so that nobody waiting for them waits for it.
    QProcess guard;
    guard.setProgram(QStringLiteral("sh"));
    guard.setArguments({ QStringLiteral("-c"),
        QStringLiteral("sleep %1; kill -CONT %2 2>/dev/null").arg(limitSeconds).arg(list.join(u' ')) });
    guard.setStandardInputFile(QProcess::nullDevice());
    guard.setStandardOutputFile(QProcess::nullDevice());
    guard.setStandardErrorFile(QProcess::nullDevice());
    guard.startDetached(&m_guard);
    return true;
}

void ThrowawayPostgres::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    for (const qint64 pid : serverProcesses())
        ::kill(static_cast<pid_t>(pid), SIGCONT);
    if (m_guard > 0)
        ::kill(static_cast<pid_t>(m_guard), SIGTERM);
    m_guard = 0;
}

} // namespace testsupport
