#include "console/logs/ui/HourlyChart.h"

#include <QPainter>

namespace console::ui {

namespace {
const QColor kCompleted(0x4a, 0x90, 0xd9);
const QColor kFailed(0xd3, 0x2f, 0x2f);
} // namespace

HourlyChart::HourlyChart(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("hourlyChart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void HourlyChart::setCounts(const QList<int> &completed, const QList<int> &failed, int lastHour)
{
    m_completed = completed;
    m_failed = failed;
    m_lastHour = lastHour;
    update();
}

int HourlyChart::highest() const
{
    int top = 0;
    for (qsizetype i = 0; i < m_completed.size(); ++i)
        top = std::max(top, m_completed.at(i) + m_failed.value(i));
    return top;
}

QSize HourlyChart::minimumSizeHint() const
{
    return { 320, 140 };
}

QSize HourlyChart::sizeHint() const
{
    return { 640, 220 };
}

void HourlyChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const int n = int(m_completed.size());
    const int top = std::max(1, highest());
    // Room on the left for the scale, below for the hours, above for the legend.
    const int left = fm.horizontalAdvance(QString::number(top)) + 10;
    const QRect plot(left, fm.height() + 8, width() - left - 8, height() - 2 * fm.height() - 16);
    if (plot.width() < 20 || plot.height() < 20)
        return;
    const QColor text = palette().color(QPalette::WindowText);
    QColor grid = text;
    grid.setAlpha(50);

    // Legend.
    int x = plot.left();
    for (const auto &[colour, name] : { std::pair(kCompleted, tr("completed")), std::pair(kFailed, tr("failed")) }) {
        p.fillRect(x, 4 + (fm.height() - 10) / 2, 10, 10, colour);
        p.setPen(text);
        p.drawText(x + 14, 4, fm.horizontalAdvance(name) + 4, fm.height(), Qt::AlignVCenter, name);
        x += 14 + fm.horizontalAdvance(name) + 16;
    }

    // The scale: the base line and the top count.
    p.setPen(grid);
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.left(), plot.top(), plot.right(), plot.top());
    p.setPen(text);
    p.drawText(QRect(0, plot.top() - fm.height() / 2, left - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
        QString::number(top));
    p.drawText(QRect(0, plot.bottom() - fm.height() / 2, left - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
        QStringLiteral("0"));
    if (n == 0)
        return;

    const double slot = double(plot.width()) / n;
    const double bar = std::max(1.0, slot * 0.7);
    for (int i = 0; i < n; ++i) {
        const double bx = plot.left() + i * slot + (slot - bar) / 2;
        const double done = plot.height() * double(m_completed.at(i)) / top;
        const double failed = plot.height() * double(m_failed.value(i)) / top;
        p.fillRect(QRectF(bx, plot.bottom() - done, bar, done), kCompleted);
        p.fillRect(QRectF(bx, plot.bottom() - done - failed, bar, failed), kFailed);
        const int hour = ((m_lastHour - (n - 1 - i)) % 24 + 24) % 24;
        if (hour % 3 == 0 || i == n - 1) {
            p.setPen(text);
            p.drawText(QRectF(plot.left() + i * slot - slot, plot.bottom() + 4, 3 * slot, fm.height()), Qt::AlignHCenter,
                QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0')));
        }
    }
}

} // namespace console::ui
