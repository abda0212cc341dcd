#include "console/TickRead.h"

#include "bizlib/NetRefresh.h"

namespace console {

namespace {
bizlib::Status readLists(const RequestLists::Read &lists)
{
    return lists.read ? lists.read() : bizlib::Status::ok();
}
} // namespace

void TickRead::run()
{
    asked = QDateTime::currentDateTime();
    if (db) {
        qint64 stamp = 0;
        status = bizlib::NetRefresh(*db, channel).stamp(&stamp);
        if (!status)
            return;
        before = stamp;
        changed = seen && stamp != *seen;
    }
    if (changed)
        status = readLists(all);
    else if (refreshDue())
        status = readLists(refresh);
    listsRead = changed || refreshDue();
}

} // namespace console
