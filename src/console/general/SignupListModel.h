#pragma once

#include "console/JoinedListModel.h"
#include "console/general/ListFilters.h"

namespace console {

// The web sign-ups waiting on the General tab (`WebSignup`, joined with the web domain `DOM:` and
// the country `CTY:`), in order of status, then sign-up date and time. While only pending
// requests are shown the list is ranged on the status "Pending"; sign-ups from the source "B2C"
// (consumers who registered while ordering) are never listed.
class SignupListModel : public JoinedListModel
{
    Q_OBJECT

public:
    static constexpr quint32 kStripe = 0xF6F6F6;
    enum Column { Contact, Received, At, Company, Domain, Town, Postcode, Country, ColumnCount };

    explicit SignupListModel(bizlib::Database &db, QObject *parent = nullptr);

    bizlib::Status applyFilters(const ListFilters &filters);
};

} // namespace console
