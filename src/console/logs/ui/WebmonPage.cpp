#include "console/logs/ui/WebmonPage.h"

#include "console/WebmonWatch.h"
#include "console/logs/ui/HourlyChart.h"
#include "console/ui/WebmonLight.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace console::ui {

WebmonPage::WebmonPage(WebmonWatch &watch, QWidget *parent)
    : QWidget(parent)
    , m_watch(watch)
{
    setObjectName(QStringLiteral("WebmonPage"));
    auto *light = new WebmonLight(watch, this);
    m_reason = new QLabel(this);
    m_reason->setWordWrap(true);
    QFont bold = m_reason->font();
    bold.setBold(true);
    m_reason->setFont(bold);
    auto *head = new QHBoxLayout;
    head->addWidget(light);
    head->addWidget(m_reason, 1);

    // One row per figure, in the order WebmonHealth::lines() gives them.
    auto *figures = new QGroupBox(tr("Webtasks and arrivals"), this);
    auto *form = new QFormLayout(figures);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const QString &name : { tr("Waiting:"), tr("Last hour:"), tr("Last start:"), tr("Last failure:"),
             tr("Newest arrival:") }) {
        auto *value = new QLabel(figures);
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(name, value);
        m_lines << value;
    }

    auto *chartBox = new QGroupBox(tr("Webtasks ended per hour, last 24 hours"), this);
    m_chart = new HourlyChart(chartBox);
    auto *chartLayout = new QVBoxLayout(chartBox);
    chartLayout->addWidget(m_chart);

    m_readAt = new QLabel(this);
    auto *refresh = new QPushButton(tr("Refresh"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_readAt, 1);
    buttons->addWidget(refresh);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(figures);
    layout->addWidget(chartBox, 1);
    layout->addLayout(buttons);
    connect(refresh, &QPushButton::clicked, &watch, &WebmonWatch::refresh);
    connect(&watch, &WebmonWatch::updated, this, &WebmonPage::showFigures);
    showFigures();
}

void WebmonPage::showFigures()
{
    const QDateTime at = m_watch.readAt();
    m_reason->setText(at.isValid() || m_watch.light() != WebmonHealth::Light::Unknown
            ? WebmonHealth::reason(m_watch.light(), m_watch.figures(), at, m_watch.stallMinutes())
            : tr("The web monitor's figures have not been read yet."));
    const QStringList lines = at.isValid() ? WebmonHealth::lines(m_watch.figures(), at) : QStringList();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        // "Waiting: 3 webtasks ..." shows as "3 webtasks ..." beside its name.
        const QString line = lines.value(i);
        m_lines.at(i)->setText(line.mid(line.indexOf(QLatin1String(": ")) + 2));
    }
    m_readAt->setText(at.isValid() ? tr("Read at %1").arg(at.toString(QStringLiteral("HH:mm:ss"))) : tr("Not read yet"));
    m_chart->setCounts(m_watch.figures().completedPerHour, m_watch.figures().failedPerHour, at.isValid() ? at.time().hour() : 0);
}

QStringList WebmonPage::shownLines() const
{
    QStringList out { m_reason->text() };
    for (const QLabel *l : m_lines)
        out << l->text();
    return out;
}

} // namespace console::ui
