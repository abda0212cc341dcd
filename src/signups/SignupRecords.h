#pragma once

#include "bizlib/Record.h"

#include <QList>
#include <QString>

namespace signups {

// The records one sign-up is worked on with, each the current row of its table (an empty record
// of the table when there is none): what the business library calls the record buffers, kept per
// window instead of per thread so that nothing of an earlier window or order is read by mistake.
struct SignupRecords
{
    bizlib::Record signup; // WSUP: the sign-up being processed
    bizlib::Record client; // CLI: the account being completed
    bizlib::Record clientAlias; // CLIA: the account the wizard proposes or the list shows
    bizlib::Record contact; // CON: the sign-up's contact
    bizlib::Record contactAlias; // CONA: the delivery contact (or a contact found by name)
    bizlib::Record office; // OFF: the contact's office
    bizlib::Record officeAlias; // OFFA: the delivery office
    bizlib::Record webOrder; // WORD: the web order whose delivery details are used (may be empty)

    // Every record emptied (records of their tables, all fields cleared).
    static SignupRecords cleared();
};

// What the window keeps while it is open (its LOC: variables).
struct SignupState
{
    static constexpr const char *kNew = "New";
    static constexpr const char *kExisting = "Existing";

    int step = 1; // the wizard step, 1 to 4
    QString method = QString::fromLatin1(kNew);
    QString webStatus = QStringLiteral("Both"); // the client list's filter: "Enabled", "Disabled", "Both"
    qint32 clientId = 0; // the account this window created (0: none)
    qint32 contactId = 0; // the contact chosen or created for the sign-up
    QList<qint32> createdContacts; // kept until the window closes, whatever runs again meanwhile
    QList<qint32> createdOffices;
    bizlib::Record savedClient; // the existing client as it was when the window opened
    bool wasWebEnabled = false; // the chosen client's web access before this window changed it
    bool contactConfirmed = false;
    bool officeFound = false;
    QString searchName;
    int searchLength = 0;
};

// The rules that depend on where a sign-up came from.
namespace SignupRules {

// Text without trailing blanks, as the business system compares texts.
QString clipped(const QString &text);
// A consumer who registered while ordering: the source, upper-cased, is "B2C".
bool isB2C(const bizlib::Record &signup);
// The same with the source exactly "B2C" (the rules that the system compares as typed).
bool isB2CExact(const bizlib::Record &signup);
// Web access is granted only to sign-ups of the system's own portal: the sign-up's platform,
// upper-cased, is blank or "BO".
bool platformGrantsAccess(const bizlib::Record &signup);
// A sign-up of another platform ("XMLTFR" ...) is answered with an XML export (exact text).
bool exportsXml(const bizlib::Record &signup);

} // namespace SignupRules

} // namespace signups
