#pragma once

#include <QString>

namespace config {

// The e-mail server settings of the company defaults record, which the workstation's e-mail
// keys of the same names take when they are absent from the local INI file.
struct CompanyMailDefaults
{
    QString emailServer;
    QString emailPort;
    QString emailHelo;
    QString emailFrom;
    QString emailEncryption;
    qint32 emailServerTimeout = 0;
    QString emailUsername;
    QString emailPassword;
};

} // namespace config
