#pragma once

#include "bizlib/sendto/ListSource.h"

namespace console {

class JoinedListModel;

// A list of the window as the send-to window outputs it: every row its query selects (not only
// the rows the list has loaded), in list order, each column's text as the list shows it (a flag
// column as 1 or 0).
class JoinedListSource : public bizlib::sendto::ListSource
{
public:
    static constexpr int kPage = 2000;

    JoinedListSource(const JoinedListModel &model, QString title);

    QString title() const override { return m_title; }
    QStringList headers() const override;
    bizlib::Status rows(const std::function<void(const QStringList &)> &row) const override;

private:
    const JoinedListModel &m_model;
    QString m_title;
};

} // namespace console
