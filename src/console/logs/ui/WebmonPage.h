#pragma once

#include <QWidget>

class QLabel;

namespace console {
class WebmonWatch;
}

namespace console::ui {

class HourlyChart;

// The Logs tab's "Web monitor" page: the light and why, the figures of the webtask queue and the
// web tables, and a chart of the webtasks that ended in each hour of the last day. It shows what
// the watch read last (with the lists, and when the page is shown or Refresh is pressed).
class WebmonPage : public QWidget
{
    Q_OBJECT

public:
    explicit WebmonPage(WebmonWatch &watch, QWidget *parent = nullptr);

    HourlyChart *chart() const { return m_chart; }
    // The figures as shown, one line each (the light's reason first).
    QStringList shownLines() const;

private:
    void showFigures();

    WebmonWatch &m_watch;
    QLabel *m_reason;
    QList<QLabel *> m_lines;
    QLabel *m_readAt;
    HourlyChart *m_chart;
};

} // namespace console::ui
