#include "bizlib/DataLibrary.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"

namespace bizlib {

DataLibrary::DataLibrary(Database &db, const Session &session)
    : m_db(db), m_session(session)
{
}

Status DataLibrary::webTask(const params::WebTaskParams &request, Record *created)
{
    Table tasks(m_db, QStringLiteral("WebTask"));
    Record task;
    Status st = tasks.prime(task);
    if (!st)
        return st;
    const qint32 id = task.toLong("WebTaskID");
    const params::RecordLayout &layout = request.layout();
    for (int p = 0; p < layout.fieldCount(); ++p) {
        const params::ParamField &f = layout.field(p);
        const QLatin1StringView name(f.name.data(), static_cast<qsizetype>(f.name.size()));
        const int i = task.table().fieldIndex(QString(name));
        if (i < 0 || f.count != 1)
            continue;
        if (f.isText())
            task.setText(i, request.text(name));
        else if (f.isInteger())
            task.setLong(i, request.toLong(name));
    }
    task.setLong("WebTaskID", id);
    task.setLong("TaskDate", DateTime::today());
    task.setLong("TaskTime", DateTime::now());
    task.setText("TaskUser", m_session.userCode);
    task.setText("Status", QStringLiteral("Pending"));
    task.setLong("Attempts", 0);
    st = tasks.insert(task);
    if (!st) {
        tasks.release(task);
        return st;
    }
    if (created)
        *created = task;
    return Status::ok();
}

} // namespace bizlib
