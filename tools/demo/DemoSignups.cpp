#include "DemoData.h"
#include "DemoFields.h"

// Registrations from the website (businesses on the trade portal, consumers who signed up while
// ordering) and the queue of webtasks in every state.

namespace demo {

namespace {

struct Signup
{
    const char *prefix, *sex, *first, *last, *company, *position, *address1, *address2, *town, *county, *postcode,
        *country, *tel, *mobile, *mailDomain, *source;
    bool isCustomer;
    const char *platform, *notes, *status, *response, *responseBy;
};

// B2C sign-ups first: each gets a web order of its own (in this order).
const Signup kSignups[] = {
    { "Mrs", "F", "Helen", "Carter", "", "", "12 Larch Grove", "", "Otley", "West Yorkshire", "LS21 3PQ", "GBR",
        "01943 496 118", "07700 900412", "mail.example", "B2C", false, "", "", "Pending", "", "" },
    { "Mr", "M", "Daniel", "Okafor", "", "", "Flat 3", "41 Ecclesall Road", "Sheffield", "South Yorkshire", "S11 8HY",
        "GBR", "", "07700 900873", "mail.example", "B2C", false, "", "", "Pending", "", "" },
    { "Ms", "F", "Aoife", "Brennan", "", "", "7 Seafield Road", "", "Dublin", "County Dublin", "D03 X2Y1", "IRL",
        "+353 1 555 0199", "", "post.example", "B2C", false, "", "", "Pending", "", "" },
    { "Mr", "M", "Gareth", "Lloyd", "Lloyd & Rees Solicitors", "Practice Manager", "9 Blake Street", "", "York",
        "North Yorkshire", "YO1 8QJ", "GBR", "01904 496 552", "", "lloydrees.example", "B2B", false, "",
        "Interested in trade pricing for regular letterhead and compliment slip runs.", "Pending", "", "" },
    { "Ms", "F", "Priya", "Shah", "Kirkstall Brewing Co", "Marketing Assistant", "100 Kirkstall Road", "", "Leeds",
        "West Yorkshire", "LS3 1HJ", "GBR", "0113 496 0264", "07700 900561", "kirkstallbrew.example", "B2B", true, "",
        "I look after our beer mats and pump clips - please link me to our existing account.", "Pending", "", "" },
    { "Mr", "M", "Tomasz", "Nowak", "Nowak Joinery Ltd", "Director", "Unit 3, Calder Park", "Denby Dale Road",
        "Wakefield", "West Yorkshire", "WF2 7AB", "GBR", "01924 496 310", "07700 900228", "nowakjoinery.example", "B2B",
        false, "", "", "Pending", "", "" },
    { "Dr", "F", "Emma", "Hughes", "Harrogate Dental Care", "Practice Owner", "27 Victoria Avenue", "", "Harrogate",
        "North Yorkshire", "HG1 5QE", "GBR", "01423 496 771", "", "harrogatedental.example", "B2B", false, "BO",
        "Appointment cards and a new price list to start with.", "Pending", "", "" },
    { "Mr", "M", "Luc", "Moreau", "Atelier Moreau", "G\u00e9rant", "14 rue Merci\u00e8re", "", "Lyon", "Rhone", "69002",
        "FRA", "+33 4 55 00 12 34", "", "ateliermoreau.example", "B2B", false, "", "", "Pending", "", "" },
    { "Mr", "M", "Ben", "Foster", "Foster Cycles", "Owner", "5 Bridge Street", "", "Otley", "West Yorkshire",
        "LS21 1BQ", "GBR", "01943 496 200", "", "fostercycles.example", "B2B", false, "", "", "Accepted",
        "Web registration successful", "MK" },
    { "Mr", "M", "Test", "Account", "asdf", "", "asdf", "", "Leeds", "", "LS1", "GBR", "", "", "example.com", "B2B",
        false, "", "", "Rejected", "Duplicate registration - please log in with your existing account.", "RP" },
};

constexpr int kSignupCount = int(std::size(kSignups));

struct Person
{
    const char *prefix, *sex, *first, *last;
};

// The people who sign up while the demo runs: names from many places, accents and apostrophes
// included, as the website takes them.
const Person kPeople[] = {
    { "Ms", "F", "Siobh\u00e1n", "O'Brien" },
    { "Mr", "M", "\u0141ukasz", "Nowicki" },
    { "Ms", "F", "Zo\u00eb", "M\u00fcller" },
    { "Mr", "M", "Jos\u00e9", "Garc\u00eda" },
    { "Mrs", "F", "Ren\u00e9e", "D'Arcy" },
    { "Mr", "M", "Aarav", "Patel" },
    { "Ms", "F", "Chlo\u00e9", "Dubois" },
    { "Mr", "M", "Kwame", "Mensah" },
    { "Ms", "F", "Ingrid", "S\u00f8ndergaard" },
    { "Mr", "M", "Callum", "MacLeod" },
    { "Ms", "F", "Mei", "Chen" },
    { "Mr", "M", "Tom\u00e1s", "\u00d3 S\u00failleabh\u00e1in" },
    { "Mrs", "F", "Fatima", "Haddad" },
    { "Mr", "M", "Oliver", "Bennett" },
    { "Ms", "F", "Grace", "Whitaker" },
    { "Mr", "M", "Dmitri", "Volkov" },
};

// "first.last" in plain lower-case letters, as mail addresses are usually made from names.
QString mailbox(const QString &first, const QString &last)
{
    QString out;
    for (const QChar c : (first + u'.' + last).normalized(QString::NormalizationForm_D).toLower()) {
        if ((c >= u'a' && c <= u'z') || c == u'.')
            out += c;
        else if (c == u'\u0142')
            out += u'l';
        else if (c == u'\u00f8')
            out += u'o';
    }
    return out;
}

struct Task
{
    const char *type, *request, *status, *description, *comments;
    int attempts;
};

// In the order they were raised.
const Task kTasks[] = {
    { "All", "Syncall", "Completed", "100% complete", "", 1 },
    { "Defaults", "Update", "Completed", "Syconf/defaults updated", "", 1 },
    { "WebQuote", "Reject", "Completed", "Quote request 57988 rejected - duplicate request", "", 1 },
    { "WebSignup", "Accept", "Completed", "Web registration successful", "", 1 },
    { "Material", "Syncall", "Failed", "60% complete",
        "<html><head><title>502 Bad Gateway</title></head><body><h1>Bad Gateway</h1><p>The proxy server received an "
        "invalid response from an upstream server.</p></body></html>",
        3 },
    { "Contact", "Update", "Completed", "", "", 1 },
    { "WebOrder", "Reject", "Failed", "Web order 73004 rejected - out of stock",
        "Order 73004 was not found on the website (HTTP 404).", 5 },
    { "WebSignup", "Reject", "Pending", "", "", 0 },
    { "Client", "Syncall", "Active", "45% complete", "", 1 },
    { "Transactions", "Syncall", "Active", "10% complete", "Connection reset by peer; restarted.", 2 },
    { "Currency", "Syncall", "Pending", "0% complete", "", 0 },
    { "Template", "Syncall", "Pending", "0% complete", "", 0 },
};

} // namespace

void DemoData::addSignups()
{
    m_b2cSignups.clear();
    const QList<QDateTime> received = spreadOverDays(kSignupCount, 14);
    for (int i = 0; i < kSignupCount; ++i) {
        const Signup &s = kSignups[i];
        const qint32 id = addSignup(i, Arrival::Sample, received.at(i));
        if (qstrcmp(s.source, "B2C") == 0 && qstrcmp(s.status, "Pending") == 0)
            m_b2cSignups.append(id);
        if (qstrcmp(s.status, "Accepted") == 0)
            m_acceptedSignup = id;
        if (qstrcmp(s.status, "Rejected") == 0)
            m_rejectedSignup = id;
    }
}

int DemoData::randomSignupPattern(bool consumer)
{
    QList<int> patterns;
    for (int i = 0; i < kSignupCount; ++i) {
        if ((qstrcmp(kSignups[i].source, "B2C") == 0) == consumer && qstrcmp(kSignups[i].status, "Pending") == 0)
            patterns << i;
    }
    return patterns.at(roll(int(patterns.size())));
}

qint32 DemoData::addSignup(int pattern, Arrival arrival, const QDateTime &when)
{
    const Signup &s = kSignups[pattern % kSignupCount];
    const bool live = arrival == Arrival::Live;
    const Person &p = live ? kPeople[roll(int(std::size(kPeople)))] : Person { s.prefix, s.sex, s.first, s.last };
    const QString first = str(p.first);
    const QString last = str(p.last);
    const QString fullName = first + u' ' + last;
    const QString email = mailbox(first, last) + u'@' + str(s.mailDomain);
    const bool consumer = qstrcmp(s.source, "B2C") == 0;
    const QString status = live ? QStringLiteral("Pending") : str(s.status);
    return writer(QStringLiteral("WebSignup")).add([&](bizlib::Record &r) {
        setTexts(r,
            { { "FullName", fullName }, { "Prefix", str(p.prefix) }, { "Sex", str(p.sex) }, { "FirstName", first },
                { "LastName", last }, { "Company", str(s.company) }, { "Position", str(s.position) },
                { "Address1", str(s.address1) }, { "Address2", str(s.address2) }, { "Town", str(s.town) },
                { "County", str(s.county) }, { "Postcode", str(s.postcode) }, { "Tel", str(s.tel) },
                { "Mobile", str(s.mobile) }, { "Email", email }, { "Source", str(s.source) }, { "Status", status },
                { "Notes", str(s.notes) }, { "Platform", str(s.platform) },
                { "Address",
                    formatAddress(
                        { str(s.address1), str(s.address2), str(s.town), str(s.county), str(s.postcode) }) } });
        setLongs(r,
            { { "CountryID", m_catalog.countryId(str(s.country)) }, { "IsCustomer", s.isCustomer ? 1 : 0 },
                { "DomainID", m_catalog.domainIds().value(consumer ? 0 : 1) } });
        setStamp(r, "SignupDate", "SignupTime", when);
        if (consumer) {
            // Consumers give their delivery details with the order they signed up for.
            setTexts(r,
                { { "DFirstName", first }, { "DLastName", last }, { "DFullName", fullName },
                    { "DAddress1", str(s.address1) }, { "DTel", str(s.tel).isEmpty() ? str(s.mobile) : str(s.tel) },
                    { "DEmail", email } });
        }
        if (!live && qstrlen(s.response) > 0) {
            setTexts(r, { { "Response", str(s.response) }, { "ResponseBy", str(s.responseBy) } });
            setStamp(r, "ResponseDate", "ResponseTime", when.addSecs(3 * 3600));
        }
    });
}

void DemoData::addWebTasks()
{
    const QList<QDateTime> raised = spreadOverDays(int(std::size(kTasks)), 14);
    const qint32 syconfId = maxOf(QStringLiteral("SYCONF"), QStringLiteral("SyconfID"));
    const bizlib::Record client = m_catalog.clients().value(2);
    const bizlib::Record contact = m_catalog.contactsOf(client.toLong("ClientID")).value(0);
    const QStringList users { QStringLiteral("JS"), QStringLiteral("MK"), QStringLiteral("RP"), QStringLiteral("LP") };
    int i = 0;
    for (const Task &t : kTasks) {
        const QDateTime when = raised.at(i);
        const QString type = str(t.type);
        const QString request = str(t.request);
        const QString status = str(t.status);
        writer(QStringLiteral("WebTask")).add([&](bizlib::Record &r) {
            QString description = str(t.description);
            qint32 taskId = 0;
            qint32 parentId = 0;
            if (type == QStringLiteral("Defaults")) {
                taskId = syconfId;
            } else if (type == QStringLiteral("WebSignup")) {
                taskId = request == QStringLiteral("Accept") ? m_acceptedSignup : m_rejectedSignup;
                if (description.isEmpty())
                    description = str(kSignups[std::size(kSignups) - 1].response);
            } else if (type == QStringLiteral("Contact") && contact.isValid()) {
                taskId = contact.toLong("ContactID");
                parentId = contact.toLong("ClientID");
                description = contact.text("Email");
                setTexts(r, { { "UserName", contact.text("Email") }, { "Company", client.text("Name") } });
            } else if (type == QStringLiteral("WebQuote")) {
                taskId = 57988;
            } else if (type == QStringLiteral("WebOrder")) {
                taskId = 73004;
            }
            setTexts(r,
                { { "TaskUser", users.at(i % users.size()) }, { "TaskType", type }, { "TaskRequest", request },
                    { "Description", description }, { "Status", status }, { "Comments", str(t.comments) } });
            setLongs(r,
                { { "TaskID", taskId }, { "ParentID", parentId }, { "Priority", 1 }, { "Attempts", t.attempts },
                    { "DomainID", m_catalog.domainIds().value(0) }, { "WebHistory", daysAgo(365) } });
            setStamp(r, "TaskDate", "TaskTime", when);
            if (status != QStringLiteral("Pending"))
                setStamp(r, "StartDate", "StartTime", when.addSecs(20));
            if (t.attempts > 1 && status == QStringLiteral("Active"))
                setStamp(r, "RestartDate", "RestartTime", when.addSecs(600));
            if (status == QStringLiteral("Completed") || status == QStringLiteral("Failed"))
                setStamp(r, "EndDate", "EndTime", when.addSecs(20 + 90 * t.attempts));
        });
        ++i;
    }
}

} // namespace demo
