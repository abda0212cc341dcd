#include "bizlib/Dictionary.h"

// The console's own tables beside the web monitor's: who holds a claimed web request, and what
// the run that holds it has made so far. The web tables stay as the web monitor knows them; a
// claim is the request's status "Processing" plus one row here, written in the same transaction.

namespace bizlib {

void describeClaimTables(DictionaryBuilder &b)
{
    {
        auto t = b.table(QStringLiteral("wc_claims"), QStringLiteral("WCLM"));
        // Owner: a token of the one window (or automatic run) that holds the request. Session: the
        // token of the process, which refreshes SeenOn/SeenAt of all its claims while it runs.
        t.field(QStringLiteral("Owner"), Type::CString(41))
            .field(QStringLiteral("RequestTable"), Type::CString(21))
            .field(QStringLiteral("RequestID"), Type::Long())
            .field(QStringLiteral("SavedStatus"), Type::CString(21))
            .field(QStringLiteral("SavedTemplate"), Type::Long())
            .field(QStringLiteral("SavedPrevious"), Type::Long())
            .field(QStringLiteral("Session"), Type::CString(41))
            .field(QStringLiteral("Workstation"), Type::CString(65))
            .field(QStringLiteral("UserCode"), Type::CString(4))
            .field(QStringLiteral("ProcessID"), Type::Long())
            .field(QStringLiteral("StartedOn"), Type::Date())
            .field(QStringLiteral("StartedAt"), Type::Time())
            .field(QStringLiteral("SeenOn"), Type::Date())
            .field(QStringLiteral("SeenAt"), Type::Time())
            // "Running" while the run works; "Stored" once its result is committed and only the
            // moves of its files are left to do.
            .field(QStringLiteral("State"), Type::CString(11));
        t.key(QStringLiteral("OWNERKEY"), { QStringLiteral("Owner") }, true)
            .key(QStringLiteral("REQUESTKEY"), { QStringLiteral("RequestTable"), QStringLiteral("RequestID") }, true)
            .key(QStringLiteral("SESSIONKEY"), { QStringLiteral("Session") });
    }
    {
        auto t = b.table(QStringLiteral("wc_claimitems"), QStringLiteral("WCLI"));
        // Kind "Row": the row of ItemTable whose primary key is ItemKey, with the rows that belong
        // to it. "File": a file the run wrote at Path. "Move": Path is to become Target once the
        // run's result is stored. "Set": the run changed field Path of the row; Target holds the
        // value it had and the value written. "Gone": the run deleted the row; Saved holds its
        // fields. Saved also takes a Set's values when they are too long for Target.
        t.field(QStringLiteral("Owner"), Type::CString(41))
            .field(QStringLiteral("Seq"), Type::Long())
            .field(QStringLiteral("Kind"), Type::CString(5))
            .field(QStringLiteral("ItemTable"), Type::CString(31))
            .field(QStringLiteral("ItemKey"), Type::Long())
            .field(QStringLiteral("Path"), Type::CString(1025))
            .field(QStringLiteral("Target"), Type::CString(1025))
            .field(QStringLiteral("Saved"), Type::Text());
        t.key(QStringLiteral("OWNERSEQKEY"), { QStringLiteral("Owner"), QStringLiteral("Seq") }, true);
    }
}

} // namespace bizlib
