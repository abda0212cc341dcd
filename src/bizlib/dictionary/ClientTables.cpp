#include "bizlib/dictionary/TableGroups.h"

// Client accounts with their contacts and offices, and the reference tables an account is filled
// from: countries, towns, web domains, currencies, nominal codes and tax rates.

namespace bizlib::dictionary {

namespace {

void describeClients(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("Clients"), QStringLiteral("CLI"));
    t.alias(QStringLiteral("CLIA"))
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("Code"), Type::CString(11)) // account code
        .field(QStringLiteral("Name"), Type::CString(51))
        .field(QStringLiteral("NameCaps"), Type::CString(51)) // upper-cased name, the search key
        .field(QStringLiteral("Address"), Type::CString(281)); // formatted address
    addAddressLines(t);
    t.field(QStringLiteral("Country"), Type::CString(41))
        .field(QStringLiteral("CountryCode"), Type::CString(4))
        .field(QStringLiteral("CountryID"), Type::Long())
        .field(QStringLiteral("Tel1"), Type::CString(26))
        .field(QStringLiteral("Tel2"), Type::CString(26))
        .field(QStringLiteral("Fax"), Type::CString(26))
        .field(QStringLiteral("Mobile"), Type::CString(26))
        .field(QStringLiteral("Email"), Type::CString(81))
        .field(QStringLiteral("Web"), Type::CString(101))
        .field(QStringLiteral("ContactID"), Type::Long()) // primary contact
        .field(QStringLiteral("Contact"), Type::CString(51))
        .field(QStringLiteral("OfficeID"), Type::Long()) // main office
        .field(QStringLiteral("InvoiceOffice"), Type::CString(11))
        .field(QStringLiteral("DeliveryOffice"), Type::CString(11))
        .field(QStringLiteral("DomainID"), Type::Long()) // site domain
        .field(QStringLiteral("ClientType"), Type::CString(21)) // "Client", "Prospect", "Both"
        .field(QStringLiteral("Category"), Type::CString(21))
        .field(QStringLiteral("Subref"), Type::CString(21))
        .field(QStringLiteral("Area"), Type::CString(11))
        .field(QStringLiteral("Status"), Type::CString(21))
        .field(QStringLiteral("OnStop"), Type::Byte())
        .field(QStringLiteral("NoteID"), Type::Long())
        .field(QStringLiteral("Rep"), Type::CString(4)) // sales rep's initials
        .field(QStringLiteral("Manager"), Type::CString(4)) // account manager's initials
        .field(QStringLiteral("Markup"), Type::CString(7))
        .field(QStringLiteral("DeliveryBy"), Type::CString(31))
        .field(QStringLiteral("ShippingDays"), Type::Long())
        // Accounts.
        .field(QStringLiteral("Payment"), Type::CString(20)) // "Credit", "Prepay", "COD"
        .field(QStringLiteral("Terms"), Type::CString(11))
        .field(QStringLiteral("CreditLimit"), Type::Decimal(13, 2))
        .field(QStringLiteral("Factor"), Type::Decimal(9, 4))
        .field(QStringLiteral("TaxReg"), Type::CString(21))
        .field(QStringLiteral("Currency"), Type::CString(21))
        .field(QStringLiteral("Nominal"), Type::CString(21))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("TaxCodeForce"), Type::Byte())
        .field(QStringLiteral("IncludeTax"), Type::Byte())
        // Website access.
        .field(QStringLiteral("WebEnable"), Type::Byte())
        .field(QStringLiteral("WebExpiryDate"), Type::Date())
        .field(QStringLiteral("WebExpiryTime"), Type::Time())
        .field(QStringLiteral("WebOrderNotify"), Type::CString(11))
        .field(QStringLiteral("WebNotify"), Type::Byte())
        .field(QStringLiteral("WebHistory"), Type::Date())
        .field(QStringLiteral("ActivityDate"), Type::Date()) // last quote or order activity
        .field(QStringLiteral("ActivityTime"), Type::Time())
        .field(QStringLiteral("CreatedOn"), Type::Date())
        .field(QStringLiteral("CreatedBy"), Type::CString(4))
        .key(QStringLiteral("CLIENTIDKEY"), { QStringLiteral("ClientID") }, true)
        .key(QStringLiteral("CODEKEY"), { QStringLiteral("Code") }, true)
        .key(QStringLiteral("NAMEKEY"), { QStringLiteral("NameCaps") })
        .key(QStringLiteral("WEBENABLEKEY"), { QStringLiteral("WebEnable"), QStringLiteral("NameCaps") })
        .key(QStringLiteral("MANAGERKEY"), { QStringLiteral("Manager") })
        .autoNumber(QStringLiteral("ClientID"))
        .related(QStringLiteral("Contacts"), { { QStringLiteral("ClientID"), QStringLiteral("ClientID") } })
        .related(QStringLiteral("Offices"), { { QStringLiteral("ClientID"), QStringLiteral("ClientID") } })
        .related(QStringLiteral("DomainLinks"), { { QStringLiteral("ClientID"), QStringLiteral("ClientID") } });
}

