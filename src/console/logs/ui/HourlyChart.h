#pragma once

#include <QList>
#include <QWidget>

namespace console::ui {

// A small bar chart of counts per hour, painted: each bar is the hour's completed count with its
// failed count stacked on top, the hours along the bottom labelled every few hours.
class HourlyChart : public QWidget
{
    Q_OBJECT

public:
    explicit HourlyChart(QWidget *parent = nullptr);

    // `completed` and `failed` hold one count per hour, oldest first; `lastHour` is the hour of
    // day (0..23) of the last bar.
    void setCounts(const QList<int> &completed, const QList<int> &failed, int lastHour);
    int highest() const; // the tallest bar

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<int> m_completed;
    QList<int> m_failed;
    int m_lastHour = 0;
};

} // namespace console::ui
