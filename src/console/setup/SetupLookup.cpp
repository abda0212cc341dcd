#include "console/setup/SetupLookup.h"

#include "bizlib/forms/SelectLibrary.h"

#include <QList>

namespace console {

namespace {

using bizlib::Record;
using bizlib::forms::SelectLibrary;

SetupLookup layout(const char *field, const char *reportType)
{
    const QString type = QString::fromLatin1(reportType);
    return { QString::fromLatin1(field), QStringLiteral("ReportLayouts"), QStringLiteral("LAYOUTIDKEY"),
        QStringLiteral("LayoutID"), QStringLiteral("Description"), type,
        [type](SelectLibrary &l, Record *r) { return l.selectDesign(type, r); } };
}

const QList<SetupLookup> &lookups()
{
    static const QList<SetupLookup> all {
        { QStringLiteral("INI:RFQESTIMATOR"), QStringLiteral("Users"), QStringLiteral("USERKEY"),
            QStringLiteral("Initials"), QStringLiteral("FullName"), {},
            [](SelectLibrary &l, Record *r) { return l.selectUser(r); } },
        { QStringLiteral("INI:SIGNUPACCOUNT"), QStringLiteral("Clients"), QStringLiteral("CODEKEY"),
            QStringLiteral("Code"), QStringLiteral("Name"), {},
            [](SelectLibrary &l, Record *r) { return l.selectClientAlias(r); } },
        { QStringLiteral("INI:VOUCHERCODE"), QStringLiteral("Outwork"), QStringLiteral("CODEKEY"),
            QStringLiteral("Code"), QStringLiteral("Description"), {},
            [](SelectLibrary &l, Record *r) { return l.selectOutwork(r, QStringLiteral("Sundry")); } },
        { QStringLiteral("INI:LOCALDELIVERY"), QStringLiteral("Labour"), QStringLiteral("CODEKEY"),
            QStringLiteral("Code"), QStringLiteral("Description"), {},
            [](SelectLibrary &l, Record *r) { return l.selectLabour(r); } },
        { QStringLiteral("INI:COURIERDELIVERY"), QStringLiteral("Outwork"), QStringLiteral("CODEKEY"),
            QStringLiteral("Code"), QStringLiteral("Description"), {},
            [](SelectLibrary &l, Record *r) { return l.selectOutwork(r, QStringLiteral("Sundry")); } },
        { QStringLiteral("DEF:WEBMARKUP"), QStringLiteral("Markups"), QStringLiteral("MARKUPKEY"),
            QStringLiteral("Markup"), QStringLiteral("Description"), {},
            [](SelectLibrary &l, Record *r) { return l.viewMarkups(r); } },
        layout("INI:QUOTELAYOUT", "Estimates"),
        layout("INI:SERVICEORDERLAYOUT", "Acknowledgements"),
        layout("INI:PRODUCTORDERLAYOUT", "Acknowledgements"),
        layout("INI:PROOFLAYOUT", "Proof notes"),
        layout("INI:DELIVERYLAYOUT", "Delivery notes"),
        layout("INI:INVOICELAYOUT", "Invoices"),
    };
    return all;
}

} // namespace

const SetupLookup *SetupLookup::find(const QString &field)
{
    for (const SetupLookup &l : lookups()) {
        if (l.field.compare(field, Qt::CaseInsensitive) == 0)
            return &l;
    }
    return nullptr;
}

} // namespace console
