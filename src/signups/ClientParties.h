#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QString>

namespace signups {

class RunWrites;

// The parties of a client account that sign-up acceptance and web order processing create: office
// codes, towns, delivery contacts and delivery offices with their office links. Every row written
// goes through RunWrites, so that a cancelled run takes it away again.
class ClientParties
{
public:
    static constexpr int kLastOfficeNumber = 999;

    // The details of a delivery contact.
    struct ContactDetails
    {
        QString prefix; // empty: the translated "Mr"
        QString firstName;
        QString lastName;
        QString fullName;
        QString tel;
        QString email;
        QString category = QStringLiteral("Delivery");
    };

    // The details of a delivery office.
    struct OfficeDetails
    {
        QString name; // the delivery company name
        QString address; // the address as one text, as the website sent it
        QString address1;
        QString address2;
        QString address3;
        QString town;
        QString county;
        QString postcode;
        qint32 countryId = 0;
        QString tel;
        QString email;
        QString area; // sales area of a town that is new to the towns table
        QString type = QStringLiteral("Delivery");
        int firstNumber = 2; // office codes count from here (the main office is 001)
        // The office's contact when no delivery contact is given (0: the client's primary contact).
        qint32 fallbackContactId = 0;
        QString fallbackContactName;
    };

    explicit ClientParties(RunWrites &writes);

    // The office code stem: the first six characters of the trimmed client code (all of it when shorter).
    static QString officeStem(const QString &clientCode);
    // The first of stem-NNN, from `first` to 999, that no office of the client uses. NotFound when
    // every number is taken.
    bizlib::Status freeOfficeCode(qint32 clientId, const QString &clientCode, int first, QString *code);
    // Stores `office` for the client under the first free office code from `first` on. The code
    // is looked for and the office stored in one transaction that holds the client's row, so that
    // two workstations adding an office to one client never take the same code.
    bizlib::Status insertOffice(bizlib::Record &office, const bizlib::Record &client, int first);

    // Town and county as the towns table spells them: a pair that is there (compared without regard
    // to letter case and trailing blanks) gives its stored spelling; a missing pair is added with
    // the country and `area`. An empty town is left alone.
    bizlib::Status settleTown(QString *town, QString *county, qint32 countryId, const QString &country,
        const QString &area);

    // The country record of `countryId`; else the client's country; else the company's own
    // (CMPY:CountryID). NotFound when none of them is in the country table.
    bizlib::Status countryFor(qint32 countryId, const bizlib::Record &client, bizlib::Record *country);

    // The client's contact named `details.fullName` (trimmed), or a new one: category, names,
    // telephone and e-mail from the details, no web access, not primary, record type "C", the
    // client's code as account. *created tells which. NotFound (nothing made) for a client that
    // is not stored.
    bizlib::Status deliveryContact(const bizlib::Record &client, const ContactDetails &details,
        bizlib::Record *contact, bool *created);

    // A new delivery office of the client under the first free code from details.firstNumber:
    // name, address lines, town (settled), country (countryFor), telephone, e-mail, the address
    // formatted by FORMATADDRESS, the default shipping days, type and record type "C"; its contact
    // is `contact` when that is a stored contact, else the details' fallback contact, else the
    // client's primary contact. NotFound when
    // no code is free. With a stored `contact`, the contact gets the office (linkContact).
    bizlib::Status deliveryOffice(const bizlib::Record &client, const OfficeDetails &details,
        bizlib::Record &contact, bizlib::Record *office);

    // The contact works at `office`: CON:OfficeID and CON:Office are set and the contact written,
    // the office names the contact (OFF:ContactID, OFF:Contact) and is written, and a ContactOffices
    // link of type "CLI" with the contact's category and Active 1 is added when missing.
    bizlib::Status linkContact(bizlib::Record &contact, bizlib::Record &office);

    // DEF:ShippingDays and the other new-account defaults (the first DEFAULTS row; an empty
    // record when there is none).
    bizlib::Record defaults();

private:
    RunWrites &m_writes;
    bizlib::Record m_defaults;
    bool m_defaultsRead = false;
};

} // namespace signups
