#pragma once

#include "console/JoinedListModel.h"

namespace console {

// The "History" page's list ("User history"): the webtask queue (`WebTask`) newest first (key
// `WTSK:REVDATEKEY`), no filter. The date column carries the status icon: "GreenDot" Active,
// "RedDot" Completed, "YellowDot" Pending, "Blackdot" Failed (status words in any letter case),
// none otherwise. Each row's record holds the whole task (the comments shown below the list).
class HistoryListModel : public JoinedListModel
{
    Q_OBJECT

public:
    static constexpr quint32 kStripe = 0xF7F9FB;
    enum Column {
        TaskDate,
        TaskTime,
        By,
        Type,
        Request,
        UserName,
        Company,
        Description,
        Status,
        Started,
        StartedAt,
        Restarted,
        RestartedAt,
        Ended,
        EndedAt,
        Attempts,
        ColumnCount
    };

    explicit HistoryListModel(bizlib::Database &db, QObject *parent = nullptr);

    // The icon of a status word (empty for a word it does not know).
    static QString statusIcon(const QString &status);
};

} // namespace console
