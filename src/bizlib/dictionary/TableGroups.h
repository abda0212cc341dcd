#pragma once

#include "bizlib/Dictionary.h"

#include <QStringList>

// Table lists of the business tables, one function per group, and the small field blocks that
// several tables share. describeBusinessTables() calls the group functions in this order.
namespace bizlib::dictionary {

void describeQuoteTables(DictionaryBuilder &b); // quotes, workings, quantities, spec and tab texts, notes, attachments
void describeOrderTables(DictionaryBuilder &b); // orders, order items, invoice headers
void describeResourceTables(DictionaryBuilder &b); // materials, labour, outwork, resource links, job types, markups
void describeClientTables(DictionaryBuilder &b); // clients, contacts, offices, countries, towns, domains, money codes
void describeReferenceTables(DictionaryBuilder &b); // users and rights, phrases, list options, report types and layouts

// The twelve specification sections of quotes and orders, in their fixed order.
inline const QStringList &specSectionNames()
{
    static const QStringList names { QStringLiteral("Size"), QStringLiteral("Brief"), QStringLiteral("Repro"),
        QStringLiteral("Proof"), QStringLiteral("Printing"), QStringLiteral("Finishing"), QStringLiteral("Materials"),
        QStringLiteral("Delivery"), QStringLiteral("Private"), QStringLiteral("Special"), QStringLiteral("Notes"),
        QStringLiteral("Other") };
    return names;
}

// One CSTRING(1001) field per section, named `namePrefix` + section ("SpecSize" ...).
inline TableBuilder &addSpecSections(TableBuilder &t, const QString &namePrefix)
{
    for (const QString &s : specSectionNames())
        t.field(namePrefix + s, Type::CString(1001));
    return t;
}

// Address1..Address3, Town, County (CSTRING(41) each) and Postcode (CSTRING(21)), each name
// preceded by `namePrefix` ("D" gives the delivery block DAddress1 ... DPostcode).
inline TableBuilder &addAddressLines(TableBuilder &t, const QString &namePrefix = {})
{
    t.field(namePrefix + QStringLiteral("Address1"), Type::CString(41))
        .field(namePrefix + QStringLiteral("Address2"), Type::CString(41))
        .field(namePrefix + QStringLiteral("Address3"), Type::CString(41))
        .field(namePrefix + QStringLiteral("Town"), Type::CString(41))
        .field(namePrefix + QStringLiteral("County"), Type::CString(41))
        .field(namePrefix + QStringLiteral("Postcode"), Type::CString(21));
    return t;
}

// The five per-quantity columns Name1 .. Name5 of one type.
inline TableBuilder &addFive(TableBuilder &t, const QString &name, const FieldDef &type)
{
    for (int i = 1; i <= 5; ++i)
        t.field(name + QString::number(i), type);
    return t;
}

} // namespace bizlib::dictionary
