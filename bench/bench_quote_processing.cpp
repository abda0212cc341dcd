// Automatic processing of website-priced template quote requests (claim, convert, price, number,
// store, delete the request; no quote letter, no e-mail) against the same reads, inserts and
// deletes done with plain prepared SQL statements, on SQLite and on PostgreSQL (when
// WEBCONSOLE_TEST_PG names a server). Both keep the claim's holder in wc_claims as the program
// does. Prints quotes per second of both and their ratio; goal: the program within 2.5 times the
// plain statements.
//
// BM_Process_AutoOnce runs webconsole-auto --once, a process of its own with its start-up and
// logon, on 1,000 waiting requests, twice:
// - with the quote letters (second argument 1), against the plain statements plus the same letter
//   drawn once the plainest way: its rows read with plain statements, the same HTML printed once by
//   QTextDocument::print() on a QPdfWriter into a file of its own, with the letter's typeface as
//   the default font as the program has it (BM_Process_RawSqlLetter). That benchmark fails unless
//   its HTML of the last quote equals the program's letter of that quote; the program's run fails
//   unless it left one PDF file per request processed.
// - without letters (second argument 0), against the plain statements alone. The program has no
//   setting that leaves the letter out, so this workspace's quotes folder is a plain file: the
//   letter of each quote is refused before anything of it is read or drawn, which the program
//   reports beside each quote (the cost of that report is counted). The run fails if it wrote a PDF.
// The workspace sends no e-mail (EmailDisable) and starts no attachment downloader
// (AutoSaveAttachments 0): sending and downloading are the work of other programs, not of the
// conversion, and the plain side does neither.
// Goal for both: webconsole-auto within 3 times its plain side.
// Run: build/bench/bench_quote_processing (add --benchmark_filter=... to pick one).
#include "BenchSize.h"
#include "EngineDatabase.h"
#include "PlainStatements.h"
#include "TimesReporter.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/quote/SpecSections.h"
#include "bizlib/report/QuoteLetter.h"
#include "config/AppContext.h"
#include "config/ConsoleSettingsFile.h"
#include "config/IniFile.h"
#include "demo/DemoData.h"
#include "quotes/QuoteProcessing.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QUuid>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace bizlib;

namespace {

const int kPerRun = benchSize(150); // requests processed by each benchmark

// One business database per engine, with demo data and enough requests for the in-process
// benchmarks: the program takes the first third of the waiting requests, the plain statements the
// second, the plain statements with the letter the last.
struct Fixture : EngineDatabase
{
    QList<qint32> program;
    QList<qint32> raw;
    QList<qint32> rawLetter;

