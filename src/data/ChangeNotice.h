#pragma once

#include "bizlib/NetRefresh.h"

#include <QString>

namespace data {

// The change notices between workstations: every console of a company watches one channel, named
// after the program and the two-digit company number.
inline QString changeNoticeChannel(qint32 companyNo)
{
    return QStringLiteral("NetRefreshwebconsole%1").arg(companyNo, 2, 10, QChar(u'0'));
}

// Tells the other workstations of the company that data changed. A failure only delays their
// refresh until their own timer runs, so it is not reported.
inline void sendChangeNotice(bizlib::Database &db, qint32 companyNo)
{
    bizlib::NetRefresh(db, changeNoticeChannel(companyNo)).notify();
}

} // namespace data
