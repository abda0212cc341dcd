#include "DemoData.h"
#include "DemoFields.h"

// The demo clients: each with an invoice office and a delivery office, two or three contacts,
// a sales rep and an account manager (users' initials) and a web domain.

namespace demo {

namespace {

struct Client
{
    const char *code, *name, *category, *address1, *address2, *town, *county, *postcode, *country, *area, *tel,
        *mailDomain, *rep, *manager, *payment, *taxCode, *currency;
    int domain; // index into the domains: 0 public site, 1 trade portal
    const char *deliveryAddress1, *deliveryAddress2, *deliveryPostcode;
};

const Client kClients[] = {
    { "ABB001", "Abbey Wealth Management", "Corporate", "3 Park Square East", "", "Leeds", "West Yorkshire", "LS1 2NE",
        "GBR", "LEEDS", "0113 496 0811", "abbeywealth.example", "MK", "JS", "Credit", "S", "GBP", 0, "Abbey House",
        "22 Wellington Street", "LS1 4DL" },
    { "BRI001", "Brightcare Health Trust", "Health", "Clifton Moor Medical Centre", "Kettlestring Lane", "York",
        "North Yorkshire", "YO30 4XF", "GBR", "NORTH", "01904 496 233", "brightcare.example", "RP", "RP", "Credit", "S",
        "GBP", 1, "Central Stores", "Unit 2, Auster Road", "YO30 4XA" },
    { "CAS001", "Castlegate Estate Agents", "Corporate", "14 Station Parade", "", "Harrogate", "North Yorkshire",
        "HG1 1UE", "GBR", "NORTH", "01423 496 410", "castlegate-homes.example", "MK", "MK", "Credit", "S", "GBP", 0,
        "Castlegate Lettings", "3 James Street", "HG1 1QF" },
    { "DAL001", "Dales Outdoor Gear Ltd", "Retail", "Mill Bridge Works", "Keighley Road", "Skipton", "North Yorkshire",
        "BD23 2NB", "GBR", "NORTH", "01756 496 077", "dalesoutdoor.example", "RP", "LP", "Prepay", "S", "GBP", 0,
        "Warehouse 6", "Engine Shed Lane", "BD23 1UP" },
    { "HUM001", "Humber Marine Engineering", "Corporate", "Albert Dock Yard", "Wellington Street West", "Hull",
        "East Riding of Yorkshire", "HU1 2DE", "GBR", "EAST", "01482 496 350", "humbermarine.example", "MK", "JS",
        "Credit", "S", "GBP", 1, "Goods In, Gate 3", "King George Dock", "HU9 5PQ" },
    { "KIR001", "Kirkstall Brewing Co", "Hospitality", "100 Kirkstall Road", "", "Leeds", "West Yorkshire", "LS3 1HJ",
        "GBR", "LEEDS", "0113 496 0264", "kirkstallbrew.example", "RP", "RP", "Credit", "S", "GBP", 0, "The Taproom",
        "2 Abbey Road", "LS5 3HS" },
    { "MER001", "Meridian Events Ltd", "Hospitality", "Suite 5, Jactin House", "24 Hood Street", "Manchester",
        "Greater Manchester", "M4 6WX", "GBR", "WEST", "0161 496 0735", "meridian-events.example", "MK", "MK", "Prepay",
        "S", "GBP", 0, "Event Store", "Unit 11, Ancoats Works", "M4 6DE" },
    { "PEN001", "Pennine Building Society", "Corporate", "Pennine House", "Market Street", "Bradford", "West Yorkshire",
        "BD1 1LH", "GBR", "LEEDS", "01274 496 600", "penninebs.example", "RP", "JS", "Credit", "S", "GBP", 1,
        "Print Room", "1 Hall Ings", "BD1 5SB" },
    { "SHE001", "Sheaf Valley Academy", "Education", "Granville Road", "", "Sheffield", "South Yorkshire", "S2 2RJ",
        "GBR", "SOUTH", "0114 496 0900", "sheafvalley.example", "MK", "LP", "Credit", "S", "GBP", 0, "Site Office",
        "Norfolk Park Road", "S2 3QE" },
    { "LIF001", "Liffey Design Studio", "Corporate", "Studio 2", "18 Ormond Quay Upper", "Dublin", "County Dublin",
        "D07 N2F3", "IRL", "EXPORT", "+353 1 555 0142", "liffeydesign.example", "RP", "RP", "Credit", "Z", "EUR", 1,
        "Studio 2", "18 Ormond Quay Upper", "D07 N2F3" },
};

struct Person
{
    const char *first, *last, *prefix;
};
const Person kPeople[] = {
    { "Sarah", "Whitfield", "Ms" },
    { "David", "Ackroyd", "Mr" },
    { "Amira", "Haddad", "Ms" },
    { "Peter", "Lumb", "Mr" },
    { "Grace", "Holroyd", "Mrs" },
    { "Owen", "Pickles", "Mr" },
    { "Nadia", "Rahman", "Dr" },
    { "James", "Firth", "Mr" },
    { "Chloe", "Brook", "Miss" },
    { "Martin", "Sykes", "Mr" },
    { "Fiona", "Dyson", "Mrs" },
    { "Karl", "Wadsworth", "Mr" },
    { "Leah", "Crossley", "Ms" },
    { "Imran", "Siddiqui", "Mr" },
    { "Ruth", "Gledhill", "Mrs" },
    { "Sean", "Murphy", "Mr" },
    { "Hannah", "Moss", "Ms" },
    { "Victor", "Okoro", "Mr" },
    { "Beth", "Tattersall", "Ms" },
    { "Colin", "Sugden", "Mr" },
    { "Niamh", "Kelly", "Ms" },
    { "Alan", "Greenwood", "Mr" },
    { "Zara", "Iqbal", "Ms" },
    { "Philip", "Hey", "Mr" },
    { "Orla", "Byrne", "Ms" },
    { "Gavin", "Marsden", "Mr" },
    { "Tessa", "Robertshaw", "Mrs" },
    { "Ewan", "Lister", "Mr" },
    { "Maria", "Costa", "Ms" },
    { "Dominic", "Heaton", "Mr" },
};

// The contacts' roles, in contact order: the first is the primary contact.
struct Role
{
    const char *position, *dept, *type;
    bool delivery; // works at the delivery office
};
const Role kRoles[] = {
    { "Marketing Manager", "Marketing", "Main", false },
    { "Accounts Payable", "Finance", "Accounts", false },
    { "Goods In Supervisor", "Facilities", "Delivery", true },
};

} // namespace

void DemoData::addClients()
{
    RowWriter &clients = writer(QStringLiteral("Clients"));
    RowWriter &offices = writer(QStringLiteral("Offices"));
    RowWriter &contacts = writer(QStringLiteral("Contacts"));
    RowWriter &links = writer(QStringLiteral("ContactOffices"));
    int person = 0;
    int created = 400;
    for (const Client &c : kClients) {
        const QString code = str(c.code);
        const QString name = str(c.name);
        const QString countryCode = str(c.country);
        const QString countryName
            = countryCode == QStringLiteral("IRL") ? QStringLiteral("Ireland") : QStringLiteral("United Kingdom");
        const qint32 countryId = m_catalog.countryId(countryCode);
        const QStringList lines { str(c.address1), str(c.address2), QString(), str(c.town), str(c.county),
            str(c.postcode) };
        const QStringList deliveryLines { str(c.deliveryAddress1), str(c.deliveryAddress2), QString(), str(c.town),
            str(c.county), str(c.deliveryPostcode) };
        const qint32 domainId = m_catalog.domainIds().value(c.domain);

        // Numbers first: the client, its offices and its contacts all point at one another.
        bizlib::Record client = clients.prime();
        bizlib::Record invoiceOffice = offices.prime();
        bizlib::Record deliveryOffice = offices.prime();
        const qint32 clientId = client.toLong("ClientID");
        const auto fillOffice = [&](bizlib::Record &o, const QString &officeCode, const QStringList &address,
                                    bool invoice) {
            setTexts(o,
                { { "ClientCode", code }, { "Office", officeCode }, { "Name", name },
                    { "Address", formatAddress(address + QStringList { countryName }) }, { "Address1", address[0] },
                    { "Address2", address[1] }, { "Town", address[3] }, { "County", address[4] },
                    { "Postcode", address[5] }, { "Country", countryName }, { "CountryCode", countryCode },
                    { "Tel", str(c.tel) },
                    { "Email",
                        (invoice ? QStringLiteral("accounts@") : QStringLiteral("goodsin@")) + str(c.mailDomain) },
                    { "Type", invoice ? QStringLiteral("Accounts") : QStringLiteral("Delivery") },
                    { "RecordType", QStringLiteral("C") } });
            setLongs(o,
                { { "ClientID", clientId }, { "CountryID", countryId }, { "InvoiceAddress", invoice ? 1 : 0 },
                    { "ShippingDays", 2 } });
        };
        fillOffice(invoiceOffice, code + QStringLiteral("-001"), lines, true);
        fillOffice(deliveryOffice, code + QStringLiteral("-002"), deliveryLines, false);

        const int contactCount = 2 + roll(2);
        for (int i = 0; i < contactCount; ++i) {
            const Person &p = kPeople[person++ % std::size(kPeople)];
            const Role &role = kRoles[i];
            bizlib::Record &office = role.delivery ? deliveryOffice : invoiceOffice;
            const QString first = str(p.first);
            const QString fullName = first + u' ' + str(p.last);
            const qint32 contactId = contacts.add([&](bizlib::Record &r) {
                setTexts(r,
                    { { "Office", office.text("Office") }, { "AccountCode", code }, { "Prefix", str(p.prefix) },
                        { "FirstName", first }, { "LastName", str(p.last) }, { "Name", fullName },
                        { "Salutation", QStringLiteral("Dear ") + first }, { "Position", str(role.position) },
                        { "Dept", str(role.dept) }, { "Tel", str(c.tel) },
                        { "Mobile", QStringLiteral("07700 900%1").arg(100 + roll(900)) },
                        { "Email", QStringLiteral("%1.%2@%3").arg(first, str(p.last), str(c.mailDomain)).toLower() },
                        { "ContactType", str(role.type) }, { "Status", QStringLiteral("Active") },
                        { "RecordType", QStringLiteral("C") } });
                setLongs(r,
                    { { "ClientID", clientId }, { "OfficeID", office.toLong("OfficeID") }, { "AccountID", clientId },
                        { "Primary", i == 0 ? 1 : 0 }, { "WebEnable", i < 2 ? 1 : 0 },
                        { "Prepay", qstrcmp(c.payment, "Prepay") == 0 ? 1 : 0 } });
            });
            links.add([&](bizlib::Record &r) {
                setLongs(r, { { "ContactID", contactId }, { "OfficeID", office.toLong("OfficeID") }, { "Active", 1 } });
                setTexts(r, { { "LinkType", QStringLiteral("CLI") }, { "Category", str(role.type) } });
            });
            if (office.toLong("ContactID") == 0) {
                office.setLong("ContactID", contactId);
                office.setText("Contact", fullName);
            }
            if (i == 0) {
                client.setLong("ContactID", contactId);
                client.setText("Contact", fullName);
            }
        }
        if (deliveryOffice.toLong("ContactID") == 0) {
            deliveryOffice.setLong("ContactID", client.toLong("ContactID"));
            deliveryOffice.setText("Contact", client.text("Contact"));
        }
        offices.insert(invoiceOffice);
        offices.insert(deliveryOffice);

        created -= 20 + roll(20);
        const bool prepay = qstrcmp(c.payment, "Prepay") == 0;
        setTexts(client,
            { { "Code", code }, { "Name", name }, { "NameCaps", name.toUpper() },
                { "Address", formatAddress(lines + QStringList { countryName }) }, { "Address1", lines[0] },
                { "Address2", lines[1] }, { "Town", lines[3] }, { "County", lines[4] }, { "Postcode", lines[5] },
                { "Country", countryName }, { "CountryCode", countryCode }, { "Tel1", str(c.tel) },
                { "Email", QStringLiteral("info@") + str(c.mailDomain) },
                { "Web", QStringLiteral("https://www.") + str(c.mailDomain) },
                { "InvoiceOffice", invoiceOffice.text("Office") }, { "DeliveryOffice", deliveryOffice.text("Office") },
                { "ClientType", QStringLiteral("Client") }, { "Category", str(c.category) }, { "Area", str(c.area) },
                { "Status", QStringLiteral("Active") }, { "Rep", str(c.rep) }, { "Manager", str(c.manager) },
                { "Markup", QStringLiteral("STD") }, { "DeliveryBy", QStringLiteral("Courier") },
                { "Payment", str(c.payment) },
                { "Terms", prepay ? QStringLiteral("Pro-forma") : QStringLiteral("30 days") },
                { "Currency", str(c.currency) }, { "Nominal", QStringLiteral("4000") }, { "TaxCode", str(c.taxCode) },
                { "CreatedBy", str(c.manager) } });
        client.setDecimal("CreditLimit", prepay ? dec("0") : bizlib::Decimal::fromInt(2500 * (1 + roll(8))));
        client.setDecimal("Factor", dec("1.0000"));
        setLongs(client,
            { { "CountryID", countryId }, { "OfficeID", invoiceOffice.toLong("OfficeID") }, { "DomainID", domainId },
                { "ShippingDays", 2 }, { "WebEnable", 1 }, { "WebExpiryDate", daysAgo(-365) }, { "WebNotify", 1 },
                { "WebHistory", daysAgo(365) }, { "ActivityDate", daysAgo(15 + roll(60)) },
                { "ActivityTime", bizlib::DateTime::fromTime(QTime(9, 0).addSecs(roll(8 * 3600))) },
                { "CreatedOn", daysAgo(created) } });
        clients.insert(client);

        writer(QStringLiteral("DomainLinks")).add([&](bizlib::Record &r) {
            setLongs(r, { { "ClientID", clientId }, { "DomainID", domainId } });
        });
    }
}

} // namespace demo
