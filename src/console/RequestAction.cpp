#include "console/RequestAction.h"

namespace console {

QString requestActionName(RequestAction action)
{
    switch (action) {
    case RequestAction::ProcessQuote:
        return QStringLiteral("Web quote processing");
    case RequestAction::RejectQuote:
        return QStringLiteral("Web quote rejection");
    case RequestAction::ProcessSignup:
        return QStringLiteral("Web sign-up processing");
    case RequestAction::RejectSignup:
        return QStringLiteral("Web sign-up rejection");
    case RequestAction::ProcessOrder:
        return QStringLiteral("Web order processing");
    case RequestAction::RejectOrder:
        return QStringLiteral("Web order rejection");
    case RequestAction::MarkPaid:
        return QStringLiteral("Marking an order as paid");
    }
    return {};
}

} // namespace console
