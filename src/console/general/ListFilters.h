#pragma once

#include <QString>

namespace console {

// The filter check boxes of the General tab.
struct ListFilters
{
    bool accManager = false; // "Only show my accounts": clients whose account manager is the user
    bool pendingOnly = true; // "Only sho&w pending enquiries": hide requests being processed
    bool b2cOnly = false; // "Only show B2C orders"
    bool operator==(const ListFilters &) const = default;
};

// Names bound in the lists' filter expressions.
namespace ListBindings {
// The logged-on user's code, compared with the client's account manager.
inline const QString UserCode = QStringLiteral("GLO:UserCode");
} // namespace ListBindings

} // namespace console
