#pragma once

#include "console/JoinedListModel.h"
#include "console/RequestRef.h"

namespace console {

// The notes of the current request on the Notes page (`WebNotes`): by the quote key for a quote
// request, by the order key for an order, in order of subject. Without a request it is empty.
class NoteListModel : public JoinedListModel
{
    Q_OBJECT

public:
    enum Column { Subject, Class, Notes, ColumnCount };
    // The note list has no stripes of its own.
    static constexpr quint32 kStripe = 0xFFFFFF;

    explicit NoteListModel(bizlib::Database &db, QObject *parent = nullptr);

    void setRequest(const RequestRef &request);
    const RequestRef &request() const { return m_request; }

private:
    RequestRef m_request;
};

} // namespace console