void describeContacts(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Contacts"), QStringLiteral("CON"))
        .alias(QStringLiteral("CONA"))
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("Office"), Type::CString(11))
        .field(QStringLiteral("AccountID"), Type::Long())
        .field(QStringLiteral("AccountCode"), Type::CString(11))
        .field(QStringLiteral("Prefix"), Type::CString(16))
        .field(QStringLiteral("FirstName"), Type::CString(26))
        .field(QStringLiteral("LastName"), Type::CString(26))
        .field(QStringLiteral("Name"), Type::CString(51))
        .field(QStringLiteral("Salutation"), Type::CString(51))
        .field(QStringLiteral("Position"), Type::CString(36))
        .field(QStringLiteral("Dept"), Type::CString(31))
        .field(QStringLiteral("Tel"), Type::CString(26))
        .field(QStringLiteral("Fax"), Type::CString(26))
        .field(QStringLiteral("Mobile"), Type::CString(26))
        .field(QStringLiteral("Email"), Type::CString(81))
        .field(QStringLiteral("WebPassword"), Type::CString(21))
        .field(QStringLiteral("Primary"), Type::Byte())
        .field(QStringLiteral("ContactType"), Type::CString(21)) // category, "Delivery" ...
        .field(QStringLiteral("Status"), Type::CString(21)) // "Active" ...
        .field(QStringLiteral("WebEnable"), Type::Byte())
        .field(QStringLiteral("Prepay"), Type::Byte())
        .field(QStringLiteral("RecordType"), Type::CString(2)) // "C" client contact
        // A second contact who gets a copy of processing notifications when NotifyLinked is set.
        .field(QStringLiteral("LinkedContactID"), Type::Long())
        .field(QStringLiteral("NotifyLinked"), Type::Byte())
        .field(QStringLiteral("NoteID"), Type::Long())
        .key(QStringLiteral("CONTACTIDKEY"), { QStringLiteral("ContactID") }, true)
        .key(QStringLiteral("CLIENTIDNAMEKEY"), { QStringLiteral("ClientID"), QStringLiteral("Name") })
        .key(QStringLiteral("EMAILKEY"), { QStringLiteral("Email") })
        .key(QStringLiteral("OFFICEIDKEY"), { QStringLiteral("OfficeID") })
        .autoNumber(QStringLiteral("ContactID"))
        .related(QStringLiteral("ContactOffices"), { { QStringLiteral("ContactID"), QStringLiteral("ContactID") } });
}

