#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace bizlib {

class Database;

// The business numbers kept in the system configuration (SYCONF): the last quote number, job
// number ... issued. Numbers are handed out one at a time across every workstation.
class NumberCounter
{
public:
    // `counterField`: the SYCONF field ("LastQuoteNo"); `table`/`numberField`: where the numbers
    // end up ("Quotes"/"Number"), so that the counter never falls behind a number already used
    // there (a record numbered by another program). `what` names the number in messages.
    NumberCounter(Database &db, QString counterField, QString table, QString numberField, QString what);

    // Raises the counter and gives the new number in one statement, so that the row lock
    // (PostgreSQL) or the write transaction (SQLite) hands each number to one connection only.
    // Error: no system configuration record, a failed write, or a counter that has run out.
    Status take(qint32 *number);
    // Steps the counter back after the record holding `number` was removed again, only when
    // `number` is still the last one issued (otherwise the gap stays: another workstation has
    // taken a later number meanwhile). Ok either way unless the write fails.
    Status release(qint32 number);
    // The last number issued (0 without a system configuration record).
    Status last(qint32 *number);

private:
    Database &m_db;
    QString m_counterField;
    QString m_table;
    QString m_numberField;
    QString m_what;
};

} // namespace bizlib
