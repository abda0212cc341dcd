#pragma once

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/mail/MailSender.h"
#include "bizlib/report/PdfQuotes.h"
#include "config/AppContext.h"
#include "config/FrameEvents.h"
#include "quotes/AttachmentDownloader.h"
#include "quotes/QuoteProcessing.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QVariantMap>

namespace quotetest {

// The downloader's command lines, without running anything.
class RecordingDownloader : public quotes::AttachmentDownloader
{
public:
    QList<QStringList> started;
    bool start(const QString &, const QStringList &arguments) override
    {
        started << arguments;
        return true;
    }
};

// The frame as the processing window sees it: the toolbox requests it got, and whether a
// request starts the toolbox (sets the context's thread number) at once.
class FakeFrame : public config::FrameEvents
{
public:
    explicit FakeFrame(config::AppContext &ctx)
        : m_ctx(ctx)
    { }
    QList<int> posted;
    QObject toolboxWindow;
    bool startsToolbox = false;
    void postEvent(int event) override
    {
        posted << event;
        if (startsToolbox) {
            m_ctx.glo.phraseToolboxThread = 42;
            m_ctx.glo.phraseToolbox = &toolboxWindow;
        }
    }

private:
    config::AppContext &m_ctx;
};

// A business database with what quote processing needs: the system record (last quote number
// 24100), defaults, a 20% tax rate "S", users JS (logged on) and AB (rep), a client with a contact
// and an office, the specification tabs, and a template quote with two workings lines. Requests
// are added per test. E-mail goes to a local SMTP sink; files to a temporary data folder.
class QuoteTest : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        add("SYCONF", { { "LastQuoteNo", 24100 }, { "Email", "system@print.example" } });
        add("DEFAULTS", { { "QuoteStatus", "New" } });
        add("TaxRates", { { "TaxCode", "S" }, { "TaxType", "Sales" }, { "TaxRate", "20" }, { "GTaxRate", "20" } });
        userJs = add("Users",
            { { "Initials", "JS" }, { "FullName", "Jane Smith" }, { "Email", "js@print.example" }, { "Active", 1 } })
                     .toLong("UserID");
        add("Users",
            { { "Initials", "AB" }, { "FullName", "Alan Bright" }, { "Email", "ab@print.example" },
                { "RepCode", "R-AB" }, { "IsRep", 1 }, { "Active", 1 } });
        client = add("Clients",
            { { "Code", "HARB01" }, { "Name", "Harbour Lights" }, { "Rep", "AB" }, { "TaxCode", "S" },
                { "Address1", "Quay Street" }, { "Town", "Whitby" }, { "CountryCode", "GB" } })
                     .toLong("ClientID");
        contact = add("Contacts", { { "ClientID", client }, { "Name", "Jo Marsh" }, { "Email", "jo@client.example" } })
                      .toLong("ContactID");
        office = add("Offices",
            { { "ClientID", client }, { "Office", "HARB01-001" }, { "Address1", "1 Dock Road" },
                { "Town", "Scarborough" } })
                     .toLong("OfficeID");
        for (const char *name : { "Size", "Printing", "Prepress", "Notes", "Size extra" })
            tabs.insert(QLatin1String(name), add("Tabs", { { "Name", name }, { "SpecSection", 1 } }).toLong("TabID"));
        tabs.insert(
            QStringLiteral("Other"), add("Tabs", { { "Name", "Other" }, { "SpecSection", 0 } }).toLong("TabID"));
        templateId = add("Quotes",
            { { "Number", 24001 }, { "Title", "Leaflets template" }, { "IsTemplate", 1 }, { "Website", 1 },
                { "MarkupMethod", "Percent" }, { "Quantity1", 1000 }, { "QuantityText1", "1,000 leaflets" } })
                         .toLong("QuoteID");
        add("QuoteWorkings",
            { { "QuoteID", templateId }, { "Sequence", 10 }, { "Type", "M" }, { "Code", "PAPER" },
                { "Quantity", "1000" }, { "UnitCost", "0.05" }, { "MarkupPercent", "50" } });
        add("QuoteWorkings",
            { { "QuoteID", templateId }, { "Sequence", 20 }, { "Type", "L" }, { "Code", "PRESS" }, { "Quantity", "2" },
                { "UnitCost", "40" }, { "MarkupPercent", "25" }, { "PricingBasis", "Fix" } });
        add("QuoteQuantities", { { "QuoteID", templateId }, { "QuantityIndex", 1 }, { "Quantity", 1000 } });

        ASSERT_TRUE(sink.start());
        mailSettings.transport = QStringLiteral("SMTP");
        mailSettings.server = QStringLiteral("127.0.0.1");
        mailSettings.port = QString::number(sink.port());
        mailSettings.from = QStringLiteral("console@print.example");
        mailSettings.outboxFolder = files.filePath(QStringLiteral("outbox"));
        mail = std::make_unique<bizlib::mail::MailSender>(mailSettings, nullptr, &prompter);
        documents = std::make_unique<bizlib::PdfQuotes>(db());

        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.frame = &frame;
        ctx.glo.user.userId = userJs;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.glo.user.userName = QStringLiteral("Jane Smith");
        ctx.brevix.globalData = files.filePath(QStringLiteral("data"));
        ctx.settings.quotePhrases = false;
        ctx.settings.autoEmailRep = true;
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

