#include "bizlib/dictionary/TableGroups.h"

// Users of the business system and their access rights, stored phrases, list options, and the
// report types and layouts that documents are produced with.

namespace bizlib::dictionary {

namespace {

void describeUsers(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Users"), QStringLiteral("USR"))
        .alias(QStringLiteral("USRA")) // the alias reads reps, managers and estimators beside the current user
        .field(QStringLiteral("UserID"), Type::Long())
        .field(QStringLiteral("Initials"), Type::CString(4)) // the user code, at most three characters
        .field(QStringLiteral("FullName"), Type::CString(101))
        .field(QStringLiteral("FirstName"), Type::CString(51))
        .field(QStringLiteral("LastName"), Type::CString(51))
        .field(QStringLiteral("Position"), Type::CString(51))
        .field(QStringLiteral("Email"), Type::CString(101))
        .field(QStringLiteral("Tel"), Type::CString(26))
        .field(QStringLiteral("Mobile"), Type::CString(26))
        .field(QStringLiteral("RepCode"), Type::CString(11)) // commission code of a sales rep
        .field(QStringLiteral("IsRep"), Type::Byte())
        .field(QStringLiteral("IsEstimator"), Type::Byte())
        .field(QStringLiteral("Administrator"), Type::Byte()) // holds every right
        .field(QStringLiteral("Active"), Type::Byte()) // 0: may not log on
        // Log-on credential: a hash of the salt and the password, both as hexadecimal text.
        .field(QStringLiteral("PasswordHash"), Type::CString(129))
        .field(QStringLiteral("PasswordSalt"), Type::CString(65))
        .field(QStringLiteral("LastLoginDate"), Type::Date())
        .field(QStringLiteral("LastLoginTime"), Type::Time())
        .key(QStringLiteral("USERIDKEY"), { QStringLiteral("UserID") }, true)
        .key(QStringLiteral("USERKEY"), { QStringLiteral("Initials") }, true)
        .key(QStringLiteral("NAMEKEY"), { QStringLiteral("FullName") })
        .autoNumber(QStringLiteral("UserID"))
        .related(QStringLiteral("UserRights"), { { QStringLiteral("UserID"), QStringLiteral("UserID") } });
}

void describeRights(DictionaryBuilder &b)
{
    // The access rights of the business system by their fixed numbers (44: may mark orders as paid).
    b.table(QStringLiteral("SecurityRights"), QStringLiteral("SRT"))
        .field(QStringLiteral("RightNo"), Type::Long())
        .field(QStringLiteral("Description"), Type::CString(101))
        .field(QStringLiteral("Category"), Type::CString(31))
        .key(QStringLiteral("RIGHTNOKEY"), { QStringLiteral("RightNo") }, true)
        .related(QStringLiteral("UserRights"), { { QStringLiteral("RightNo"), QStringLiteral("RightNo") } });

    // One row per right a user holds.
    b.table(QStringLiteral("UserRights"), QStringLiteral("URT"))
        .field(QStringLiteral("UserRightID"), Type::Long())
        .field(QStringLiteral("UserID"), Type::Long())
        .field(QStringLiteral("RightNo"), Type::Long())
        .key(QStringLiteral("USERRIGHTIDKEY"), { QStringLiteral("UserRightID") }, true)
        .key(QStringLiteral("USERRIGHTKEY"), { QStringLiteral("UserID"), QStringLiteral("RightNo") }, true)
        .autoNumber(QStringLiteral("UserRightID"));
}

void describePhrases(DictionaryBuilder &b)
{
    b.table(QStringLiteral("PHRASE"), QStringLiteral("PHR"))
        .field(QStringLiteral("PhraseID"), Type::Long())
        .field(QStringLiteral("PhraseTitle"), Type::CString(81))
        .field(QStringLiteral("PhraseText"), Type::CString(3001))
        .field(QStringLiteral("PhraseField"), Type::CString(51)) // the text field it is for; blank: any
        .field(QStringLiteral("Category"), Type::CString(21)) // "Rejection" ...
        .field(QStringLiteral("Subcategory"), Type::CString(21)) // "Comments" ...
        // Phrase groups.
        .field(QStringLiteral("Estimating"), Type::Byte())
        .field(QStringLiteral("Production"), Type::Byte())
        .field(QStringLiteral("Accounts"), Type::Byte())
        .field(QStringLiteral("CRM"), Type::Byte())
        .field(QStringLiteral("Costing"), Type::Byte())
        .field(QStringLiteral("Stock"), Type::Byte())
        .field(QStringLiteral("Other"), Type::Byte())
        .field(QStringLiteral("Purchasing"), Type::Byte())
        .field(QStringLiteral("RDC"), Type::Byte())
        .field(QStringLiteral("Scheduling"), Type::Byte())
        .field(QStringLiteral("SOP"), Type::Byte())
        .field(QStringLiteral("Internet"), Type::Byte())
        .field(QStringLiteral("Sundry"), Type::Byte())
        .field(QStringLiteral("WebEnable"), Type::Byte())
        .key(QStringLiteral("PHRASEIDKEY"), { QStringLiteral("PhraseID") }, true)
        .key(QStringLiteral("PHRASETITLEKEY"), { QStringLiteral("PhraseTitle") })
        .key(QStringLiteral("CATEGORYKEY"),
            { QStringLiteral("Category"), QStringLiteral("Subcategory"), QStringLiteral("PhraseTitle") })
        .autoNumber(QStringLiteral("PhraseID"));
}

void describeListOptions(DictionaryBuilder &b)
{
    // Values offered in the drop lists of a field ("CON:Prefix", "ORD:DMethod", "PHR:Subcategory"
    // under the parent value "Rejection" ...).
    b.table(QStringLiteral("ListOptions"), QStringLiteral("LOPT"))
        .field(QStringLiteral("ListOptionID"), Type::Long())
        .field(QStringLiteral("FieldName"), Type::CString(51))
        .field(QStringLiteral("Parent"), Type::CString(51))
        .field(QStringLiteral("Value"), Type::CString(101))
        .field(QStringLiteral("Sequence"), Type::Long())
        .field(QStringLiteral("Enabled"), Type::Byte())
        .field(QStringLiteral("WebEnable"), Type::Byte())
        .field(QStringLiteral("UserAdded"), Type::Byte())
        .key(QStringLiteral("LISTOPTIONIDKEY"), { QStringLiteral("ListOptionID") }, true)
        .key(QStringLiteral("FIELDVALUEKEY"),
            { QStringLiteral("FieldName"), QStringLiteral("Parent"), QStringLiteral("Value") })
        .autoNumber(QStringLiteral("ListOptionID"));
}

void describeReports(DictionaryBuilder &b)
{
    // Kinds of document ("Estimates", "Acknowledgements", "Proof notes", "Delivery notes", "Invoices").
    b.table(QStringLiteral("ReportTypes"), QStringLiteral("RPTT"))
        .field(QStringLiteral("ReportTypeID"), Type::Long())
        .field(QStringLiteral("Name"), Type::CString(51))
        .field(QStringLiteral("Description"), Type::CString(101))
        .key(QStringLiteral("REPORTTYPEIDKEY"), { QStringLiteral("ReportTypeID") }, true)
        .key(QStringLiteral("NAMEKEY"), { QStringLiteral("Name") })
        .autoNumber(QStringLiteral("ReportTypeID"))
        .related(
            QStringLiteral("ReportLayouts"), { { QStringLiteral("ReportTypeID"), QStringLiteral("ReportTypeID") } });

    // A document layout; its number is what the settings store.
    b.table(QStringLiteral("ReportLayouts"), QStringLiteral("LAY"))
        .field(QStringLiteral("LayoutID"), Type::Long())
        .field(QStringLiteral("ReportTypeID"), Type::Long())
        .field(QStringLiteral("Description"), Type::CString(101))
        .field(QStringLiteral("Filename"), Type::CString(257))
        .field(QStringLiteral("Definition"), Type::Text())
        .field(QStringLiteral("IsDefault"), Type::Byte())
        .key(QStringLiteral("LAYOUTIDKEY"), { QStringLiteral("LayoutID") }, true)
        .key(QStringLiteral("REPORTTYPEKEY"), { QStringLiteral("ReportTypeID"), QStringLiteral("Description") })
        .autoNumber(QStringLiteral("LayoutID"));
}

} // namespace

void describeReferenceTables(DictionaryBuilder &b)
{
    describeUsers(b);
    describeRights(b);
    describePhrases(b);
    describeListOptions(b);
    describeReports(b);
}

} // namespace bizlib::dictionary
