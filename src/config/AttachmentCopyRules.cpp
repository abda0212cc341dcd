#include "config/AttachmentCopyRules.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/MainLibrary.h"
#include "config/IniFile.h"

namespace config {

bizlib::LocalFileCopy attachmentCopyRules(const IniFile &localIni, const QString &globalData, const QString &localData)
{
    bizlib::LocalFileCopy rules;
    rules.allowedFolders = bizlib::AttachmentFiles::dataFolders(globalData, localData);
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