    // A pending template request of the client with two tab texts, a web note and, with
    // `localFile`, an attachment whose source is a file on this machine plus one on the website.
    qint32 addRequest(const QVariantMap &more = {}, bool localFile = false)
    {
        QVariantMap values { { "Number", 1001 }, { "WebID", 58001 }, { "ClientID", client }, { "ContactID", contact },
            { "OfficeID", office }, { "Contact", "Jo Marsh" }, { "Title", "A5 flyers" }, { "Quantity1", 2500 },
            { "TemplateID", templateId }, { "WebCalc", 1 }, { "Status", "Pending" }, { "Rep", "AB" } };
        for (auto it = more.cbegin(); it != more.cend(); ++it)
            values.insert(it.key(), it.value());
        const qint32 id = add("WebQuotes", values).toLong("QuoteID");
        add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Size") }, { "Text", "A5" } });
        add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Prepress") }, { "Text", "Plates" } });
        add("WebNotes", { { "QuoteID", id }, { "ParentType", "QTE" }, { "ParentID", id }, { "Notes", "Rush" } });
        if (localFile) {
            // Where the web monitor leaves uploaded files: a folder that processing may copy from.
            const QString source = uploadedFile();
            QDir().mkpath(QFileInfo(source).absolutePath());
            QFile f(source);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write("%PDF-1.4 artwork") > 0);
            const qint32 webId = values.value("WebID").toInt();
            add("WebAttachments",
                { { "QuoteID", id }, { "SourceName", source }, { "SourceFile", "art.pdf" },
                    { "Filename", QStringLiteral("%1_art.pdf").arg(webId) } });
            add("WebAttachments",
                { { "QuoteID", id }, { "SourceName", "https://print.example/up/logo.png" },
                    { "SourceFile", "logo.png" }, { "Filename", QStringLiteral("%1_logo.png").arg(webId) } });
            bizlib::Table requests(db(), QStringLiteral("WebQuotes"));
            bizlib::Record r = fetch("WebQuotes", "QUOTEIDKEY", id);
            r.setLong("HasAttachments", 1);
            EXPECT_TRUE(requests.update(r).isOk());
        }
        return id;
    }

    bizlib::Record fetch(const char *table, const char *key, qint32 id)
    {
        bizlib::Table t(db(), QLatin1String(table));
        bizlib::Record r = t.newRecord();
        return t.fetch(QLatin1String(key), { id }, r) ? r : bizlib::Record();
    }

    QList<bizlib::Record> rows(const char *table, const char *key, const QVariantList &range)
    {
        bizlib::Table t(db(), QLatin1String(table));
        bizlib::TableCursor c(t, QLatin1String(key));
        c.setRange(range);
        QList<bizlib::Record> out;
        bizlib::Record r;
        while (c.next(r))
            out << r;
        return out;
    }

    quotes::QuoteProcessing::Services services(bool withDocuments = false)
    {
        quotes::QuoteProcessing::Services s;
        s.ctx = &ctx;
        s.forms = &forms;
        s.mail = mail.get();
        s.downloader = &downloader;
        s.changeNotice = [this] { ++notices; };
        if (withDocuments)
            s.documents = documents.get();
        return s;
    }

    // Runs the processing as the window does; the response.
    bizlib::forms::Response process(qint32 requestId, bool automatic, bool isRfq = false)
    {
        quotes::QuoteProcessing p(services(), fetch("WebQuotes", "QUOTEIDKEY", requestId), automatic, isRfq);
        if (!p.open())
            return p.response();
        EXPECT_TRUE(p.mayStart());
        return p.run();
    }

    QString uploadedFile() const { return QDir(ctx.brevix.globalData).filePath(QStringLiteral("uploads/art.pdf")); }

    QString dataFile(const QString &name) const
    {
        return QDir(ctx.brevix.globalData).filePath(QStringLiteral("quotes/") + name);
    }

    QTemporaryDir files;
    testsupport::ScriptedPrompter prompter;
    testsupport::ScriptedForms forms;
    testsupport::SmtpSink sink;
    bizlib::mail::MailSettings mailSettings;
    std::unique_ptr<bizlib::mail::MailSender> mail;
    std::unique_ptr<bizlib::PdfQuotes> documents;
    RecordingDownloader downloader;
    config::AppContext ctx;
    FakeFrame frame { ctx };
    int notices = 0;
    qint32 userJs = 0;
    qint32 client = 0;
    qint32 contact = 0;
    qint32 office = 0;
    qint32 templateId = 0;
    QHash<QString, qint32> tabs;
};

} // namespace quotetest
