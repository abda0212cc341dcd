#include "config/BizlibSystemTables.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

namespace config {

std::optional<CompanyMailDefaults> BizlibSystemTables::readCompanyDefaults()
{
    bizlib::Table table(m_db, QStringLiteral("DEFAULTS"));
    bizlib::TableCursor cursor(table, QStringLiteral("DEFAULTSIDKEY"));
    bizlib::Record record = table.newRecord();
    if (!cursor.next(record).isOk())
        return std::nullopt;
    return mailDefaultsOf(record);
}

CompanyMailDefaults BizlibSystemTables::mailDefaultsOf(const bizlib::Record &record)
{
    CompanyMailDefaults mail;
    mail.emailServer = record.text(QStringLiteral("EmailServer"));
    mail.emailPort = record.text(QStringLiteral("EmailPort"));
    mail.emailHelo = record.text(QStringLiteral("EmailHelo"));
    mail.emailFrom = record.text(QStringLiteral("EmailFrom"));
    mail.emailEncryption = record.text(QStringLiteral("EmailEncryption"));
    mail.emailServerTimeout = record.toLong(QStringLiteral("EmailServerTimeout"));
    mail.emailUsername = record.text(QStringLiteral("EmailUsername"));
    mail.emailPassword = record.text(QStringLiteral("EmailPassword"));
    return mail;
}

void BizlibSystemTables::readBrevixRecord()
{
    bizlib::Table table(m_db, QStringLiteral("BREVIX"));
    bizlib::TableCursor cursor(table, QStringLiteral("BREVIXIDKEY"));
    m_brevix = table.newRecord();
    if (!cursor.next(m_brevix).isOk())
        m_brevix = table.newRecord();
}

} // namespace config
