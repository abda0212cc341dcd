#include "data/ClaimVariant.h"

namespace data {

QString ClaimVariant::processingMessage()
{
    // The text is the system's own, its slips included.
    return QStringLiteral("WARNING: Another workstation is already processing this transaction, please select another "
                          "record. If you have recovered from a systemn error and KNOW that no-one else is processing "
                          "this record you can unlock and process this web request anyway.");
}

QString ClaimVariant::rejectionMessage()
{
    return QStringLiteral("WARNING: Another workstation is already processing this transaction. If you have recovered "
                          "from a systemn error and KNOW that no-one else is processing this record you can unlock and "
                          "process this web request anyway.");
}

const QList<ClaimVariant> &ClaimVariant::all()
{
    static const QList<ClaimVariant> variants {
        { QStringLiteral("quote processing"), QStringLiteral("WebQuotes"), processingMessage(), WhenAutomatic::Silent,
            Test::Trimmed },
        { QStringLiteral("order processing"), QStringLiteral("WebOrders"), processingMessage(), WhenAutomatic::Ask,
            Test::Trimmed },
        { QStringLiteral("quote rejection"), QStringLiteral("WebQuotes"), rejectionMessage(), WhenAutomatic::Ask,
            Test::Trimmed },
        { QStringLiteral("order rejection"), QStringLiteral("WebOrders"), rejectionMessage(), WhenAutomatic::Ask,
            Test::Trimmed },
        { QStringLiteral("sign-up processing"), QStringLiteral("WebSignup"), processingMessage(), WhenAutomatic::Ask,
            Test::Exact },
        { QStringLiteral("sign-up rejection"), QStringLiteral("WebSignup"), rejectionMessage(), WhenAutomatic::Ask,
            Test::Exact },
    };
    return variants;
}

const ClaimVariant &ClaimVariant::quoteProcessing()
{
    return all().at(0);
}

const ClaimVariant &ClaimVariant::orderProcessing()
{
    return all().at(1);
}

const ClaimVariant &ClaimVariant::quoteRejection()
{
    return all().at(2);
}

const ClaimVariant &ClaimVariant::orderRejection()
{
    return all().at(3);
}

const ClaimVariant &ClaimVariant::signupProcessing()
{
    return all().at(4);
}

const ClaimVariant &ClaimVariant::signupRejection()
{
    return all().at(5);
}

} // namespace data
