#pragma once

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/AppContext.h"
#include "signups/SignupProcessing.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>
#include <QVariantMap>

namespace signuptest {

// A business database with what sign-up processing needs: defaults (30 days of web access, payment
// "Credit"), the company in the United Kingdom, countries GB, US and CA, a domain, and an existing
// client "Harbour Lights" (code HARB01, main office HARB01-001) with its contact Jo Marsh.
class SignupTest : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        add("DEFAULTS", { { "WebExpiry", 30 }, { "WebHistory", 80000 }, { "WebNotify", 1 }, { "ShippingDays", 2 },
                            { "Payment", "Credit" }, { "Area", "NORTH" } });
        gb = add("Countries", { { "CountryName", "United Kingdom" }, { "CountryCode", "GB" }, { "IsoCountry", "GB" },
                                  { "Currency", "GBP" } })
                 .toLong("CountryID");
        us = add("Countries", { { "CountryName", "United States" }, { "CountryCode", "US" }, { "IsoCountry", "US" },
                                  { "Currency", "USD" } })
                 .toLong("CountryID");
        add("Currencies", { { "Currency", "GBP" } });
        add("Company", { { "Name", "Print Works" }, { "CountryID", gb }, { "Country", "United Kingdom" },
                           { "Currency", "GBP" } });
        domain = add("Domains", { { "Description", "Shop" }, { "Active", 1 } }).toLong("DomainID");
        add("Users", { { "Initials", "JS" }, { "FullName", "Jane Smith" }, { "Active", 1 } });
        client = add("Clients", { { "Code", "HARB01" }, { "Name", "Harbour Lights" }, { "NameCaps", "HARBOUR LIGHTS" },
                                    { "Payment", "Credit" }, { "Address1", "Quay Street" }, { "CountryID", gb } })
                     .toLong("ClientID");
        office = add("Offices", { { "ClientID", client }, { "Office", "HARB01-001" }, { "Address1", "Quay Street" },
                                    { "Postcode", "YO21 1AA" } })
                     .toLong("OfficeID");
        update("Clients", client, { { "OfficeID", office }, { "InvoiceOffice", "HARB01-001" } });
        contact = add("Contacts", { { "ClientID", client }, { "Name", "Jo Marsh" }, { "Email", "jo@harbour.example" },
                                      { "WebPassword", "old" }, { "Status", "Active" } })
                      .toLong("ContactID");
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.glo.user.userId = 1;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.brevix.globalData = files.path();
    }

    bizlib::Record add(const char *table, const QVariantMap &values)
    {
        bizlib::Table t(db(), QLatin1String(table));
        bizlib::Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r.setValue(it.key(), it.value());
        const bizlib::Status st = t.insert(r);
        EXPECT_TRUE(st.isOk()) << table << ": " << st.message().toStdString();
        return r;
    }

    void update(const char *table, qint32 id, const QVariantMap &values)
    {
        bizlib::Table t(db(), QLatin1String(table));
        bizlib::Record r = fetch(table, id);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r.setValue(it.key(), it.value());
        EXPECT_TRUE(t.update(r).isOk()) << table;
    }

    bizlib::Record fetch(const char *table, qint32 id)
    {
        bizlib::Table t(db(), QLatin1String(table));
        bizlib::Record r = t.newRecord();
        return t.fetch(t.def().primary().name, { id }, r) ? r : bizlib::Record();
    }

    QList<bizlib::Record> rows(const char *table, const char *key = nullptr, const QVariantList &range = {})
    {
        bizlib::Table t(db(), QLatin1String(table));
        bizlib::TableCursor c(t, key ? QLatin1String(key) : t.def().primary().name);
        c.setRange(range);
        QList<bizlib::Record> out;
        bizlib::Record r;
        while (c.next(r))
            out << r;
        return out;
    }

    // A pending sign-up of Sam Lee (sam@lee.example) of "Lee Graphics" from the own portal.
    qint32 addSignup(const QVariantMap &more = {})
    {
        QVariantMap values { { "FullName", "Sam Lee" }, { "FirstName", "Sam" }, { "LastName", "Lee" },
            { "Company", "Lee Graphics" }, { "Address1", "1 Mill Lane" }, { "Town", "Leeds" }, { "Postcode", "LS1 1AA" },
            { "CountryID", gb }, { "Tel", "0113 000" }, { "Email", "sam@lee.example" }, { "Source", "B2B" },
            { "Status", "Pending" }, { "WebPassword", "pw1" }, { "DomainID", domain }, { "DFullName", "Sam Lee" },
            { "DAddress1", "1 Mill Lane" } };
        for (auto it = more.cbegin(); it != more.cend(); ++it)
            values.insert(it.key(), it.value());
        return add("WebSignup", values).toLong("WebSignupID");
    }

    signups::SignupProcessing::Services services()
    {
        signups::SignupProcessing::Services s;
        s.ctx = &ctx;
        s.forms = &forms;
        s.changeNotice = [this] { ++notices; };
        return s;
    }

    QList<bizlib::Record> tasks(const QString &type = {})
    {
        QList<bizlib::Record> out;
        for (const bizlib::Record &t : rows("WebTask"))
            if (type.isEmpty() || t.text("TaskType") == type)
                out << t;
        return out;
    }

    qint64 count(const char *table)
    {
        return rows(table).size();
    }

    QTemporaryDir files;
    testsupport::ScriptedPrompter prompter;
    testsupport::ScriptedForms forms;
    config::AppContext ctx;
    int notices = 0;
    qint32 gb = 0;
    qint32 us = 0;
    qint32 domain = 0;
    qint32 client = 0;
    qint32 office = 0;
    qint32 contact = 0;
};

} // namespace signuptest
