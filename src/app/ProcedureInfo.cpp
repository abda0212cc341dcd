#include "app/ProcedureInfo.h"

#include <QDateTime>
#include <QFileInfo>

namespace app {

QString procedureInfoText(const QString &procedure, const QString &programPath)
{
    const QFileInfo program(programPath);
    const QString stamp = QStringLiteral("dd/MM/yyyy HH:mm");
    const QString built = QStringLiteral(__DATE__ " " __TIME__).simplified();
    QString kind = QStringLiteral("Application");
    if (programPath.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive)
        || programPath.endsWith(QLatin1String(".so"), Qt::CaseInsensitive))
        kind = QStringLiteral("DLL");
    else if (programPath.endsWith(QLatin1String(".lib"), Qt::CaseInsensitive)
             || programPath.endsWith(QLatin1String(".a"), Qt::CaseInsensitive))
        kind = QStringLiteral("Library");
    QStringList lines;
    lines << QStringLiteral("Procedure:\t") + procedure << QStringLiteral("Help ID\t") + procedure
          << QStringLiteral("Created  On\t") + program.birthTime().toString(stamp)
          << QStringLiteral("Modified On\t") + program.lastModified().toString(stamp)
          << QStringLiteral("Compiled On\t") + built << kind + u'\t' + program.fileName();
    return lines.join(u'\n');
}

} // namespace app
