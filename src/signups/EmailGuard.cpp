#include "signups/EmailGuard.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "data/ClaimCleanup.h"
#include "signups/SignupRecords.h"

#include <QCryptographicHash>

namespace signups {

using bizlib::Status;

EmailGuard::EmailGuard(bizlib::Database &db, QString email, QString owner, QString userCode)
    : m_db(db)
    , m_email(SignupRules::clipped(email).trimmed().toLower())
    , m_owner(std::move(owner))
    , m_userCode(std::move(userCode))
{ }

EmailGuard::~EmailGuard()
{
    release();
}

qint32 EmailGuard::keyOf(const QString &email)
{
    const QByteArray digest
        = QCryptographicHash::hash(SignupRules::clipped(email).trimmed().toLower().toUtf8(), QCryptographicHash::Sha256);
    const quint32 n = (quint32(quint8(digest[0])) << 24) | (quint32(quint8(digest[1])) << 16)
        | (quint32(quint8(digest[2])) << 8) | quint32(quint8(digest[3]));
    return qint32(n & 0x7fffffff) | 1; // never 0, which names no request
}

Status EmailGuard::take(const QString &replacedOwner)
{
    if (m_held || m_email.isEmpty())
        return Status::ok();
    const data::ClaimSession &self = data::ClaimSession::thisProcess();
    data::ClaimHolder mine;
    mine.owner = m_owner;
    mine.requestTable = QString::fromLatin1(kTable);
    mine.requestId = keyOf(m_email);
    mine.session = self.session;
    mine.workstation = self.workstation;
    mine.processId = self.processId;
    mine.userCode = m_userCode.left(3);
    mine.startedOn = mine.seenOn = bizlib::DateTime::today();
    mine.startedAt = mine.seenAt = bizlib::DateTime::now();
    mine.state = QString::fromLatin1(data::ClaimHolder::kRunning);
    data::LiveClaims::add(m_owner);
    data::ClaimBook book(m_db);
    for (int attempt = 0; attempt < 3; ++attempt) {
        Status st = book.insert(mine);
        if (st) {
            m_held = true;
            return st;
        }
        if (!st.isDuplicate())
            break;
        data::ClaimHolder holder;
        st = book.holderOf(mine.requestTable, mine.requestId, &holder);
        if (st.isNotFound())
            continue; // given back meanwhile
        if (!st)
            break;
        if (!replacedOwner.isEmpty() && holder.owner == replacedOwner + QLatin1Char('@')) {
            if ((st = book.takeOver(holder.owner, mine))) {
                m_held = true;
                return st;
            }
            continue;
        }
        data::ClaimCleanup cleanup(m_db, {}, m_db.config().claimTimeout);
        if (cleanup.isStale(holder, bizlib::DateTime::today(), bizlib::DateTime::now())) {
            cleanup.cleanUp(holder, nullptr);
            continue;
        }
        m_other = holder;
        data::LiveClaims::remove(m_owner);
        return Status::notFound(
            QStringLiteral("Another sign-up of %1 is being processed by %2; process this one when that is done.")
                .arg(m_email, holder.describe()));
    }
    data::LiveClaims::remove(m_owner);
    return Status::error(QStringLiteral("The e-mail address %1 could not be reserved for this sign-up.").arg(m_email));
}

void EmailGuard::release()
{
    if (!m_held)
        return;
    data::ClaimBook(m_db).close(m_owner);
    m_held = false;
    data::LiveClaims::remove(m_owner);
}

} // namespace signups
