#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QSet>
#include <QString>

namespace bizlib {
class Database;
}
namespace data {
class RequestClaim;
}

namespace signups {

// The writes of a processing run that may be undone: each is one transaction together with the
// claim's record of it, so that a cancel - or the cleanup after a workstation that died in the
// middle - removes exactly the rows the run made and gives the rows it changed their earlier
// values back (see data::ClaimCleanup). Without a claim the writes are plain (tests, tools).
//
// Every write is refused (nothing written) once the claim is no longer the run's: a window whose
// request another workstation took over writes nothing more.
class RunWrites
{
public:
    RunWrites(bizlib::Database &db, data::RequestClaim *claim);

    bizlib::Database &database() const { return m_db; }

    // Inserts `record` (numbered already, see Table::prime) and records it as made by the run. A
    // failed insert gives the number back.
    bizlib::Status insert(bizlib::Record &record);
    // Updates the row (only the fields that differ from the record as read). For a row the run did
    // not make, each changed field is recorded with its earlier value. The record is read again
    // afterwards, so that a later update compares with what is stored.
    bizlib::Status update(bizlib::Record &record);
    // For a row written by another road (a record form's save), inside that save's transaction:
    // records the fields of `written` that differ from the values it was read with, as update()
    // does, so that a cancel or the cleanup puts them back. A row the run made needs nothing put
    // back; the claim is still confirmed. Fails (and the save with it) once the claim is not the
    // run's; a record that was never read from its table is refused.
    bizlib::Status recordChanges(const bizlib::Record &written);
    // Carries the fields `edited` changed since it was read onto `current`, the row as it is now,
    // and names them in *changed. A conflict (NotFound, saying which field) when another
    // workstation changed one of those fields meanwhile; nothing is carried then.
    static bizlib::Status carryChanges(const bizlib::Record &edited, bizlib::Record &current, QStringList *changed);

    // Deletes a client the run made, with the contacts and offices of it the run made. Rows that
    // the run did not make, or that an accepted sign-up took over (no longer recorded as the
    // run's), stay, and so does the client when any of them refers to it (*kept says so).
    bizlib::Status removeMadeClient(const bizlib::Record &client, bool *kept);

    bool madeByRun(const QString &table, qint32 key) const;
    // A row that the run made by another road (a record form) and recorded with the claim itself.
    void noteMade(const QString &table, qint32 key) { m_made.insert(keyOf(table, key)); }

private:
    static QString keyOf(const QString &table, qint32 key);
    bizlib::Status recordChangedFields(const bizlib::Record &record);

    bizlib::Database &m_db;
    data::RequestClaim *m_claim;
    QSet<QString> m_made;
};

} // namespace signups
