#pragma once

#include "bizlib/DatabaseConfig.h"

#include <QList>
#include <QTemporaryDir>

namespace testsupport {

// A PostgreSQL server of a test's own, for tests that stop the whole server (never the shared one,
// which other programs use): initdb into a temporary folder, started on a free port on 127.0.0.1
// with trust login for the user "postgres", stopped and removed with the object. Run as root, it
// runs as the system user "postgres", as initdb and the server demand. It needs the server
// programs of PostgreSQL 15 (/usr/lib/postgresql/15/bin); without them it does not run and says so.
class ThrowawayPostgres
{
public:
    ThrowawayPostgres();
    ~ThrowawayPostgres();
    ThrowawayPostgres(const ThrowawayPostgres &) = delete;
    ThrowawayPostgres &operator=(const ThrowawayPostgres &) = delete;

    bool isRunning() const { return m_running; }
    const QString &failure() const { return m_failure; }
    // Its database "postgres" as the user "postgres".
    bizlib::DatabaseConfig config() const;

    // Stops every process of the server (SIGSTOP), as a server that stops answering; connections
    // stay open, new ones are accepted by the system but never answered. The processes go on by
    // themselves after `limitSeconds` at the latest, also when the test ends without resume().
    bool pause(int limitSeconds = 60);
    // Lets them go on (SIGCONT).
    void resume();

private:
    bool run(const QStringList &command, QString *output = nullptr);
    QList<qint64> serverProcesses() const;

    QTemporaryDir m_dir;
    int m_port = 0;
    bool m_running = false;
    bool m_paused = false;
    qint64 m_guard = 0; // the process that resumes the server at the limit
    QString m_failure;
};

} // namespace testsupport
