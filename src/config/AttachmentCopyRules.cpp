#include "config/AttachmentCopyRules.h"

#include "bizlib/MainLibrary.h"
#include "config/IniFile.h"

namespace config {

bizlib::LocalFileCopy attachmentCopyRules(const IniFile &localIni, const QString &globalData, const QString &localData)
{
    bizlib::LocalFileCopy rules;
    for (const QString &f : { globalData, localData })
        if (!f.trimmed().isEmpty())
            rules.allowedFolders << bizlib::MainLibrary::localPath(f.trimmed());
    const QString section = QStringLiteral("WebConsole");
    for (const QString &f : localIni.text(section, QStringLiteral("AttachmentFolders")).split(u';', Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty())
            rules.allowedFolders << bizlib::MainLibrary::localPath(f.trimmed());
    const qint64 mb = localIni.number(section, QStringLiteral("AttachmentMaxMB"), rules.maxBytes / (1024 * 1024));
    if (mb > 0)
        rules.maxBytes = mb * 1024 * 1024;
    return rules;
}

} // namespace config
