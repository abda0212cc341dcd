#pragma once

#include "console/JoinedListModel.h"
#include "console/RequestRef.h"

namespace console {

// The attachments of the current request on the Attachments page (`WebAttachments`): by the
// quote key for a quote request, by the order key for an order, in order of stored file name.
// Without a request the list is empty.
class AttachmentListModel : public JoinedListModel
{
    Q_OBJECT

public:
    static constexpr quint32 kStripe = 0xF3ECE9;
    enum Column { SourceName, Artwork, Output, UseSource, ColumnCount };

    explicit AttachmentListModel(bizlib::Database &db, QObject *parent = nullptr);

    // Follows `request`. Does not re-read the list.
    void setRequest(const RequestRef &request);
    const RequestRef &request() const { return m_request; }

private:
    RequestRef m_request;
};

} // namespace console
