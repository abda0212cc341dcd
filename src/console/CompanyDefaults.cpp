#include "console/CompanyDefaults.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <type_traits>

namespace console {

namespace {

bizlib::Status firstRow(bizlib::Table &table, const QString &key, bizlib::Record *row)
{
    bizlib::TableCursor cursor(table, key);
    *row = table.newRecord();
    return cursor.next(*row);
}

} // namespace

bizlib::Status CompanyDefaults::read(bizlib::Database &db, CompanyDefaults *out)
{
    bizlib::Table table(db, QStringLiteral("DEFAULTS"));
    bizlib::Record r;
    const bizlib::Status st = firstRow(table, QStringLiteral("DEFAULTSIDKEY"), &r);
    if (st.isError())
        return st;
    if (st.isNotFound())
        r = table.newRecord();
    out->webMarkup = r.text("WebMarkup");
    out->webExpiry = r.toLong("WebExpiry");
    out->webEnable = r.toLong("WebEnable") != 0;
    out->webNotify = r.toLong("WebNotify") != 0;
    out->webHistory = r.toLong("WebHistory");
    out->gatewayType = r.text("GatewayType");
    out->gatewayUrl = r.text("GatewayURL");
    out->gatewayId = r.text("GatewayID");
    out->gatewayMode = r.text("GatewayMode");
    return st;
}

bizlib::Status CompanyDefaults::write(bizlib::Database &db, const CompanyDefaults &v, const CompanyDefaults *asRead)
{
    bizlib::Table table(db, QStringLiteral("DEFAULTS"));
    bizlib::Record r;
    bizlib::Status st = firstRow(table, QStringLiteral("DEFAULTSIDKEY"), &r);
    if (st.isError())
        return st;
    const bool exists = st.isOk();
    if (!exists && !(st = table.prime(r)))
        return st;
    const auto put = [&](auto member, const char *field) {
        if (asRead && exists && asRead->*member == v.*member)
            return;
        using T = std::decay_t<decltype(v.*member)>;
        if constexpr (std::is_same_v<T, QString>)
            r.setText(QString::fromLatin1(field), v.*member);
        else
            r.setLong(QString::fromLatin1(field), v.*member);
    };
    put(&CompanyDefaults::webMarkup, "WebMarkup");
    put(&CompanyDefaults::webExpiry, "WebExpiry");
    put(&CompanyDefaults::webEnable, "WebEnable");
    put(&CompanyDefaults::webNotify, "WebNotify");
    put(&CompanyDefaults::webHistory, "WebHistory");
    put(&CompanyDefaults::gatewayType, "GatewayType");
    put(&CompanyDefaults::gatewayUrl, "GatewayURL");
    put(&CompanyDefaults::gatewayId, "GatewayID");
    put(&CompanyDefaults::gatewayMode, "GatewayMode");
    if (exists)
        return table.update(r);
    st = table.insert(r);
    if (!st)
        table.release(r);
    return st;
}

qint32 CompanyDefaults::systemRecordId(bizlib::Database &db)
{
    bizlib::Table table(db, QStringLiteral("SYCONF"));
    bizlib::Record r;
    return firstRow(table, QStringLiteral("SYCONFIDKEY"), &r) ? r.toLong("SyconfID") : 0;
}

} // namespace console
