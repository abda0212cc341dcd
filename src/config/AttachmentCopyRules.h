#pragma once

#include "bizlib/LocalFileCopy.h"

namespace config {

class IniFile;

// What local files named by the website may be copied on this workstation (by quote processing
// into the data folder, by the attachment downloader into the hot folders): regular files inside
// the data folders (`globalData`, `localData`) or a folder listed under "AttachmentFolders"
// (separated by ";") in section "WebConsole" of the workstation INI file, of at most
// "AttachmentMaxMB" megabytes (100 when not set).
bizlib::LocalFileCopy attachmentCopyRules(const IniFile &localIni, const QString &globalData, const QString &localData);

} // namespace config
