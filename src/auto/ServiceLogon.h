#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace config {
struct AppContext;
}

namespace autorun {

// How webconsole-auto logs on: as the user named in the workstation INI file's own section
//   [AutoProcessing]
//   User=JS
//   PasswordFile=auto.password   ; relative to the INI file's folder
// with the password on the first line of a file that only its owner may read.
class ServiceLogon
{
public:
    static constexpr const char *kSection = "AutoProcessing";

    // The password in `path`. Error when the file is missing, no regular file, empty, or may be
    // read by its group or by others (it is not read then).
    static bizlib::Status readPassword(const QString &path, QString *password);

    // Reads the section of ctx.paths.localIni, checks the password file and logs the user on:
    // ctx.glo.user holds the user afterwards. Error with what to mend otherwise.
    static bizlib::Status logOn(config::AppContext &ctx);
};

} // namespace autorun
