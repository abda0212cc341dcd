#pragma once

#include <QList>
#include <QString>

namespace data {

// How the windows that claim a web request differ: which table's status they claim, the text of
// the "Already being processed" warning, what automatic mode does with a request claimed
// elsewhere, and how the status word is compared. Everything else of the claim is the same for
// all of them (RequestClaim).
struct ClaimVariant
{
    // What a window in automatic mode does when the request is claimed elsewhere.
    enum class WhenAutomatic {
        Silent, // gives up without a message
        Ask, // shows the warning as in manual mode (or the window has no automatic mode)
    };
    // How "Processing" is recognised.
    enum class Test {
        Trimmed, // the text without trailing blanks: "Processing " is claimed
        Exact, // the text as stored
    };

    QString window; // "quote processing", for messages and tests
    QString table; // "WebQuotes", "WebOrders", "WebSignup"
    QString message;
    WhenAutomatic whenAutomatic = WhenAutomatic::Ask;
    Test test = Test::Trimmed;

    static QString processingMessage(); // the processing windows' text (245 characters)
    static QString rejectionMessage(); // the rejection windows' text (215 characters)

    static const ClaimVariant &quoteProcessing();
    static const ClaimVariant &orderProcessing();
    static const ClaimVariant &quoteRejection();
    static const ClaimVariant &orderRejection();
    static const ClaimVariant &signupProcessing();
    static const ClaimVariant &signupRejection();
    // All of the above, in that order.
    static const QList<ClaimVariant> &all();
};

} // namespace data
