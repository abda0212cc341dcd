#pragma once

#include "bizlib/Status.h"
#include "data/ClaimBook.h"

#include <QMap>
#include <QStringList>
#include <functional>

namespace bizlib {
class Database;
}

namespace data {

// Removes what a claim's run made and did not finish, and gives its request back: the cleanup of
// runs whose holder is gone (a workstation that crashed or was cut off), and the undo of a run
// that is cancelled or taken over.
//
// A claim is stale when its holder is gone: this process's own claim that no live window holds
// any more; a claim of another process on this workstation that no longer runs; or any claim not
// seen for `staleMinutes` (a running console marks its claims seen every minute, also while a
// processing window is open).
class ClaimCleanup
{
public:
    // What was cleaned, for the trace log and one short message to the user.
    struct Report
    {
        int claims = 0; // claims cleaned up
        int requests = 0; // requests given back
        QMap<QString, int> rows; // table -> rows removed (each with the rows that belong to it)
        int files = 0; // files removed
        int moves = 0; // files moved to their final names (runs whose result was stored)
        int restored = 0; // fields of existing rows given back the value they had before the run
        QMap<QString, int> kept; // table -> rows the run made but left, as rows it did not make refer to them
        QStringList lines; // one line per claim, for the trace log

        bool isEmpty() const { return claims == 0; }
        // "1 web request given back, 1 quote and 2 files removed" (counts by kind).
        QString summary() const;
    };

    // `dataFolders`: files are removed only inside these folders, and only those the run recorded.
    ClaimCleanup(bizlib::Database &db, QStringList dataFolders, int staleMinutes);

    // Whether `holder` is stale seen from this process at `today`/`now`. `processAlive` answers
    // whether a process of this workstation runs (default: asks the system).
    bool isStale(const ClaimHolder &holder, qint32 today, qint32 now) const;
    void setProcessCheck(std::function<bool(qint64)> processAlive) { m_processAlive = std::move(processAlive); }

    // Cleans up every stale claim. Claims that another console cleans up at the same moment are
    // skipped; the first failure is returned after the others were tried.
    bizlib::Status run(Report *report);
    // Cleans up the one claim of `owner`: a run whose result was stored has its files moved to their
    // final names; any other has the rows and files it made removed and its request given back
    // (only while the request is still "Processing"). The claim row goes in the same transaction;
    // NotFound (nothing done) when it was gone already. With `giveBack` false the request's status
    // is left as it is (the claim is being taken over).
    bizlib::Status cleanUp(const ClaimHolder &holder, Report *report, bool giveBack = true);

    // The undo of what a run made, inside the caller's transaction, the latest first: rows removed
    // (their numbers given back to the counter where no later number was issued), fields of
    // existing rows that the run changed given back their earlier values (only while they still
    // hold what the run wrote), rows the run deleted inserted again (only while no row took their
    // key). Files are returned in
    // *files, for removeFiles() once the transaction has committed.
    static bizlib::Status removeRows(
        bizlib::Database &db, const QList<RunItem> &items, Report *report, QStringList *files);
    // Removes the files, each only when it lies inside one of `dataFolders` and is a regular file.
    static int removeFiles(const QStringList &files, const QStringList &dataFolders);

    static bool processRuns(qint64 processId);

private:
    static bizlib::Status restoreField(bizlib::Database &db, const RunItem &item, Report *report);
    static bizlib::Status restoreRow(bizlib::Database &db, const RunItem &item, Report *report);

    bizlib::Database &m_db;
    QStringList m_dataFolders;
    int m_staleMinutes;
    std::function<bool(qint64)> m_processAlive;
};

} // namespace data
