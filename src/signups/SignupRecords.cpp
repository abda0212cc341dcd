#include "signups/SignupRecords.h"

#include "bizlib/Dictionary.h"

namespace signups {

SignupRecords SignupRecords::cleared()
{
    const bizlib::Dictionary &d = bizlib::Dictionary::instance();
    SignupRecords r;
    r.signup = bizlib::Record(d.require(QStringLiteral("WebSignup")));
    r.client = bizlib::Record(d.require(QStringLiteral("Clients")));
    r.clientAlias = r.client;
    r.contact = bizlib::Record(d.require(QStringLiteral("Contacts")));
    r.contactAlias = r.contact;
    r.office = bizlib::Record(d.require(QStringLiteral("Offices")));
    r.officeAlias = r.office;
    r.webOrder = bizlib::Record(d.require(QStringLiteral("WebOrders")));
    return r;
}

namespace SignupRules {

QString clipped(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == u' ')
        --n;
    return text.left(n);
}

bool isB2C(const bizlib::Record &signup)
{
    return clipped(signup.text("Source")).toUpper() == QLatin1String("B2C");
}

bool isB2CExact(const bizlib::Record &signup)
{
    return clipped(signup.text("Source")) == QLatin1String("B2C");
}

bool platformGrantsAccess(const bizlib::Record &signup)
{
    const QString platform = clipped(signup.text("Platform")).toUpper();
    return platform.isEmpty() || platform == QLatin1String("BO");
}

bool exportsXml(const bizlib::Record &signup)
{
    const QString platform = clipped(signup.text("Platform"));
    return !platform.isEmpty() && platform != QLatin1String("BO");
}

} // namespace SignupRules

} // namespace signups