void describeOffices(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("Offices"), QStringLiteral("OFF"));
    t.alias(QStringLiteral("OFFA"))
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("ClientCode"), Type::CString(11))
        .field(QStringLiteral("Office"), Type::CString(11)) // office code, client code prefix + "-001" ...
        .field(QStringLiteral("Name"), Type::CString(51))
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("Contact"), Type::CString(51))
        .field(QStringLiteral("Address"), Type::CString(281));
    addAddressLines(t);
    t.field(QStringLiteral("CountryID"), Type::Long())
        .field(QStringLiteral("Country"), Type::CString(41))
        .field(QStringLiteral("CountryCode"), Type::CString(4))
        .field(QStringLiteral("Tel"), Type::CString(26))
        .field(QStringLiteral("Fax"), Type::CString(26))
        .field(QStringLiteral("Email"), Type::CString(81))
        .field(QStringLiteral("Type"), Type::CString(16)) // "Accounts", "Delivery"
        .field(QStringLiteral("InvoiceAddress"), Type::Byte())
        .field(QStringLiteral("ShippingDays"), Type::Long())
        .field(QStringLiteral("RecordType"), Type::CString(2))
        .key(QStringLiteral("OFFICEIDKEY"), { QStringLiteral("OfficeID") }, true)
        .key(QStringLiteral("CLIENTIDKEY"), { QStringLiteral("ClientID"), QStringLiteral("Office") })
        .key(QStringLiteral("CLIENTPOSTCODEKEY"), { QStringLiteral("ClientID"), QStringLiteral("Postcode") })
        .autoNumber(QStringLiteral("OfficeID"))
        .related(QStringLiteral("ContactOffices"), { { QStringLiteral("OfficeID"), QStringLiteral("OfficeID") } })
        .related(QStringLiteral("Contacts"), { { QStringLiteral("OfficeID"), QStringLiteral("OfficeID") } },
            RelationRule::Clear);
}

void describeContactOffices(DictionaryBuilder &b)
{
    // Which offices a contact works for, beyond its own office.
    b.table(QStringLiteral("ContactOffices"), QStringLiteral("COFL"))
        .field(QStringLiteral("ContactOfficeID"), Type::Long())
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("LinkType"), Type::CString(4)) // "CLI" for client offices
        .field(QStringLiteral("Category"), Type::CString(21))
        .field(QStringLiteral("Active"), Type::Byte())
        .key(QStringLiteral("CONTACTOFFICEIDKEY"), { QStringLiteral("ContactOfficeID") }, true)
        .key(QStringLiteral("CONTACTOFFICEKEY"), { QStringLiteral("ContactID"), QStringLiteral("OfficeID") })
        .key(QStringLiteral("OFFICEIDKEY"), { QStringLiteral("OfficeID") })
        .autoNumber(QStringLiteral("ContactOfficeID"));
}

void describeCountries(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Countries"), QStringLiteral("CTY"))
        .field(QStringLiteral("CountryID"), Type::Long())
        .field(QStringLiteral("CountryName"), Type::CString(41))
        .field(QStringLiteral("CountryCode"), Type::CString(4))
        .field(QStringLiteral("IsoCountry"), Type::CString(3)) // "US", "CA" ...
        .field(QStringLiteral("Currency"), Type::CString(21))
        .field(QStringLiteral("DiallingCode"), Type::CString(11))
        .key(QStringLiteral("COUNTRYIDKEY"), { QStringLiteral("CountryID") }, true)
        .key(QStringLiteral("NAMEKEY"), { QStringLiteral("CountryName") })
        .key(QStringLiteral("CODEKEY"), { QStringLiteral("CountryCode") })
        .autoNumber(QStringLiteral("CountryID"));
}

void describeTowns(DictionaryBuilder &b)
{
    // Known spellings of town and county pairs, with the sales area of each.
    b.table(QStringLiteral("Towns"), QStringLiteral("TWN"))
        .field(QStringLiteral("TownID"), Type::Long())
        .field(QStringLiteral("Town"), Type::CString(41))
        .field(QStringLiteral("County"), Type::CString(41))
        .field(QStringLiteral("CountryID"), Type::Long())
        .field(QStringLiteral("Country"), Type::CString(41))
        .field(QStringLiteral("Area"), Type::CString(11))
        .key(QStringLiteral("TOWNIDKEY"), { QStringLiteral("TownID") }, true)
        .key(QStringLiteral("TOWNCOUNTYKEY"), { QStringLiteral("Town"), QStringLiteral("County") })
        .autoNumber(QStringLiteral("TownID"));
}

