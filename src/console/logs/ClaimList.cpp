#include "console/logs/ClaimList.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/security/Security.h"

#include <QUuid>

namespace console {

using bizlib::Status;

namespace {

struct Kind
{
    const char *table;
    const char *name;
    const char *reference;
};
const Kind kKinds[] = {
    { "WebQuotes", "Quote request", "Number" },
    { "WebOrders", "Web order", "Number" },
    { "WebSignup", "Sign-up", "Company" },
    { "SignupEmail", "Sign-up e-mail address", nullptr }, // held beside its sign-up while it is processed
};

} // namespace

ClaimList::ClaimList(bizlib::Database &db, QStringList dataFolders, int staleMinutes)
    : m_db(db)
    , m_cleanup(db, std::move(dataFolders), staleMinutes)
{ }

Status ClaimList::read(QList<Row> *rows)
{
    QList<data::ClaimHolder> holders;
    Status st = data::ClaimBook(m_db).all(&holders);
    if (!st)
        return st;
    const qint32 today = bizlib::DateTime::today();
    const qint32 now = bizlib::DateTime::now();
    rows->clear();
    for (const data::ClaimHolder &h : std::as_const(holders)) {
        Row r { h, h.requestTable, {}, m_cleanup.isStale(h, today, now) };
        for (const Kind &k : kKinds) {
            if (h.requestTable.compare(QLatin1String(k.table), Qt::CaseInsensitive) != 0)
                continue;
            r.kind = tr(k.name);
            if (!k.reference)
                continue;
            bizlib::Table t(m_db, QString::fromLatin1(k.table));
            bizlib::Record request = t.newRecord();
            if (t.fetch(t.def().primary().name, { h.requestId }, request))
                r.reference = request.text(QLatin1String(k.reference)).trimmed();
        }
        rows->append(r);
    }
    return Status::ok();
}

bool ClaimList::mayRelease(bizlib::Database &db, qint32 userId)
{
    return userId > 0 && bizlib::security::Security(db).hasRight(userId, bizlib::security::Security::kRightMarkOrdersPaid);
}

ClaimList::Release ClaimList::release(
    const data::ClaimHolder &seen, bool allowed, bizlib::Prompter &prompter, QString *message)
{
    if (!allowed) {
        *message = tr("You may not release claims.");
        return Release::Refused;
    }
    if (!m_cleanup.isStale(seen, bizlib::DateTime::today(), bizlib::DateTime::now())) {
        *message = tr("The claim is live: %1 is working on it.").arg(seen.describe());
        return Release::NotStale;
    }
    if (!prompter.askYesNo(tr("Release the request held by %1? What its run made is removed and the request "
                              "waits again.")
                               .arg(seen.describe()),
            tr("Release claim"), false)) {
        *message = QString();
        return Release::Cancelled;
    }
    // The claim is handed to a token of this release, only while it is as seen; a holder that
    // came back meanwhile keeps it.
    data::ClaimHolder fenced = seen;
    fenced.owner = QStringLiteral("release-") + QUuid::createUuid().toString(QUuid::Id128).left(24);
    Status st;
    {
        bizlib::Transaction tx(m_db);
        st = tx.status();
        if (st)
            st = data::ClaimBook(m_db).fence(seen, fenced.owner);
        if (st)
            st = tx.commit();
    }
    if (st.isNotFound()) {
        *message = tr("The claim was seen again, taken over or released meanwhile; it is left as it is.");
        return Release::Gone;
    }
    data::ClaimCleanup::Report report;
    if (st)
        st = m_cleanup.cleanUp(fenced, &report);
    if (!st) {
        *message = st.message();
        return st.isNotFound() ? Release::Gone : Release::Failed;
    }
    *message = report.summary();
    return Release::Released;
}

} // namespace console
