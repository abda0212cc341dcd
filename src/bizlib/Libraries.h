#pragma once

#include "bizlib/Status.h"

#include <QStringList>

namespace bizlib {

class Database;

// The business libraries DATA, MAIN, ORDER, QUOTE, REPORT and STOCK as a whole: their INIT
// makes their operations usable from every thread, their KILL releases them. Start-up calls
// init() once after its checks and kill() once after the frame has returned.
// INIT of DATA checks that the business database answers; the others only register.
class Libraries
{
public:
    static const QStringList &names(); // "DATA", "MAIN", "ORDER", "QUOTE", "REPORT", "STOCK"

    explicit Libraries(Database &db);

    // Initialises the libraries in order; stops at the first that fails (those initialised
    // before it are shut down again) and returns its error.
    Status init();
    // Shuts down, in the same order, the libraries that are initialised.
    void kill();

    bool isInitialised() const { return !m_initialised.isEmpty(); }
    // "DATA:INIT", "MAIN:INIT", ..., "DATA:KILL", ... in the order they happened.
    const QStringList &log() const { return m_log; }

private:
    Database &m_db;
    QStringList m_initialised;
    QStringList m_log;
};

} // namespace bizlib
