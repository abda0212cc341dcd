#include "console/JoinedListSource.h"

#include "console/JoinedListModel.h"

namespace console {

JoinedListSource::JoinedListSource(const JoinedListModel &model, QString title)
    : m_model(model)
    , m_title(std::move(title))
{ }

QStringList JoinedListSource::headers() const
{
    QStringList out;
    for (int c = 0; c < m_model.columnCount(); ++c)
        out << m_model.column(c).title;
    return out;
}

bizlib::Status JoinedListSource::rows(const std::function<void(const QStringList &)> &row) const
{
    const int columns = m_model.columnCount();
    for (qsizetype offset = 0;; offset += kPage) {
        QList<ListRow> page;
        if (const bizlib::Status st = m_model.query().fetch(offset, kPage, &page); !st)
            return st;
        for (const ListRow &r : page) {
            QStringList texts;
            for (int c = 0; c < columns; ++c) {
                const ListColumn &col = m_model.column(c);
                texts << (col.text ? col.text(r) : col.flag ? QString::number(col.flag(r) ? 1 : 0) : QString());
            }
            row(texts);
        }
        if (page.size() < kPage)
            return bizlib::Status::ok();
    }
}

} // namespace console