void describeDomains(DictionaryBuilder &b)
{
    // The websites (domains) the company trades on, and which clients may use each.
    b.table(QStringLiteral("Domains"), QStringLiteral("DOM"))
        .field(QStringLiteral("DomainID"), Type::Long())
        .field(QStringLiteral("Description"), Type::CString(101))
        .field(QStringLiteral("URL"), Type::CString(257))
        .field(QStringLiteral("Active"), Type::Byte())
        .key(QStringLiteral("DOMAINIDKEY"), { QStringLiteral("DomainID") }, true)
        .key(QStringLiteral("DESCRIPTIONKEY"), { QStringLiteral("Description") })
        .autoNumber(QStringLiteral("DomainID"))
        .related(QStringLiteral("DomainLinks"), { { QStringLiteral("DomainID"), QStringLiteral("DomainID") } });

    b.table(QStringLiteral("DomainLinks"), QStringLiteral("DOML"))
        .field(QStringLiteral("DomainLinkID"), Type::Long())
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("DomainID"), Type::Long())
        .key(QStringLiteral("DOMAINLINKIDKEY"), { QStringLiteral("DomainLinkID") }, true)
        .key(QStringLiteral("CLIENTIDDOMAINIDKEY"), { QStringLiteral("ClientID"), QStringLiteral("DomainID") }, true)
        .key(QStringLiteral("DOMAINIDKEY"), { QStringLiteral("DomainID") })
        .autoNumber(QStringLiteral("DomainLinkID"));
}

void describeMoneyCodes(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Currencies"), QStringLiteral("CUR"))
        .field(QStringLiteral("CurrencyID"), Type::Long())
        .field(QStringLiteral("Currency"), Type::CString(21)) // code, as CLI:Currency
        .field(QStringLiteral("Description"), Type::CString(51))
        .field(QStringLiteral("Symbol"), Type::CString(6))
        .field(QStringLiteral("ExchangeRate"), Type::Decimal(13, 6))
        .key(QStringLiteral("CURRENCYIDKEY"), { QStringLiteral("CurrencyID") }, true)
        .key(QStringLiteral("CURRENCYKEY"), { QStringLiteral("Currency") }, true)
        .autoNumber(QStringLiteral("CurrencyID"));

    b.table(QStringLiteral("NominalCodes"), QStringLiteral("NOM"))
        .field(QStringLiteral("NominalID"), Type::Long())
        .field(QStringLiteral("Nominal"), Type::CString(21))
        .field(QStringLiteral("Description"), Type::CString(51))
        .field(QStringLiteral("NominalType"), Type::CString(21)) // "Income", "Expense" ...
        .field(QStringLiteral("TaxCode"), Type::CString(11)) // default tax code of the account
        .key(QStringLiteral("NOMINALIDKEY"), { QStringLiteral("NominalID") }, true)
        .key(QStringLiteral("NOMINALKEY"), { QStringLiteral("Nominal") }, true)
        .key(QStringLiteral("TYPEKEY"), { QStringLiteral("NominalType"), QStringLiteral("Nominal") })
        .autoNumber(QStringLiteral("NominalID"));

    b.table(QStringLiteral("TaxRates"), QStringLiteral("TAX"))
        .field(QStringLiteral("TaxRateID"), Type::Long())
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("TaxType"), Type::CString(21)) // "Sales", "Purchase"
        .field(QStringLiteral("Description"), Type::CString(51))
        .field(QStringLiteral("TaxDistrict"), Type::CString(31))
        .field(QStringLiteral("LTaxRate"), Type::Decimal(9, 4)) // local, general and combined rate in per cent
        .field(QStringLiteral("GTaxRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("TaxRate"), Type::Decimal(9, 4))
        .key(QStringLiteral("TAXRATEIDKEY"), { QStringLiteral("TaxRateID") }, true)
        .key(QStringLiteral("TAXCODEKEY"), { QStringLiteral("TaxType"), QStringLiteral("TaxCode") }, true)
        .key(QStringLiteral("CODEKEY"), { QStringLiteral("TaxCode") })
        .autoNumber(QStringLiteral("TaxRateID"));
}

} // namespace

void describeClientTables(DictionaryBuilder &b)
{
    describeClients(b);
    describeContacts(b);
    describeOffices(b);
    describeContactOffices(b);
    describeCountries(b);
    describeTowns(b);
    describeDomains(b);
    describeMoneyCodes(b);
}

} // namespace bizlib::dictionary
