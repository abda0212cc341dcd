#include "quotes/DetachedDownloader.h"

#include <QProcess>

namespace quotes {

bool DetachedDownloader::start(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace quotes
