#include "DemoData.h"
#include "DemoFields.h"
#include "bizlib/Table.h"

#include <stdexcept>

// Template quotes (what the website's template requests are made from), previous quotes of
// clients (what repeat requests point at) and two business orders won from them (what repeat
// web orders point at). Each quote has priced workings, up to three quantities, a specification
// text record and tab texts.

namespace demo {

namespace {

struct Working
{
    const char *type, *code, *quantity;
};

struct QuoteSample
{
    int client; // -1: a template
    const char *title, *jobType, *status;
    int daysAgo;
    const char *depth, *width;
    int pages;
    int quantities[3]; // 0 ends the list
    Working workings[8]; // a null type ends the list
    const char *size, *printing, *finishing, *materials, *delivery;
    int orderedQuantity; // index (1..3) of the quantity a won quote was ordered in; 0: not ordered
};

const QuoteSample kQuotes[] = {
    { -1, "Business cards - 85x55mm - 350gsm silk, 2 sides", "BC", "Template", 420, "55.0000", "85.0000", 2,
        { 250, 500, 1000 },
        { { "L", "PREP", "0.25" }, { "M", "SILK350-SRA3", "20" }, { "L", "DIGI", "0.5" }, { "M", "LAM-MATT", "20" },
            { "L", "TRIM", "0.25" } },
        "85 x 55 mm", "Full colour both sides, digital", "Matt laminated both sides, trimmed to size",
        "350gsm silk board", "Delivered to one UK address", 0 },
    { -1, "A5 leaflet - 2 sides - 170gsm gloss", "LEAF", "Template", 410, "210.0000", "148.0000", 2,
        { 1000, 2500, 5000 },
        { { "L", "PREP", "0.25" }, { "M", "GLOSS170-SRA3", "260" }, { "L", "DIGI", "1.5" }, { "L", "TRIM", "0.5" },
            { "O", "DEL-COURIER", "1" } },
        "A5 (148 x 210 mm)", "Full colour both sides", "Trimmed, packed in 500s", "170gsm gloss coated",
        "Courier, next working day", 0 },
    { -1, "Roller banner 850 x 2000mm with stand", "LF", "Template", 400, "2000.0000", "850.0000", 1, { 1, 2, 5 },
        { { "L", "PREP", "0.25" }, { "M", "PVC-BANNER", "1.7" }, { "M", "POLY-ROLLUP", "1" }, { "L", "DIGI", "0.5" },
            { "O", "DEL-COURIER", "1" } },
        "850 x 2000 mm", "Full colour one side, solvent inks", "Fitted into stand, carry bag", "510gsm PVC banner",
        "Courier, next working day", 0 },
    { 0, "Annual report 2025 - 32pp A4 plus cover", "BOOK", "Won", 300, "297.0000", "210.0000", 32, { 500, 750, 1000 },
        { { "L", "DTP", "6" }, { "L", "PREP", "1" }, { "M", "SILK130-SRA3", "4600" }, { "M", "SILK350-SRA3", "280" },
            { "L", "LITHO", "5" }, { "L", "FOLD", "3" }, { "O", "BIND-PERF", "500" }, { "O", "DEL-LOCAL", "1" } },
        "A4 portrait, 32pp plus 4pp cover", "Full colour throughout", "Perfect bound, matt laminated cover",
        "130gsm silk text, 350gsm silk cover", "Local delivery to Abbey House", 2 },
    { 5, "Beer mats - 95mm round, 2 sides", "PROMO", "Won", 200, "95.0000", "95.0000", 2, { 5000, 10000, 0 },
        { { "L", "PREP", "0.5" }, { "M", "SILK350-SRA3", "400" }, { "L", "LITHO", "2" }, { "L", "TRIM", "2" },
            { "O", "DEL-LOCAL", "1" } },
        "95 mm round", "Full colour both sides", "Die-cut round, packed in 100s", "Board", "To the taproom", 1 },
    { 6, "Event programme - A5 16pp self cover", "BOOK", "Sent", 120, "210.0000", "148.0000", 16, { 500, 800, 0 },
        { { "L", "DTP", "4" }, { "L", "PREP", "0.5" }, { "M", "SILK130-SRA3", "1400" }, { "L", "DIGI", "4" },
            { "L", "FOLD", "2" }, { "O", "DEL-COURIER", "1" } },
        "A5 portrait, 16pp", "Full colour throughout", "Saddle stitched", "130gsm silk", "Courier to the venue", 0 },
    { 8, "Prospectus 2026 - 24pp A4 saddle stitched", "BOOK", "Won", 330, "297.0000", "210.0000", 24, { 2000, 4000, 0 },
        { { "L", "DTP", "8" }, { "L", "PREP", "1" }, { "M", "SILK130-SRA3", "13000" }, { "L", "LITHO", "9" },
            { "L", "FOLD", "6" }, { "O", "DEL-LOCAL", "1" } },
        "A4 portrait, 24pp", "Full colour throughout", "Saddle stitched, 2 wires", "130gsm silk",
        "Local delivery to the academy", 1 },
};

// Markup of the "STD" profile by resource type.
bizlib::Decimal markupFor(const QString &type)
{
    if (type == QStringLiteral("M"))
        return dec("35.0000");
    if (type == QStringLiteral("L"))
        return dec("40.0000");
    return dec("25.0000");
}

struct PricedLine
{
    QString type, code, description;
    qint32 resourceId = 0;
    bizlib::Decimal quantity, unitCost, unitPrice, cost, markup, selling;
};

QList<PricedLine> priceWorkings(const DemoCatalog &catalog, const QuoteSample &q)
{
    QList<PricedLine> lines;
    for (const Working &w : q.workings) {
        if (!w.type)
            break;
        PricedLine line;
        line.type = str(w.type);
        line.code = str(w.code);
        const bizlib::Record resource = catalog.resource(line.type, line.code);
        if (!resource.isValid())
            throw std::logic_error(QStringLiteral("demo quote uses unknown resource %1").arg(line.code).toStdString());
        const bool labour = line.type == QStringLiteral("L");
        line.description = resource.text("Description");
        line.resourceId = resource.toLong(labour   ? "LabourID"
                : line.type == QStringLiteral("M") ? "MaterialID"
                                                   : "OutworkID");
        line.quantity = dec(w.quantity);
        line.unitCost = resource.decimal(labour ? "CostRate" : "UnitCost");
        line.markup = markupFor(line.type);
        line.unitPrice
            = (line.unitCost * (bizlib::Decimal::fromInt(100) + line.markup)).divided(bizlib::Decimal::fromInt(100), 4);
        line.cost = lineValue(line.quantity, line.unitCost);
        line.selling = lineValue(line.quantity, line.unitPrice);
        lines.append(line);
    }
    return lines;
}

// A further quantity's amount: the first quantity's, in proportion, less 15% for the longer run.
bizlib::Decimal scaled(const bizlib::Decimal &first, int quantity, int firstQuantity)
{
    if (quantity == firstQuantity)
        return first.rescaled(2);
    return (first * bizlib::Decimal::fromInt(quantity) * bizlib::Decimal(85, 2))
        .divided(bizlib::Decimal::fromInt(firstQuantity), 2);
}

qint32 jobTypeId(bizlib::Database &db, const QString &code)
{
    bizlib::Table table(db, QStringLiteral("JobTypes"));
    bizlib::Record record = table.newRecord();
    return table.fetch(QStringLiteral("CODEKEY"), { code }, record) ? record.toLong("JobTypeID") : 0;
}

QString repCode(const QString &initials)
{
    return initials == QStringLiteral("MK") ? QStringLiteral("REP01")
        : initials == QStringLiteral("RP")  ? QStringLiteral("REP02")
                                            : QString();
}

} // namespace

void DemoData::addQuotes()
{
    RowWriter &quotes = writer(QStringLiteral("Quotes"));
    qint32 number = 24100;
    for (const QuoteSample &q : kQuotes) {
        const QList<PricedLine> lines = priceWorkings(m_catalog, q);
        const bizlib::Record client = q.client >= 0 ? m_catalog.clients().value(q.client) : bizlib::Record();
        bizlib::Record quote = quotes.prime();
        const qint32 quoteId = quote.toLong("QuoteID");

        bizlib::Decimal cost, selling;
        int sequence = 0;
        for (const PricedLine &line : lines) {
            cost = cost + line.cost;
            selling = selling + line.selling;
            sequence += 10;
            writer(QStringLiteral("QuoteWorkings")).add([&](bizlib::Record &r) {
                setLongs(r,
                    { { "QuoteID", quoteId }, { "Sequence", sequence },
                        { line.type == QStringLiteral("M")         ? "MaterialID"
                                : line.type == QStringLiteral("L") ? "LabourID"
                                                                   : "OutworkID",
                            line.resourceId },
                        { "FixedCharge", line.code.startsWith(QStringLiteral("DEL-")) ? 1 : 0 } });
                setTexts(r,
                    { { "Type", line.type }, { "Category", QStringLiteral("User") }, { "Code", line.code },
                        { "Description", line.description }, { "PricingBasis", QStringLiteral("Use") } });
                r.setDecimal("Quantity", line.quantity);
                r.setDecimal("UnitCost", line.unitCost);
                r.setDecimal("UnitPrice", line.unitPrice);
                r.setDecimal("Cost", line.cost);
                r.setDecimal("MarkupPercent", line.markup);
                r.setDecimal("SellingPrice", line.selling);
            });
        }

        const QString unit = q.pages > 2 ? QStringLiteral("copies") : QStringLiteral("off");
        for (int k = 0; k < 3 && q.quantities[k] > 0; ++k) {
            const QString n = QString::number(k + 1);
            const int quantity = q.quantities[k];
            const bizlib::Decimal price = scaled(selling, quantity, q.quantities[0]);
            const bizlib::Decimal costK = scaled(cost, quantity, q.quantities[0]);
            quote.setLong(QStringLiteral("Quantity") + n, quantity);
            quote.setText(QStringLiteral("QuantityText") + n, QStringLiteral("%1 %2").arg(quantity).arg(unit));
            quote.setDecimal(QStringLiteral("CostTotal") + n, costK);
            quote.setDecimal(QStringLiteral("MarkupTotal") + n, price - costK);
            quote.setDecimal(QStringLiteral("SellingPrice") + n, price);
            quote.setDecimal(QStringLiteral("TaxAmount") + n, taxOn(price, dec("20.0000")));
            writer(QStringLiteral("QuoteQuantities")).add([&](bizlib::Record &r) {
                setLongs(r, { { "QuoteID", quoteId }, { "QuantityIndex", k + 1 }, { "Quantity", quantity } });
                setTexts(r,
                    { { "QuantityText", QStringLiteral("%1 %2").arg(quantity).arg(unit) },
                        { "UnitText", QStringLiteral("Each") } });
                r.setDecimal("PriceQuantity", bizlib::Decimal::fromInt(quantity));
                r.setDecimal("UnitQuantity", bizlib::Decimal::fromInt(1));
                r.setDecimal("UnitPrice", price.divided(bizlib::Decimal::fromInt(quantity), 4));
            });
        }

        const QList<std::pair<QString, QString>> sections { { QStringLiteral("Size"), str(q.size) },
            { QStringLiteral("Printing"), str(q.printing) }, { QStringLiteral("Finishing"), str(q.finishing) },
            { QStringLiteral("Materials"), str(q.materials) }, { QStringLiteral("Delivery"), str(q.delivery) } };
        QStringList spec;
        writer(QStringLiteral("SpecTexts")).add([&](bizlib::Record &r) {
            r.setLong("QuoteID", quoteId);
            for (const auto &[section, text] : sections) {
                r.setText(section, text);
                spec << section + QStringLiteral(": ") + text;
            }
        });
        for (const auto &[section, text] : sections) {
            writer(QStringLiteral("TabTexts")).add([&](bizlib::Record &r) {
                setLongs(r, { { "QuoteID", quoteId }, { "TabID", m_catalog.tabId(section) } });
                r.setText("Text", text);
            });
        }

        const bool isTemplate = q.client < 0;
        const QDateTime created(m_today.addDays(-q.daysAgo), QTime(10, 0).addSecs(roll(6 * 3600)));
        setTexts(quote,
            { { "QuoteType", QStringLiteral("Quote") }, { "Status", str(q.status) }, { "Title", str(q.title) },
                { "Spec", spec.join(QLatin1Char('\n')) }, { "Estimator", QStringLiteral("AB") },
                { "CreatedBy", QStringLiteral("AB") }, { "MarkupMethod", QStringLiteral("Percent") },
                { "Markup", QStringLiteral("STD") }, { "Currency", QStringLiteral("GBP") },
                { "TaxCode", QStringLiteral("S") }, { "ProductCode", str(q.jobType) } });
        setLongs(quote,
            { { "Number", ++number }, { "IsTemplate", isTemplate ? 1 : 0 },
                { "JobTypeID", jobTypeId(m_db, str(q.jobType)) }, { "Pages", q.pages }, { "PriceCalculated", 1 },
                { "Checked", 1 },
                // Templates are offered on the website; a web-enabled client sees its quotes there.
                { "Website", isTemplate || (client.isValid() && client.toLong("WebEnable") != 0) ? 1 : 0 },
                { "QuantityIndex", q.orderedQuantity } });
        setStamp(quote, "CreatedOn", "CreatedAt", created);
        quote.setDecimal("Depth", dec(q.depth));
        quote.setDecimal("Width", dec(q.width));
        quote.setDecimal("ExchangeRate", dec("1.000000"));
        quote.setDecimal("TaxRate", dec("20.0000"));
        if (client.isValid()) {
            const QList<bizlib::Record> contacts = m_catalog.contactsOf(client.toLong("ClientID"));
            const bizlib::Record office = m_catalog.office(client.toLong("ClientID"), client.text("InvoiceOffice"));
            setTexts(quote,
                { { "ClientCode", client.text("Code") }, { "Name", client.text("Name") },
                    { "Contact", contacts.value(0).isValid() ? contacts.value(0).text("Name") : QString() },
                    { "Office", office.text("Office") }, { "Address", office.text("Address") },
                    { "Rep", client.text("Rep") }, { "RepCode", repCode(client.text("Rep")) } });
            setLongs(quote,
                { { "ClientID", client.toLong("ClientID") }, { "ContactID", client.toLong("ContactID") },
                    { "OfficeID", office.toLong("OfficeID") } });
        }
        quotes.insert(quote);
    }
}

void DemoData::addPreviousOrders()
{
    m_catalog.load(m_db); // the quotes just written
    RowWriter &orders = writer(QStringLiteral("Orders"));
    qint32 jobNo = 51000;
    // Invoice numbers below SYCONF's LastInvoiceNo.
    qint32 invoiceNo = 30390;
    for (bizlib::Record quote : m_catalog.previousQuotes()) {
        const int index = static_cast<int>(quote.toLong("QuantityIndex"));
        if (index <= 0)
            continue;
        const QString n = QString::number(index);
        const qint32 quantity = quote.toLong(QStringLiteral("Quantity") + n);
        const bizlib::Decimal net = quote.decimal(QStringLiteral("SellingPrice") + n);
        const bizlib::Decimal tax = quote.decimal(QStringLiteral("TaxAmount") + n);
        const QDate created = bizlib::DateTime::toDate(quote.toLong("CreatedOn")).addDays(9);
        bizlib::Record order = orders.prime();
        const qint32 orderId = order.toLong("OrderID");
        order.copyMatching(quote);
        order.setLong("OrderID", orderId);
        setTexts(order,
            { { "OrderType", QStringLiteral("Service") }, { "Status", QStringLiteral("Invoiced") },
                { "Quantity", QString::number(quantity) }, { "UnitText", QStringLiteral("Job") },
                { "QuoteRevision", quote.text("Revision") }, { "DOffice", QString() },
                { "OrderNo", QStringLiteral("PO-%1").arg(30000 + roll(9000)) },
                { "Priority", QStringLiteral("Normal") }, { "Owner", QStringLiteral("TD") },
                { "CreatedBy", QStringLiteral("TD") } });
        setLongs(order,
            { { "JobNo", ++jobNo }, { "Number", 0 }, { "QuoteID", quote.toLong("QuoteID") },
                { "QuoteNo", quote.toLong("Number") }, { "QuantityValue", quantity }, { "Works", 1 },
                { "CreatedOn", bizlib::DateTime::fromDate(created) },
                { "DueDate", bizlib::DateTime::fromDate(created.addDays(10)) } });
        order.setDecimal("QuotePrice", net);
        order.setDecimal("Tax", tax);
        order.setDecimal("Total", net + tax);
        order.setDecimal("PriceQuantity", bizlib::Decimal::fromInt(quantity));

        // The order's items: the quote's workings at the ordered quantity's price.
        bizlib::Table workings(m_db, QStringLiteral("QuoteWorkings"));
        const bizlib::Decimal factor
            = net.divided(quote.decimal("SellingPrice1").isZero() ? net : quote.decimal("SellingPrice1"), 6);
        int sequence = 0;
        for (;;) {
            bizlib::Record working = workings.newRecord();
            working.setLong("QuoteID", quote.toLong("QuoteID"));
            working.setLong("Sequence", sequence + 10);
            if (!workings.fetch(QStringLiteral("QUOTEIDKEY"), working))
                break;
            sequence += 10;
            writer(QStringLiteral("OrderItems")).add([&](bizlib::Record &r) {
                const bizlib::Decimal itemNet = (working.decimal("SellingPrice") * factor).rescaled(2);
                r.copyMatching(working);
                setLongs(r, { { "OrderID", orderId }, { "Sequence", sequence }, { "LineNo", sequence / 10 } });
                r.setDecimal("Net", itemNet);
                r.setText("TaxCode", QStringLiteral("S"));
                r.setDecimal("GTaxRate", dec("20.0000"));
                r.setDecimal("TaxRate", dec("20.0000"));
                r.setDecimal("Tax", taxOn(itemNet, dec("20.0000")));
                r.setDecimal("Gross", itemNet + taxOn(itemNet, dec("20.0000")));
            });
        }
        // Every order had a pro-forma invoice ("PF"); a client on credit was invoiced ("IN") after
        // the work as well. A web-enabled client sees its orders and pro-formas on the website.
        const bizlib::Record client = m_catalog.client(quote.toLong("ClientID"));
        const bool web = client.isValid() && client.toLong("WebEnable") != 0;
        const bool prepay = client.isValid() && client.text("Payment").trimmed() == QLatin1String("Prepay");
        order.setLong("Website", web ? 1 : 0);
        for (const bool proForma : { true, false }) {
            if (!proForma && prepay)
                continue;
            writer(QStringLiteral("InvoiceHeaders")).add([&](bizlib::Record &r) {
                setTexts(r,
                    { { "HeaderType", proForma ? QStringLiteral("PF") : QStringLiteral("IN") },
                        { "ClientCode", client.text("Code") },
                        { "Status", proForma ? QStringLiteral("Issued") : QStringLiteral("Posted") } });
                setLongs(r,
                    { { "Number", ++invoiceNo }, { "ClientID", quote.toLong("ClientID") },
                        { "ContactID", quote.toLong("ContactID") }, { "OrderID", orderId },
                        { "InvoiceDate", bizlib::DateTime::fromDate(proForma ? created : created.addDays(12)) },
                        { "Website", web ? 1 : 0 } });
                r.setDecimal("Net", net);
                r.setDecimal("Tax", tax);
                r.setDecimal("Total", net + tax);
            });
        }
        orders.insert(order);
        quote.setLong("OrderID", orderId);
        writer(QStringLiteral("Quotes")).update(quote);
    }
}

} // namespace demo