    explicit Fixture(bool postgres)
        : EngineDatabase(postgres)
    {
        if (!skip.isEmpty())
            return;
        if (!demo::DemoData(*db).addTemplateWebQuotes(3 * kPerRun)) {
            skip = QStringLiteral("the demo data could not be written");
            return;
        }
        QSqlQuery q;
        db->exec(QStringLiteral("SELECT \"quoteid\" FROM \"webquotes\" ORDER BY \"quoteid\""), {}, &q);
        while (q.next())
            (program.size() < kPerRun ? program : raw.size() < kPerRun ? raw : rawLetter) << q.value(0).toInt();
    }
};

Fixture &fixture(bool postgres)
{
    if (postgres) {
        static Fixture pg(true);
        return pg;
    }
    static Fixture sqlite(false);
    return sqlite;
}

void BM_Process_Program(benchmark::State &state)
{
    Fixture &f = fixture(state.range(0) != 0);
    if (!f.skip.isEmpty()) {
        state.SkipWithError(qPrintable(f.skip));
        return;
    }
    config::AppContext ctx;
    ctx.db = f.db.get();
    ctx.brevix.globalData = f.dir.filePath(QStringLiteral("data"));
    ctx.settings.quotePhrases = false;
    ctx.settings.autoProcessQuotes = true;
    ctx.glo.user.userCode = QStringLiteral("AB");
    quotes::QuoteProcessing::Services services;
    services.ctx = &ctx;
    services.changeNotice = [] {};
    Table requests(*f.db, QStringLiteral("WebQuotes"));
    int next = 0;
    for (auto _ : state) {
        Record request = requests.newRecord();
        requests.fetch(QStringLiteral("QUOTEIDKEY"), { f.program.value(next++) }, request);
        quotes::QuoteProcessing p(services, request, true, false);
        if (!p.open() || p.run() != forms::Response::Completed) {
            state.SkipWithError(qPrintable(p.lastStatus().message()));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// The plain statements: one prepared statement per kind of read, insert and delete, kept for the
// whole run.
class RawProcessing : public PlainStatements
{
public:
    using PlainStatements::PlainStatements;

    // Converts the request; the quote row stored goes to *made.
    bool process(qint32 requestId, QSqlRecord *made = nullptr)
    {
        // The claim: the status and its holder in one transaction.
        const QString owner = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (!begin())
            return false;
        if (!exec("claim",
                QStringLiteral(
                    "UPDATE \"webquotes\" SET \"status\" = 'Processing', \"address\" = ? WHERE \"quoteid\" = ? "
                    "AND RTRIM(\"status\") <> 'Processing'"),
                { QStringLiteral("Office address"), requestId })
            || !exec("holder",
                QStringLiteral(
                    "INSERT INTO \"wc_claims\" (\"owner\", \"requesttable\", \"requestid\", \"savedstatus\", "
                    "\"session\", \"workstation\", \"usercode\", \"processid\", \"startedon\", "
                    "\"startedat\", \"seenon\", \"seenat\", \"state\") VALUES (?, 'WebQuotes', ?, "
                    "'Pending', 's', 'w', 'JS', 1, 1, 1, 1, 1, 'Running')"),
                { owner, requestId })
            || !commit())
            return false;
        if (!begin())
            return false;
        const QSqlRecord request
            = one("request", QStringLiteral("SELECT * FROM \"webquotes\" WHERE \"quoteid\" = ?"), requestId);
        // The source quote: the template, else the previous quote.
        const qint32 templateId = request.value(QStringLiteral("templateid")).toInt() != 0
            ? request.value(QStringLiteral("templateid")).toInt()
            : request.value(QStringLiteral("previousid")).toInt();
        const qint32 clientId = request.value(QStringLiteral("clientid")).toInt();
        QSqlRecord quote
            = one("template", QStringLiteral("SELECT * FROM \"quotes\" WHERE \"quoteid\" = ?"), templateId);
        one("client", QStringLiteral("SELECT * FROM \"clients\" WHERE \"clientid\" = ?"), clientId);
        one("tax", QStringLiteral("SELECT * FROM \"taxrates\" WHERE \"taxcode\" = ?"), QStringLiteral("S"));
        const qint32 quoteId = counter(QStringLiteral("quotes"));
        bool ok = quoteId > 0;
        for (const char *table : { "quoteworkings", "quotequantities", "spectexts", "tabtexts" })
            ok = ok && copyRows(table, "quoteid", templateId, "quoteid", quoteId);
        ok = ok && copyRows("tabtexts", "webquoteid", requestId, "quoteid", quoteId)
            && copyRows("webnotes", "quoteid", requestId, "quoteid", quoteId, "notes")
            && copyRows("webattachments", "quoteid", requestId, "quoteid", quoteId, "attachments");
        QSqlQuery &number = statement("number",
            QStringLiteral("UPDATE \"syconf\" SET \"lastquoteno\" = \"lastquoteno\" + 1 RETURNING \"lastquoteno\""));
        ok = ok && number.exec() && number.next();
        quote.setValue(QStringLiteral("quoteid"), quoteId);
        quote.setValue(QStringLiteral("number"), ok ? number.value(0) : QVariant(0));
        number.finish();
        ok = ok
            && exec("confirm", QStringLiteral("UPDATE \"wc_claims\" SET \"seenon\" = 2 WHERE \"owner\" = ?"), { owner })
            && insert("quotes", quote)
            && exec("activity", QStringLiteral("UPDATE \"clients\" SET \"activitydate\" = ? WHERE \"clientid\" = ?"),
                { 1, clientId });
        for (const auto &[table, field] : { std::pair { "webquotes", "quoteid" }, std::pair { "webnotes", "quoteid" },
                 std::pair { "webattachments", "quoteid" }, std::pair { "tabtexts", "webquoteid" } }) {
            ok = ok
                && exec(QByteArray("delete ") + table,
                    QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" = ?")
                        .arg(QLatin1String(table), QLatin1String(field)),
                    { requestId });
        }
        ok = ok && exec("release", QStringLiteral("DELETE FROM \"wc_claims\" WHERE \"owner\" = ?"), { owner })
            && exec("items", QStringLiteral("DELETE FROM \"wc_claimitems\" WHERE \"owner\" = ?"), { owner });
        if (!ok) {
            rollback();
            return false;
        }
        if (made)
            *made = quote;
        return commit();
    }

    // The letter of `quote` (the row just stored): the rows it shows read with plain statements,
    // its HTML, printed once into `fileName`.
    bool letter(const QSqlRecord &quote, const QString &fileName)
    {
        const QString html = letterHtml(quote);
        {
            QPdfWriter writer(fileName);
            writer.setTitle(letterTitle(quote));
            writer.setCreator(QStringLiteral("webconsole"));
            writer.setResolution(300);
            writer.setPageLayout(QPageLayout(
                QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
            QTextDocument document;
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(10);
            document.setDefaultFont(font); // the page number's font, as in the program's letter
            document.setHtml(html);
            document.print(&writer);
        }
        return QFileInfo(fileName).size() > 0;
    }

    // The letter's HTML as the program writes it, from rows read here.
    QString letterHtml(const QSqlRecord &quote)
    {
        const QSqlRecord company
            = one("company", QStringLiteral("SELECT * FROM \"company\" ORDER BY \"companyid\" LIMIT 1"), {});
        const QSqlRecord client = one(
            "client", QStringLiteral("SELECT * FROM \"clients\" WHERE \"clientid\" = ?"), quote.value("clientid"));
        const QSqlRecord contact = one(
            "contact", QStringLiteral("SELECT * FROM \"contacts\" WHERE \"contactid\" = ?"), quote.value("contactid"));
        const QSqlRecord spec = one("spec",
            QStringLiteral("SELECT * FROM \"spectexts\" WHERE \"quoteid\" = ? ORDER BY \"spectextid\" LIMIT 1"),
            quote.value("quoteid"));
        const QSqlRecord signatory
            = one("user", QStringLiteral("SELECT * FROM \"users\" WHERE \"userid\" = ?"), quote.value("signatoryid"));
        const auto text = [](const QSqlRecord &r, const char *field) {
            return r.value(QString::fromLatin1(field).toLower()).toString();
        };
        const auto has
            = [&text](const QSqlRecord &r, const char *field) { return !text(r, field).trimmed().isEmpty(); };
        const auto esc = [&text](const QSqlRecord &r, const char *field) { return escaped(text(r, field)); };

        QString html = QStringLiteral("<html><body style=\"font-family:'DejaVu Sans'; font-size:10pt\">");
        QStringList lines;
        for (const char *field : { "Address1", "Address2", "Address3", "Town", "County", "Postcode" }) {
            if (has(company, field))
                lines << esc(company, field);
        }
        QStringList reach;
        if (has(company, "Tel"))
            reach << QStringLiteral("Tel ") + esc(company, "Tel");
        for (const char *field : { "Email", "Web" }) {
            if (has(company, field))
                reach << esc(company, field);
        }
        html += QStringLiteral("<p align=\"right\"><span style=\"font-size:16pt; font-weight:bold\">%1</span><br>%2")
                    .arg(esc(company, "Name"), lines.join(QLatin1String(", ")));
        if (!reach.isEmpty())
            html += QStringLiteral("<br>") + reach.join(QLatin1String(" &middot; "));
        if (has(company, "TaxReg"))
            html += QStringLiteral("<br>Tax registration ") + esc(company, "TaxReg");
        html += QStringLiteral("</p>");

        QStringList to;
        const QString person = has(quote, "Contact") ? text(quote, "Contact") : text(contact, "Name");
        const QString firm = has(quote, "Name") ? text(quote, "Name") : text(client, "Name");
        const QString address = has(quote, "Address") ? text(quote, "Address") : text(client, "Address");
        if (!person.trimmed().isEmpty())
            to << escaped(person);
        if (!firm.trimmed().isEmpty())
            to << QStringLiteral("<b>%1</b>").arg(escaped(firm));
        if (!address.trimmed().isEmpty())
            to << escaped(address);
        html += QStringLiteral("<p>%1</p>").arg(to.join(QLatin1String("<br>")));
        html += QStringLiteral("<p>%1</p>").arg(QDate::currentDate().toString(QStringLiteral("d MMMM yyyy")));
        html += QStringLiteral("<h2>%1</h2>").arg(escaped(letterTitle(quote)));
        if (has(quote, "Title"))
            html += QStringLiteral("<p><b>%1</b></p>").arg(esc(quote, "Title"));
        const QString dear = has(contact, "Salutation") ? text(contact, "Salutation")
            : has(quote, "Contact")                     ? text(quote, "Contact")
                                                        : text(contact, "Name");
        html += QStringLiteral("<p>Dear %1,</p>")
                    .arg(dear.trimmed().isEmpty() ? QStringLiteral("Sir or Madam") : escaped(dear));
        const bool rfq = isRfq(quote);
        html += rfq ? QStringLiteral("<p>Thank you for your enquiry. Our estimator is preparing your quotation to "
                                     "the specification below.</p>")
                    : QStringLiteral("<p>Thank you for your enquiry. We are pleased to quote as follows.</p>");

        QString rows;
        for (const QString &section : SpecSections::names()) {
            const QString value = spec.value(section.toLower()).toString().trimmed();
            if (section != QLatin1String("Private") && !value.isEmpty())
                rows += QStringLiteral("<tr><td width=\"22%\"><b>%1</b></td><td>%2</td></tr>")
                            .arg(section, escaped(value));
        }
        if (!rows.isEmpty())
            html += QStringLiteral("<h3>Specification</h3><table cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">")
                + rows + QStringLiteral("</table>");
        else if (has(quote, "Spec"))
            html += QStringLiteral("<h3>Specification</h3><p>%1</p>").arg(esc(quote, "Spec"));
        if (rfq)
            return html + QStringLiteral("</body></html>");

        const double rate = quote.value("exchangerate").toDouble();
        const bool converted = quote.value("usecurrency").toInt() != 0 && rate > 0 && has(quote, "Currency");
        const auto money = [converted, rate](double amount) {
            return QLocale(QLocale::English).toString(converted ? amount * rate : amount, 'f', 2);
        };
        QString prices;
        for (int i = 1; i <= 5 && quote.value(QStringLiteral("quantity%1").arg(i)).toLongLong() > 0; ++i) {
            QString quantity = quote.value(QStringLiteral("quantitytext%1").arg(i)).toString().trimmed();
            if (quantity.isEmpty())
                quantity = QString::number(quote.value(QStringLiteral("quantity%1").arg(i)).toLongLong());
            const double price = quote.value(QStringLiteral("sellingprice%1").arg(i)).toDouble();
            const double tax = quote.value(QStringLiteral("taxamount%1").arg(i)).toDouble();
            const double net = quote.value("includetax").toInt() != 0 ? price - tax : price;
            prices += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td>"
                                     "<td align=\"right\">%4</td></tr>")
                          .arg(escaped(quantity), money(net), money(tax), money(net + tax));
        }
        if (!prices.isEmpty()) {
            const QString currency = (converted ? text(quote, "Currency") : text(company, "Currency")).trimmed();
            html += QStringLiteral("<h3>Prices%1</h3>")
                        .arg(currency.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(escaped(currency)));
            html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">"
                                   "<tr><th align=\"left\">Quantity</th><th align=\"right\">Price</th>"
                                   "<th align=\"right\">Tax</th><th align=\"right\">Total</th></tr>")
                + prices + QStringLiteral("</table>");
        }
        html += QStringLiteral("<p>We look forward to receiving your order.</p><p>Yours sincerely,</p>");
        QString sign = esc(quote, "Signatory");
        if (has(signatory, "Position"))
            sign += QStringLiteral("<br>") + esc(signatory, "Position");
        if (!sign.isEmpty())
            html += QStringLiteral("<p><br><br>%1<br>%2</p>").arg(sign, esc(company, "Name"));
        return html + QStringLiteral("</body></html>");
    }

    static QString escaped(const QString &text)
    {
        QString out = text.trimmed().toHtmlEscaped();
        out.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
        out.replace(QLatin1Char('\n'), QLatin1String("<br>"));
        return out;
    }
    static bool isRfq(const QSqlRecord &quote)
    {
        return quote.value("quotetype").toString().trimmed().compare(QLatin1String("RFQ"), Qt::CaseInsensitive) == 0;
    }
    static QString letterTitle(const QSqlRecord &quote)
    {
        return (isRfq(quote) ? QStringLiteral("Request for quotation ") : QStringLiteral("Quote "))
            + QString::number(quote.value("number").toInt()) + quote.value("revision").toString().trimmed();
    }

    void prepareCounters()
    {
        startCountersAfterRows(
            { "quotes", "quoteworkings", "quotequantities", "spectexts", "tabtexts", "notes", "attachments" });
    }

    // Copies the rows of `from` whose `field` is `id` into `to` (default: the same table), each
    // with a new number from the table's counter and `ownerField` set to `owner`.
    bool copyRows(
        const char *from, const char *field, qint32 id, const char *ownerField, qint32 owner, const char *to = nullptr)
    {
        const QByteArray target = to ? QByteArray(to) : QByteArray(from);
        const bizlib::TableDef &def = Dictionary::instance().require(QString::fromLatin1(target));
        const QString idColumn = def.fields.at(def.autoNumberField).name.toLower();
        QSqlQuery &q = statement(QByteArray("rows ") + from + ' ' + field,
            QStringLiteral("SELECT * FROM \"%1\" WHERE \"%2\" = ?").arg(QLatin1String(from), QLatin1String(field)));
        q.bindValue(0, id);
        if (!q.exec())
            return false;
        QList<QSqlRecord> rows;
        while (q.next())
            rows << q.record();
        q.finish();
        for (QSqlRecord row : rows) {
            QSqlRecord copy;
            for (const bizlib::FieldDef &fd : def.fields) {
                const QString name = fd.name.toLower();
                QSqlField field(name);
                field.setValue(row.contains(name) ? row.value(name)
                        : fd.isText()             ? QVariant(QStringLiteral(""))
                                                  : QVariant(0));
                copy.append(field);
            }
            copy.setValue(idColumn, counter(QString::fromLatin1(target)));
            copy.setValue(QString::fromLatin1(ownerField), owner);
            if (!insert(target, copy))
                return false;
        }
        return true;
    }
};

void BM_Process_RawSql(benchmark::State &state)
{
    Fixture &f = fixture(state.range(0) != 0);
    if (!f.skip.isEmpty()) {
        state.SkipWithError(qPrintable(f.skip));
        return;
    }
    RawProcessing raw(*f.db);
    raw.prepareCounters();
    int next = 0;
    for (auto _ : state) {
        if (!raw.process(f.raw.value(next++))) {
            state.SkipWithError("a plain statement failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// The plain statements and the letter of each quote, drawn once into a file.
void BM_Process_RawSqlLetter(benchmark::State &state)
{
    Fixture &f = fixture(state.range(0) != 0);
    if (!f.skip.isEmpty()) {
        state.SkipWithError(qPrintable(f.skip));
        return;
    }
    RawProcessing raw(*f.db);
    raw.prepareCounters();
    const QDir folder(f.dir.filePath(QStringLiteral("plain-letters")));
    folder.mkpath(QStringLiteral("."));
    int next = 0;
    QSqlRecord quote;
    for (auto _ : state) {
        if (!raw.process(f.rawLetter.value(next++), &quote)
            || !raw.letter(quote, folder.filePath(quote.value("number").toString() + QStringLiteral(".pdf")))) {
            state.SkipWithError("a plain statement or a plain letter failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations());
    // The plain letter must be the program's letter: the same HTML for the same quote.
    Table quotes(*f.db, QStringLiteral("Quotes"));
    Record stored = quotes.newRecord();
    QuoteLetter program;
    if (!quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quote.value("quoteid") }, stored)
        || !QuoteLetter::load(*f.db, stored, &program)) {
        state.SkipWithError("the program's letter of the last quote cannot be gathered");
        return;
    }
    const QString plain = raw.letterHtml(quote);
    const QString ours = program.html();
    if (plain != ours) {
        qsizetype at = 0;
        while (at < plain.size() && at < ours.size() && plain[at] == ours[at])
            ++at;
        std::fprintf(stderr, "plain letter: ...%s\nprogram's letter: ...%s\n", qPrintable(plain.mid(at, 120)),
            qPrintable(ours.mid(at, 120)));
        state.SkipWithError("the plain letter is not the program's letter");
    }
}

const int kAutoRequests = benchSize(1000);

// A workspace on the fixture's database for webconsole-auto, logged on as AB. Without `letters` the
// folder the letters go to is a plain file.
QString autoWorkspace(Fixture &f, bool letters)
{
    const QString root = f.dir.filePath(letters ? QStringLiteral("auto-letters") : QStringLiteral("auto"));
    for (const char *sub : { "global", "data", "local" })
        QDir().mkpath(QDir(root).filePath(QLatin1String(sub)));
    const auto sub = [&root](const char *name) { return QDir(root).filePath(QLatin1String(name)); };
    if (!letters) {
        QFile blocked(sub("data/quotes"));
        blocked.open(QIODevice::WriteOnly);
    }
    using E = config::IniFile::Entry;
    const QString d = QStringLiteral("Database");
    QList<E> entries { { d, QStringLiteral("Driver"), f.config.driver } };
    if (f.config.isPostgres())
        entries << E { d, QStringLiteral("Host"), f.config.host }
                << E { d, QStringLiteral("Port"), QString::number(f.config.port) }
                << E { d, QStringLiteral("Name"), f.config.name } << E { d, QStringLiteral("User"), f.config.user }
                << E { d, QStringLiteral("Password"), f.config.password }
                << E { d, QStringLiteral("Schema"), f.config.schema };
    else
        entries << E { d, QStringLiteral("File"), f.config.file };
    entries << E { QStringLiteral("General"), QStringLiteral("GlobalPath"), sub("global") }
            << E { QStringLiteral("General"), QStringLiteral("GlobalData"), sub("data") }
            << E { QStringLiteral("General"), QStringLiteral("LocalData"), sub("local") }
            << E { QStringLiteral("Email"), QStringLiteral("EmailDisable"), QStringLiteral("1") }
            << E { QStringLiteral("AutoProcessing"), QStringLiteral("User"), QStringLiteral("AB") }
            << E { QStringLiteral("AutoProcessing"), QStringLiteral("PasswordFile"), QStringLiteral("pw") };
    const QString ini = sub("webconsole.ini");
    config::IniFile(ini).write(entries);
    config::IniFile(config::webMonitorIniPath(sub("global"), 0))
        .write({ { QStringLiteral("Settings"), QStringLiteral("AutoProcessQuotes"), QStringLiteral("1") },
            { QStringLiteral("Settings"), QStringLiteral("AutoSaveAttachments"), QStringLiteral("0") } });
    QFile pw(sub("pw"));
    pw.open(QIODevice::WriteOnly);
    pw.write(demo::DemoData::kDemoPassword);
    pw.close();
    pw.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return ini;
}

int letterFiles(const QString &ini)
{
    return QDir(QFileInfo(ini).dir().filePath(QStringLiteral("data/quotes")))
        .entryList({ QStringLiteral("*.pdf") }, QDir::Files)
        .size();
}

// webconsole-auto --once, start to end, on kAutoRequests waiting requests, with the letters or
// without (second argument); items: the requests it processed.
void BM_Process_AutoOnce(benchmark::State &state)
{
    Fixture &f = fixture(state.range(0) != 0);
    if (!f.skip.isEmpty()) {
        state.SkipWithError(qPrintable(f.skip));
        return;
    }
    const bool letters = state.range(1) != 0;
    const QString ini = autoWorkspace(f, letters);
    const int filesBefore = letterFiles(ini);
    qint64 processed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const bool added = demo::DemoData(*f.db, 4242).addTemplateWebQuotes(kAutoRequests)
            && f.db->exec(QStringLiteral("UPDATE \"webquotes\" SET \"webcalc\" = 1"));
        state.ResumeTiming();
        QProcess p;
        p.start(QStringLiteral(WEBCONSOLE_AUTO_PATH), { QStringLiteral("--ini"), ini, QStringLiteral("--once") });
        if (!added || !p.waitForFinished(3600 * 1000) || p.exitCode() != 0) {
            state.SkipWithError(qPrintable(QString::fromLocal8Bit(p.readAllStandardError()).left(400)));
            break;
        }
        processed += p.readAllStandardOutput().count(" processed ");
    }
    state.SetItemsProcessed(processed);
    const int written = letterFiles(ini) - filesBefore;
    if (processed == 0 || written != (letters ? processed : 0))
        state.SkipWithError(
            qPrintable(QStringLiteral("%1 requests processed, %2 letters written").arg(processed).arg(written)));
}

BENCHMARK(BM_Process_Program)->Arg(0)->Arg(1)->Iterations(kPerRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Process_RawSql)->Arg(0)->Arg(1)->Iterations(kPerRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Process_RawSqlLetter)->Arg(0)->Arg(1)->Iterations(kPerRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Process_AutoOnce)
    ->Args({ 0, 0 })
    ->Args({ 0, 1 })
    ->Args({ 1, 0 })
    ->Args({ 1, 1 })
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void summarise(TimesReporter::Times &times)
{
    for (const auto &[arg, engine] : { std::pair { "0", "SQLite" }, std::pair { "1", "PostgreSQL" } }) {
        const auto find = [&times, arg](const std::string &name, const std::string &more = {}) {
            for (const auto &[key, ms] : times) {
                if (key.rfind(name + "/" + arg + more, 0) == 0)
                    return ms;
            }
            return 0.0;
        };
        const double ours = find("BM_Process_Program");
        const double raw = find("BM_Process_RawSql");
        const double rawLetter = find("BM_Process_RawSqlLetter");
        // One run of webconsole-auto processes kAutoRequests requests.
        const double autoLetters = find("BM_Process_AutoOnce", "/1/") / kAutoRequests;
        const double autoPlain = find("BM_Process_AutoOnce", "/0/") / kAutoRequests;
        if (autoLetters > 0 && rawLetter > 0)
            std::printf("%-10s webconsole-auto --once with letters %.1f requests/s, plain statements with the letter "
                        "%.1f quotes/s, auto / plain = %.2f (goal <= 3.00)\n",
                engine, 1000.0 / autoLetters, 1000.0 / rawLetter, autoLetters / rawLetter);
        if (autoPlain > 0 && raw > 0)
            std::printf("%-10s webconsole-auto --once without letters %.1f requests/s, plain statements %.1f quotes/s, "
                        "auto / plain = %.2f (goal <= 3.00)\n",
                engine, 1000.0 / autoPlain, 1000.0 / raw, autoPlain / raw);
        if (ours > 0 && raw > 0)
            std::printf(
                "%-10s program %.1f quotes/s, plain statements %.1f quotes/s, program / plain = %.2f (goal <= 2.50)\n",
                engine, 1000.0 / ours, 1000.0 / raw, ours / raw);
    }
}

} // namespace

int main(int argc, char **argv)
{
    // The plain letter is drawn as the program draws it: with Qt's fonts, on no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter(summarise);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
