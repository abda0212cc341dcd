#include "DemoData.h"
#include "DemoFields.h"
#include "bizlib/Table.h"

#include <stdexcept>

// Web orders as the web monitor stores them: product orders (stock items) and service orders
// (works orders), from existing clients and from consumers who signed up while ordering (B2C),
// prepay ones among them; each with its items, and some with attachments and notes.

namespace demo {

namespace {

struct Item
{
    const char *type, *code, *quantity;
};

struct OrderSample
{
    const char *type;
    int client; // by position; -1: a consumer (B2C) with a sign-up of their own
    const char *title, *quantity, *detail;
    Item items[4]; // a null type ends the list
    bool prepay, prepaid;
    const char *remarks; // typed on the website (WORD:Notes); "" none
    const char *note; // a note from the website; nullptr none
    const char *secondNote; // a further note; nullptr none
    const char *attachments; // separated by ';'; nullptr none
    const char *priority;
    int requiredDays;
    const char *stockCode;
    int previousOrder; // by position among the business orders; -1 none
    int quote; // by position among the previous quotes; -1 none
    bool processing;
    const char *deliveryMethod;
};

const OrderSample kOrders[] = {
    { "Product", 7, "Branch stationery restock", "3 lines", "",
        { { "M", "LFT-A5-PENN", "500" }, { "M", "ENV-DL-WIN", "4" }, { "O", "DEL-COURIER", "1" } }, false, false,
        "Deliver to goods-in at the rear entrance.", nullptr, nullptr, nullptr, "Normal", 7, "", -1, -1, false,
        "Courier" },
    { "Service", 0, "Annual report 2025 - reprint 150", "150", "A4 32pp plus cover, perfect bound, as last year",
        { { "L", "DIGI", "3" }, { "M", "SILK130-SRA3", "2400" }, { "O", "BIND-PERF", "150" } }, false, false, "",
        "Please use last year's files - only the date on the cover changes.", nullptr, "annual-report-2025-final.pdf",
        "Normal", 10, "", 0, -1, false, "Local delivery" },
    { "Product", 0, "Presentation folders", "200", "", { { "M", "FOLD-A4-ABB", "200" }, { "O", "DEL-LOCAL", "1" } },
        false, false, "", nullptr, nullptr, nullptr, "Normal", 5, "", -1, -1, true, "Local delivery" },
    { "Service", 6, "Event programme - Spring Conference", "800", "A5 16pp self cover, saddle stitched",
        { { "L", "DIGI", "4" }, { "M", "SILK130-SRA3", "1400" }, { "L", "FOLD", "2" }, { "O", "DEL-COURIER", "1" } },
        true, true, "", "PAYMENT", nullptr, nullptr, "Urgent", 4, "", -1, 2, false, "Courier" },
    { "Product", -1, "Business cards - 2 packs", "2", "", { { "M", "BC-PACK-250", "2" }, { "O", "DEL-COURIER", "1" } },
        true, true, "", nullptr, nullptr, nullptr, "Normal", 6, "", -1, -1, false, "Courier" },
    { "Service", 9, "Exhibition stand graphics", "1 set", "Fabric panels for a 3 x 3m pop-up frame",
        { { "L", "DTP", "2" }, { "M", "PVC-BANNER", "9" }, { "O", "DEL-COURIER", "1" } }, false, false, "",
        "Final artwork attached; fonts are in the zip file.", "Delivery to the venue on the build day only, after 8am.",
        "stand-final.pdf;stand-fonts.zip", "Urgent", 12, "", -1, -1, false, "Courier" },
    { "Product", 3, "Roller banners for stockists", "10", "",
        { { "M", "POLY-ROLLUP", "10" }, { "O", "DEL-COURIER", "1" } }, true, false, "Please call before delivery.",
        nullptr, nullptr, nullptr, "Normal", 8, "", -1, -1, false, "Courier" },
    { "service", 5, "Beer mats - Winter Stout", "10000", "95mm round, 2 sides, as previous beer mats",
        { { "L", "LITHO", "2" }, { "M", "SILK350-SRA3", "800" }, { "L", "TRIM", "2" }, { "O", "DEL-LOCAL", "1" } },
        false, false, "", "Same as last time but with the new artwork attached.", nullptr, "winter-stout-mat.pdf",
        "Normal", 10, "", 1, -1, false, "Local delivery" },
    { "Service", -1, "Photo book A4 landscape, 40pp", "1", "A4 landscape, 40pp, hardback",
        { { "L", "DIGI", "1" }, { "M", "SILK130-SRA3", "20" }, { "L", "TRIM", "0.25" }, { "O", "DEL-COURIER", "1" } },
        true, false, "", nullptr, nullptr, "photos.zip", "Normal", 14, "", -1, -1, false, "Courier" },
    { "Service", 8, "Prospectus reprint - stock top-up", "2000", "As the 2026 prospectus, into stock",
        { { "M", "SILK130-SRA3", "13000" }, { "L", "LITHO", "9" }, { "L", "FOLD", "6" } }, false, false, "", nullptr,
        nullptr, "delivery-schedule.xlsx", "Normal", 21, "PROS-SVA-24", 2, -1, false, "Local delivery" },
    { "Product", 1, "Flu clinic leaflets restock", "2 lines", "",
        { { "M", "LFT-BHT-FLU", "1500" }, { "M", "ENV-DL-WIN", "2" } }, false, false, "", nullptr, nullptr, nullptr,
        "Normal", 7, "", -1, -1, false, "Courier" },
    { "Product", -1, "Christmas cards - 3 packs", "3", "",
        { { "M", "CARD-XMAS-10", "3" }, { "O", "DEL-COURIER", "1" } }, true, true,
        "Gift message: Merry Christmas from us all", nullptr, nullptr, nullptr, "Normal", 5, "", -1, -1, false,
        "Royal Mail" },
};

constexpr int kOrderCount = int(std::size(kOrders));

// Not among the samples: a restock of three stock products, each of which becomes a business order
// of its own, for speed tests and for runs cut short between orders.
const OrderSample kThreeItemOrder = { "Product", 0, "Stock restock - 3 lines", "3 lines", "",
    { { "M", "LFT-A5-PENN", "500" }, { "M", "ENV-DL-WIN", "4" }, { "M", "BC-PACK-250", "2" } }, false, false, "",
    nullptr, nullptr, nullptr, "Normal", 7, "", -1, -1, false, "Courier" };

const char *resourceIdField(const QString &type)
{
    return type == QStringLiteral("M") ? "MaterialID" : type == QStringLiteral("L") ? "LabourID" : "OutworkID";
}

} // namespace

void DemoData::addWebOrderRequests()
{
    const QList<QDateTime> received = spreadOverDays(kOrderCount, 14);
    qint32 webId = 73000;
    int consumer = 0;
    for (int i = 0; i < kOrderCount; ++i) {
        webId += 1 + roll(4);
        const qint32 signupId = kOrders[i].client < 0 ? m_b2cSignups.value(consumer++) : 0;
        addWebOrder(i, Arrival::Sample, 2001 + i, webId, received.at(i), signupId);
    }
}

int DemoData::randomOrderPattern(bool service, bool consumer)
{
    QList<int> patterns;
    for (int i = 0; i < kOrderCount; ++i) {
        const bool isService
            = QString::fromLatin1(kOrders[i].type).compare(QStringLiteral("Service"), Qt::CaseInsensitive) == 0;
        if (isService == service && (kOrders[i].client < 0) == consumer)
            patterns << i;
    }
    return patterns.at(roll(int(patterns.size())));
}

qint32 DemoData::addWebOrder(
    int pattern, Arrival arrival, qint32 number, qint32 webId, const QDateTime &received, qint32 signupId)
{
    const OrderSample &s = pattern == kThreeItemPattern ? kThreeItemOrder : kOrders[pattern % kOrderCount];
    // Extra and live requests: a client picked at random, never claimed, no links to earlier work.
    const bool fresh = arrival != Arrival::Sample;
    RowWriter &orders = writer(QStringLiteral("WebOrders"));
    bizlib::Record r = orders.prime();
    const qint32 orderId = r.toLong("OrderID");
    QDateTime when = received;

    bizlib::Record signup;
    bizlib::Record client;
    if (signupId > 0) {
        bizlib::Table signups(m_db, QStringLiteral("WebSignup"));
        signup = signups.newRecord();
        if (!signups.fetch(QStringLiteral("WEBSIGNUPIDKEY"), { signupId }, signup))
            throw std::runtime_error("the sign-up of a B2C demo order is missing");
        // The consumer ordered right after registering.
        when = QDateTime(bizlib::DateTime::toDate(signup.toLong("SignupDate")),
            bizlib::DateTime::toTime(signup.toLong("SignupTime")))
                   .addSecs(120);
    } else {
        const QList<bizlib::Record> &clients = m_catalog.clients();
        client = clients.value(fresh || s.client < 0 ? roll(int(clients.size())) : s.client % int(clients.size()));
    }
    const bizlib::Decimal taxRate
        = client.isValid() && client.text("TaxCode") == QStringLiteral("Z") ? dec("0.0000") : dec("20.0000");
    const QString taxCode = client.isValid() ? client.text("TaxCode") : QStringLiteral("S");

    // Items, priced from the resources.
    bizlib::Decimal net, tax;
    QList<qint32> itemIds;
    int sequence = 0;
    for (const Item &item : s.items) {
        if (!item.type)
            break;
        const QString type = str(item.type);
        const bizlib::Record resource = m_catalog.resource(type, str(item.code));
        if (!resource.isValid())
            throw std::logic_error(QStringLiteral("demo order uses unknown resource %1").arg(item.code).toStdString());
        const bool labour = type == QStringLiteral("L");
        const bizlib::Decimal quantity = dec(item.quantity);
        const bizlib::Decimal unitPrice = resource.decimal(labour ? "SellRate" : "UnitPrice");
        const bizlib::Decimal unitCost = resource.decimal(labour ? "CostRate" : "UnitCost");
        const bizlib::Decimal lineNet = lineValue(quantity, unitPrice);
        const bizlib::Decimal lineTax = taxOn(lineNet, taxRate);
        net = net + lineNet;
        tax = tax + lineTax;
        sequence += 1;
        itemIds << writer(QStringLiteral("WebOrderItems")).add([&](bizlib::Record &i) {
            setLongs(i,
                { { "OrderID", orderId }, { "Sequence", sequence },
                    { resourceIdField(type), resource.toLong(resourceIdField(type)) },
                    { "FixedCharge1", resource.text("Category") == QStringLiteral("Sundry") ? 1 : 0 } });
            setTexts(i,
                { { "Code", str(item.code) }, { "Description", resource.text("Description") }, { "Type", type },
                    { "TaxCode", taxCode } });
            i.setDecimal("Quantity", quantity);
            i.setDecimal("UnitCost", unitCost);
            i.setDecimal("UnitPrice", unitPrice);
            i.setDecimal("Cost", lineValue(quantity, unitCost));
            i.setDecimal("Net", lineNet);
            i.setDecimal("TaxRate", taxRate);
            i.setDecimal("Tax", lineTax);
            i.setDecimal("Gross", lineNet + lineTax);
        });
    }

    if (s.attachments) {
        int n = 0;
        for (const QString &file : str(s.attachments).split(u';')) {
            // A delivery schedule belongs to the first item rather than to the whole order.
            const qint32 itemId = file.startsWith(QStringLiteral("delivery-")) ? itemIds.value(0) : 0;
            addWebAttachment(
                QStringLiteral("ORD"), orderId, webId, file, n++ == 0 && itemId == 0, itemId, arrival, str(s.title));
        }
        r.setLong("HasAttachments", 1);
    }
    const bool paymentNote = s.note && qstrcmp(s.note, "PAYMENT") == 0;
    const QString paymentRef = QStringLiteral("PAY-%1").arg(400000 + roll(500000));
    if (paymentNote) {
        r.setLong("NoteID",
            addWebNote(QStringLiteral("ORD"), orderId, QStringLiteral("Online payment"), QStringLiteral("Payment"),
                QStringLiteral("Card payment of %1 received for web order %2.\r\n"
                               "|Payment by: card |Payment method: Visa |Payment ref: %3")
                    .arg((net + tax).toString(2))
                    .arg(webId)
                    .arg(paymentRef),
                when.addSecs(60)));
    } else if (s.note) {
        r.setLong("NoteID",
            addWebNote(QStringLiteral("ORD"), orderId, QStringLiteral("Message from the website"),
                QStringLiteral("General"), str(s.note), when));
    }
    if (s.secondNote) {
        addWebNote(QStringLiteral("ORD"), orderId, QStringLiteral("Delivery instructions"), QStringLiteral("Delivery"),
            str(s.secondNote), when.addSecs(30));
    }

    const QString title
        = arrival == Arrival::Extra ? QStringLiteral("%1 (%2)").arg(str(s.title)).arg(number) : str(s.title);
    setTexts(r,
        { { "OrderType", str(s.type) }, { "StockCode", str(s.stockCode) }, { "Quantity", str(s.quantity) },
            { "Title", title }, { "Spec", str(s.detail) }, { "TaxCode", taxCode }, { "Priority", str(s.priority) },
            { "Notes", str(s.remarks) }, { "DMethod", str(s.deliveryMethod) },
            { "Status", s.processing && !fresh ? QStringLiteral("Processing") : QStringLiteral("Pending") },
            { "ExternalRef", s.prepaid ? paymentRef : QString() } });
    if (!str(s.detail).isEmpty())
        setTexts(r, { { "SpecPrinting", str(s.detail) }, { "SpecDelivery", str(s.deliveryMethod) } });
    setLongs(r,
        { { "Number", number }, { "Revision", 0 }, { "WebID", webId }, { "Prepay", s.prepay ? 1 : 0 },
            { "Prepaid", s.prepaid ? 1 : 0 }, { "WebSignupID", signupId },
            { "Required", bizlib::DateTime::fromDate(when.date().addDays(s.requiredDays)) } });
    r.setDecimal("QuotePrice", net);
    r.setDecimal("Tax", tax);
    r.setDecimal("Total", net + tax);
    r.setDecimal("TaxRate", taxRate);
    r.setDecimal("Weight", bizlib::Decimal(250 + 50 * roll(40), 2));
    setStamp(r, "CreatedOn", "CreatedAt", when);
    if (s.previousOrder >= 0 && !fresh)
        r.setLong("PreviousID",
            m_catalog.orders().value(s.previousOrder).isValid()
                ? m_catalog.orders().value(s.previousOrder).toLong("OrderID")
                : 0);
    if (s.quote >= 0 && !fresh)
        r.setLong("QuoteID",
            m_catalog.previousQuotes().value(s.quote).isValid()
                ? m_catalog.previousQuotes().value(s.quote).toLong("QuoteID")
                : 0);

    if (client.isValid()) {
        const qint32 clientId = client.toLong("ClientID");
        const QList<bizlib::Record> contacts = m_catalog.contactsOf(clientId);
        const bizlib::Record contact = contacts.value(0);
        bizlib::Record deliveryContact = contact;
        for (const bizlib::Record &c : contacts) {
            if (c.text("ContactType") == QStringLiteral("Delivery"))
                deliveryContact = c;
        }
        const bizlib::Record invoiceOffice = m_catalog.office(clientId, client.text("InvoiceOffice"));
        const bizlib::Record deliveryOffice = m_catalog.office(clientId, client.text("DeliveryOffice"));
        if (!contact.isValid() || !invoiceOffice.isValid() || !deliveryOffice.isValid())
            throw std::runtime_error("a demo client lacks a contact or an office");
        const bizlib::Record country = m_catalog.country(client.toLong("CountryID"));
        setTexts(r,
            { { "Name", client.text("Name") }, { "Contact", contact.text("Name") },
                { "OrderNo", QStringLiteral("PO-%1").arg(40000 + roll(9000)) },
                { "Office", invoiceOffice.text("Office") }, { "DOffice", deliveryOffice.text("Office") },
                { "ClientCode", client.text("Code") }, { "Address", invoiceOffice.text("Address") },
                { "DClientCode", client.text("Code") }, { "DContact", deliveryContact.text("Name") },
                { "DName", client.text("Name") }, { "DAddress", deliveryOffice.text("Address") },
                { "DAddress1", deliveryOffice.text("Address1") }, { "DAddress2", deliveryOffice.text("Address2") },
                { "DTown", deliveryOffice.text("Town") }, { "DCounty", deliveryOffice.text("County") },
                { "DPostcode", deliveryOffice.text("Postcode") }, { "DTel", deliveryOffice.text("Tel") },
                { "DEmail", deliveryContact.text("Email") } });
        setLongs(r,
            { { "ClientID", clientId }, { "ContactID", contact.toLong("ContactID") },
                { "OfficeID", invoiceOffice.toLong("OfficeID") }, { "CountryID", client.toLong("CountryID") },
                { "DClientID", clientId }, { "DOfficeID", deliveryOffice.toLong("OfficeID") },
                { "DContactID", deliveryContact.toLong("ContactID") }, { "DCountryID", client.toLong("CountryID") } });
        if (country.isValid())
            setTexts(
                r, { { "DCountry", country.text("CountryName") }, { "DCountryCode", country.text("CountryCode") } });
    } else {
        // A consumer: no account yet; the sign-up's details are the order's.
        const bizlib::Record country = m_catalog.country(signup.toLong("CountryID"));
        const QString name = signup.text("FullName");
        setTexts(r,
            { { "Name", name }, { "Contact", name }, { "Address", signup.text("Address") }, { "DContact", name },
                { "DName", name }, { "DAddress", signup.text("Address") }, { "DAddress1", signup.text("Address1") },
                { "DAddress2", signup.text("Address2") }, { "DTown", signup.text("Town") },
                { "DCounty", signup.text("County") }, { "DPostcode", signup.text("Postcode") },
                { "DTel", signup.text("DTel") }, { "DEmail", signup.text("Email") } });
        setLongs(r, { { "CountryID", signup.toLong("CountryID") }, { "DCountryID", signup.toLong("CountryID") } });
        if (country.isValid())
            setTexts(
                r, { { "DCountry", country.text("CountryName") }, { "DCountryCode", country.text("CountryCode") } });
    }
    orders.insert(r);
    return orderId;
}

} // namespace demo
