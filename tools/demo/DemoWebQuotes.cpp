#include "DemoData.h"
#include "DemoFields.h"

#include <stdexcept>

// Web quote requests as the web monitor stores them: template requests (priced by the
// website from a template quote), repeat requests of a previous quote, and requests for
// quotation (RFQ) that name neither; some with a note from the website and attachments.

namespace demo {

namespace {

struct RequestSample
{
    char kind; // 'T' template, 'R' repeat of a previous quote, 'Q' request for quotation
    int source; // template or previous quote, by position
    int client; // by position (a repeat takes the previous quote's client)
    const char *title;
    int quantity;
    const char *depth, *width;
    int pages;
    const char *price, *runOn, *runOnPrice, *weight;
    const char *detail;
    const char *note; // from the website; nullptr: none
    const char *attachments; // file names separated by ';'; nullptr: none
    bool processing; // claimed by a workstation
};

const RequestSample kRequests[] = {
    { 'T', 0, 0, "Business cards - Sarah Whitfield", 500, "55.0000", "85.0000", 2, "48.00", "250", "14.50", "1.90",
        "350gsm silk, full colour both sides, matt laminated", nullptr, "sarah-whitfield-card.pdf", false },
    { 'Q', 0, 3, "Swing tags with eyelet and string", 5000, "90.0000", "50.0000", 2, "0", "0", "0", "0",
        "Heavy board, full colour both sides, 5mm hole with brass eyelet, natural string",
        "We would like samples of the board before we commit - can you post some?", "swing-tag-sketch.jpg", false },
    { 'T', 1, 6, "A5 flyers - Summer Gala", 2500, "210.0000", "148.0000", 2, "126.50", "1000", "32.00", "15.60",
        "170gsm gloss, full colour both sides", nullptr, nullptr, false },
    { 'R', 0, 0, "Annual report 2026 - 36pp A4 plus cover", 750, "297.0000", "210.0000", 36, "3412.00", "0", "0",
        "295.00", "As last year, four more pages",
        "Four extra pages this year for the sustainability section. Same stock as before please.", nullptr, false },
    { 'Q', 0, 1, "Patient information booklets, A5 saddle stitched", 3000, "210.0000", "148.0000", 12, "0", "0", "0",
        "0", "Full colour, 12pp self cover, saddle stitched", nullptr, "booklet-brief.docx", false },
    { 'T', 2, 7, "Roller banner - branch opening", 3, "2000.0000", "850.0000", 1, "267.00", "0", "0", "12.60",
        "Roller banner with stand and bag", nullptr, nullptr, true },
    { 'T', 0, 4, "Business cards - engineering team (6 names)", 1500, "55.0000", "85.0000", 2, "144.00", "250", "14.50",
        "5.70", "350gsm silk, full colour both sides", "Six names - the details are in the spreadsheet.",
        "card-names.xlsx", false },
    { 'R', 1, 5, "Beer mats - Autumn Ale", 10000, "95.0000", "95.0000", 2, "690.00", "5000", "210.00", "48.00",
        "As previous beer mats, new design", nullptr, nullptr, false },
    { 'Q', 0, 2, "Property brochures, A4 8pp, soft-touch laminate", 1000, "297.0000", "210.0000", 8, "0", "0", "0", "0",
        "Full colour, 300gsm cover with soft-touch laminate, 170gsm text", nullptr, nullptr, false },
    { 'T', 1, 8, "A5 leaflets - open evening", 5000, "210.0000", "148.0000", 2, "189.00", "1000", "32.00", "31.20",
        "170gsm gloss, full colour both sides", nullptr, nullptr, false },
    { 'Q', 0, 9, "Exhibition stand graphics (3 x 3m pop-up)", 1, "2250.0000", "3000.0000", 1, "0", "0", "0", "0",
        "Fabric panels for an existing pop-up frame, dye-sublimation",
        "Stand build is two days before the show opens, so we need delivery to the venue by then.", "stand-visual.pdf",
        false },
    { 'R', 2, 6, "Event programme - Winter Conference 20pp", 800, "210.0000", "148.0000", 20, "1260.00", "0", "0",
        "64.00", "As the spring programme, 20pp", nullptr, nullptr, false },
    { 'T', 2, 3, "Roller banner - trade show", 2, "2000.0000", "850.0000", 1, "178.00", "0", "0", "8.40",
        "Roller banner with stand and bag", nullptr, "banner-artwork.pdf", false },
    { 'Q', 0, 0, "Letterheads and compliment slips", 2000, "297.0000", "210.0000", 1, "0", "0", "0", "0",
        "120gsm uncoated, two colours, compliment slips DL", nullptr, nullptr, false },
    { 'T', 0, 2, "Business cards - new negotiator", 250, "55.0000", "85.0000", 2, "36.00", "250", "14.50", "0.95",
        "350gsm silk, full colour both sides", nullptr, nullptr, false },
    { 'R', 3, 8, "Prospectus 2027 - 24pp A4", 4000, "297.0000", "210.0000", 24, "5180.00", "1000", "980.00", "610.00",
        "As the 2026 prospectus", "New photography throughout; the draft is attached for the page count.",
        "prospectus-2027-draft.pdf", false },
    { 'Q', 0, 5, "Pump clip inserts, 4 designs", 400, "200.0000", "65.0000", 1, "0", "0", "0", "0",
        "Full colour one side on synthetic paper, die-cut to shape", nullptr, nullptr, true },
    { 'T', 1, 1, "A5 leaflets - flu clinic", 10000, "210.0000", "148.0000", 2, "298.00", "1000", "28.00", "62.40",
        "170gsm gloss, full colour both sides", nullptr, nullptr, false },
    { 'Q', 0, 7, "Mortgage rate cards, DL, 4pp folded", 6000, "210.0000", "99.0000", 4, "0", "0", "0", "0",
        "350gsm silk, full colour, creased and folded to DL",
        "Rates change monthly - could you quote for a reprint each month as well?", nullptr, false },
    { 'T', 0, 9, "Business cards - Liffey studio (4 designers)", 1000, "55.0000", "85.0000", 2, "96.00", "250", "14.50",
        "3.80", "350gsm silk, full colour both sides", nullptr, "cards-4-designers.pdf", false },
    { 'Q', 0, 4, "Safety manual, A4 60pp wire bound", 150, "297.0000", "210.0000", 60, "0", "0", "0", "0",
        "Black text, colour cover, wire-o bound with clear front cover", nullptr,
        "safety-manual-v3.pdf;cover-options.zip", false },
    { 'R', 0, 0, "Annual report 2026 - reprint 200", 200, "297.0000", "210.0000", 32, "1104.00", "0", "0", "78.00",
        "As the annual report, unchanged", nullptr, nullptr, false },
    { 'Q', 0, 6, "Wristbands and lanyards for 2,000 delegates", 2000, "25.0000", "250.0000", 1, "0", "0", "0", "0",
        "Printed lanyards with safety break, Tyvek wristbands",
        "Colours to match our brand guidelines; lanyards in navy please.", nullptr, false },
    { 'T', 2, 5, "Roller banners - taproom", 4, "2000.0000", "850.0000", 1, "349.00", "0", "0", "16.80",
        "Roller banner with stand and bag", nullptr, nullptr, false },
};

constexpr int kRequestCount = int(std::size(kRequests));

QString sizeText(const char *depth, const char *width)
{
    return QStringLiteral("%1 x %2 mm").arg(dec(width).toString(0), dec(depth).toString(0));
}

} // namespace

int DemoData::templatePattern(int index)
{
    QList<int> patterns;
    for (int i = 0; i < kRequestCount; ++i) {
        if (kRequests[i].kind != 'Q')
            patterns << i;
    }
    return patterns.at(index % patterns.size());
}

void DemoData::addWebQuoteRequests()
{
    const QList<QDateTime> received = spreadOverDays(kRequestCount, 14);
    qint32 webId = 58000;
    for (int i = 0; i < kRequestCount; ++i) {
        webId += 1 + roll(4);
        addWebQuote(i, Arrival::Sample, 1001 + i, webId, received.at(i));
    }
}

int DemoData::randomQuotePattern(QuoteKind kind)
{
    const char letter = kind == QuoteKind::Template ? 'T' : kind == QuoteKind::Previous ? 'R' : 'Q';
    QList<int> patterns;
    for (int i = 0; i < kRequestCount; ++i) {
        if (kRequests[i].kind == letter)
            patterns << i;
    }
    return patterns.at(roll(int(patterns.size())));
}

qint32 DemoData::addWebQuote(int pattern, Arrival arrival, qint32 number, qint32 webId, const QDateTime &received)
{
    const RequestSample &s = kRequests[pattern % kRequestCount];
    // Extra and live requests: a client picked at random, never claimed, no links to earlier work.
    const bool fresh = arrival != Arrival::Sample;
    const QString status = s.processing && !fresh ? QStringLiteral("Processing") : QStringLiteral("Pending");
    const QList<bizlib::Record> &clients = m_catalog.clients();
    bizlib::Record client = clients.value(fresh ? roll(int(clients.size())) : s.client % int(clients.size()));
    qint32 templateId = 0;
    qint32 previousId = 0;
    if (s.kind == 'T' && !m_catalog.templates().isEmpty()) {
        templateId = m_catalog.templates().value(s.source % int(m_catalog.templates().size())).toLong("QuoteID");
    } else if (s.kind == 'R' && !m_catalog.previousQuotes().isEmpty()) {
        const bizlib::Record previous
            = m_catalog.previousQuotes().value(s.source % int(m_catalog.previousQuotes().size()));
        previousId = previous.toLong("QuoteID");
        if (m_catalog.client(previous.toLong("ClientID")).isValid())
            client = m_catalog.client(previous.toLong("ClientID"));
    }
    const qint32 clientId = client.toLong("ClientID");
    const QList<bizlib::Record> contacts = m_catalog.contactsOf(clientId);
    if (contacts.isEmpty())
        throw std::runtime_error("a demo client has no contacts");
    const bizlib::Record contact = contacts.value(fresh ? roll(int(contacts.size())) : pattern % int(contacts.size()));
    const bool rfq = s.kind == 'Q';

    RowWriter &requests = writer(QStringLiteral("WebQuotes"));
    bizlib::Record r = requests.prime();
    const qint32 quoteId = r.toLong("QuoteID");

    if (s.note) {
        r.setLong("NoteID",
            addWebNote(QStringLiteral("QTE"), quoteId, QStringLiteral("Message from the website"),
                QStringLiteral("General"), str(s.note), received));
    }
    if (s.attachments) {
        for (const QString &file : str(s.attachments).split(u';')) {
            addWebAttachment(QStringLiteral("QTE"), quoteId, webId, file,
                file.endsWith(QStringLiteral(".pdf")) || file.endsWith(QStringLiteral(".jpg")), 0, arrival,
                str(s.title));
        }
        r.setLong("HasAttachments", 1);
    }

    const QString size = sizeText(s.depth, s.width);
    const QString pages = QStringLiteral("%1 pages").arg(s.pages);
    const QString finishing = s.pages > 4 ? QStringLiteral("Bound, trimmed to size") : QStringLiteral("Trimmed");
    if (s.kind == 'T') {
        // Template requests carry the website's tab texts; the others their own spec sections.
        const QList<std::pair<QString, QString>> tabs { { QStringLiteral("Size"), size + u'\n' + pages },
            { QStringLiteral("Printing"), str(s.detail) }, { QStringLiteral("Finishing"), finishing } };
        for (const auto &[tab, text] : tabs) {
            writer(QStringLiteral("TabTexts")).add([&](bizlib::Record &t) {
                setLongs(t, { { "WebQuoteID", quoteId }, { "TabID", m_catalog.tabId(tab) } });
                t.setText("Text", text);
            });
        }
    } else {
        setTexts(r,
            { { "SpecSize", size + u'\n' + pages }, { "SpecPrinting", str(s.detail) }, { "SpecFinishing", finishing },
                { "SpecDelivery", QStringLiteral("To ") + client.text("DeliveryOffice") } });
    }

    const QString title
        = arrival == Arrival::Extra ? QStringLiteral("%1 (%2)").arg(str(s.title)).arg(number) : str(s.title);
    setTexts(r,
        { { "Revision", QString() }, { "Contact", contact.text("Name") }, { "Title", title },
            { "Spec",
                QStringLiteral("Quantity: %1\nSize: %2\n%3\n%4").arg(s.quantity).arg(size, pages, str(s.detail)) },
            { "Office", client.text("InvoiceOffice") }, { "Rep", client.text("Rep") },
            { "QuoteType", rfq ? QStringLiteral("RFQ") : QStringLiteral("Quote") }, { "Status", status } });
    setLongs(r,
        { { "Number", number }, { "WebID", webId }, { "ClientID", clientId },
            { "ContactID", contact.toLong("ContactID") }, { "Quantity1", s.quantity }, { "Pages", s.pages },
            { "TemplateID", templateId }, { "PreviousID", previousId },
            { "WebCalc", rfq || dec(s.price).isZero() ? 0 : 1 } });
    r.setDecimal("Depth", dec(s.depth));
    r.setDecimal("Width", dec(s.width));
    r.setDecimal("SellingPrice1", dec(s.price));
    r.setDecimal("RunOn", dec(s.runOn));
    r.setDecimal("RunOnPrice", dec(s.runOnPrice));
    r.setDecimal("Weight1", dec(s.weight));
    setStamp(r, "CreatedOn", "CreatedAt", received);
    if (status == QStringLiteral("Processing")) {
        // Claimed: the claim filled in the invoice office's address.
        const bizlib::Record office = m_catalog.office(clientId, client.text("InvoiceOffice"));
        r.setLong("OfficeID", office.isValid() ? office.toLong("OfficeID") : 0);
        r.setText("Address", office.isValid() ? office.text("Address") : client.text("Address"));
    }
    requests.insert(r);
    return quoteId;
}

} // namespace demo
