#pragma once

#include "console/JoinedListModel.h"
#include "console/general/ListFilters.h"

namespace console {

// The web quote requests waiting on the General tab (`WebQuotes`, each row joined with its
// client `CLI:` and the client's web domain `DOM:`), in request number order. While only pending
// requests are shown, requests being processed are hidden; "Only show my accounts" keeps the
// requests whose client's account manager is the logged-on user.
class QuoteListModel : public JoinedListModel
{
    Q_OBJECT

public:
    static constexpr quint32 kStripe = 0xF5F9F4;
    enum Column {
        AttachmentIcon,
        NoteIcon,
        Client,
        Received,
        At,
        Quantity,
        Title,
        Depth,
        Width,
        Contact,
        Pages,
        Office,
        Rep,
        Mgr,
        Price,
        Domain,
        RunOn,
        RunOnPrice,
        Weight,
        TemplateId,
        WebId,
        PreviousId,
        QuoteType,
        QuoteId,
        ColumnCount
    };

    explicit QuoteListModel(bizlib::Database &db, QObject *parent = nullptr);

    // Sets the status condition and the account manager filter (bound to `userCode`, trailing
    // blanks removed). Does not re-read the list.
    bizlib::Status applyFilters(const ListFilters &filters, const QString &userCode);
};

} // namespace console
