#pragma once

#include "bizlib/Status.h"
#include "data/ClaimCleanup.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib

namespace console {

// The Logs tab's "Claims" page: every web request held now, and the release of a stale claim.
class ClaimList
{
    Q_DECLARE_TR_FUNCTIONS(ClaimList)

public:
    struct Row
    {
        data::ClaimHolder holder;
        QString kind; // "Quote request", "Web order", "Sign-up"
        QString reference; // the request's number (a sign-up: its name), empty when it is gone
        bool stale = false;
    };
    enum class Release {
        Released, // cleaned up and given back
        Refused, // the user has neither right
        Cancelled, // the user said No
        NotStale, // the claim is live (or became live again): left alone
        Gone, // released, taken over or cleaned up meanwhile
        Failed, // the database failed
    };

    // `dataFolders` and `staleMinutes` as for data::ClaimCleanup.
    ClaimList(bizlib::Database &db, QStringList dataFolders, int staleMinutes);

    bizlib::Status read(QList<Row> *rows);
    // Right 44 or the administrator's rights (which hold every right).
    static bool mayRelease(bizlib::Database &db, qint32 userId);

    // Releases the stale claim `seen` (as read for the list): asks first; then, only while the
    // claim is still as seen (same holder token, not seen since), cleans up what its run made and
    // gives the request back, as a start-up does. *message says what came of it.
    Release release(const data::ClaimHolder &seen, bool allowed, bizlib::Prompter &prompter, QString *message);

    data::ClaimCleanup &cleanup() { return m_cleanup; }

private:
    bizlib::Database &m_db;
    data::ClaimCleanup m_cleanup;
};

} // namespace console
