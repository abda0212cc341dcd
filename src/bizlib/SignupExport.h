#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QString>

namespace bizlib {

// OUTPUTSIGNUPXML: writes a web sign-up as an XML file for the platform it came from (sign-ups
// that arrived by XML transfer are answered the same way, accepted or rejected).
//
// The file goes into the folder "signups" of the GlobalData folder (made when missing), under the
// name given, or "signup-<WebSignupID>.xml" for an empty name; an existing file of that name is
// replaced. The file is written whole or not at all (a temporary file renamed into place).
//
// The document (UTF-8):
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <WebSignup version="1" id="123" status="Accepted">
//     <FullName>Jo Marsh</FullName>
//     <Company>Harbour Lights</Company>
//     ...                      one element per field of the sign-up, named as the field, in the
//                              order of the table; texts trimmed; DATE fields as yyyy-MM-dd and
//                              TIME fields as HH:mm:ss (empty when not set); numbers in decimal
//   </WebSignup>
//
// The credential chosen on the website (WebPassword) is never written.
class SignupExport
{
public:
    // `globalData`: the GlobalData folder. `signup`: the WebSignup record as stored. `showErrors` is
    // the library's second argument (0 for the console's calls); this implementation reports
    // through the returned status only. *written (if given) is the file's path.
    static Status outputSignupXml(const QString &globalData, const Record &signup, const QString &name = {},
        int showErrors = 0, QString *written = nullptr);

    static QString folderName() { return QStringLiteral("signups"); }
    static QString defaultName(qint32 signupId) { return QStringLiteral("signup-%1.xml").arg(signupId); }
};

} // namespace bizlib
