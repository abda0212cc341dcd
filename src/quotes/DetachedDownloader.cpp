#include "quotes/DetachedDownloader.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace quotes {

bool DetachedDownloader::start(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!m_workstationIni.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("WEBCONSOLE_INI"), m_workstationIni);
        process.setProcessEnvironment(env);
    }
    return process.startDetached();
}

} // namespace quotes
