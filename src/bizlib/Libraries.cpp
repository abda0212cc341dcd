#include "bizlib/Libraries.h"

#include "bizlib/Database.h"

namespace bizlib {

const QStringList &Libraries::names()
{
    static const QStringList n{QStringLiteral("DATA"),  QStringLiteral("MAIN"),   QStringLiteral("ORDER"),
                               QStringLiteral("QUOTE"), QStringLiteral("REPORT"), QStringLiteral("STOCK")};
    return n;
}

Libraries::Libraries(Database &db)
    : m_db(db)
{
}

Status Libraries::init()
{
    for (const QString &name : names()) {
        if (m_initialised.contains(name))
            continue;
        if (name == QLatin1String("DATA")) {
            const Status st = m_db.exec(QStringLiteral("SELECT 1"));
            if (!st) {
                kill();
                return Status::error(QStringLiteral("DATA:INIT: %1").arg(st.message()));
            }
        }
        m_initialised << name;
        m_log << name + QStringLiteral(":INIT");
    }
    return Status::ok();
}

void Libraries::kill()
{
    for (const QString &name : names())
        if (m_initialised.removeOne(name))
            m_log << name + QStringLiteral(":KILL");
}

} // namespace bizlib
