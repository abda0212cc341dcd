#include "console/ui/WebmonLight.h"

#include "console/WebmonWatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace console::ui {

using Light = WebmonHealth::Light;

WebmonLight::WebmonLight(WebmonWatch &watch, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("webmonLight"));
    setCursor(Qt::PointingHandCursor);
    display(Light::Unknown, tr("The web monitor's figures have not been read yet."));
    connect(&watch, &WebmonWatch::updated, this, [this, &watch] { display(watch.light(), watch.summary()); });
}

QColor WebmonLight::colourOf(Light light)
{
    switch (light) {
    case Light::Green: return QColor(0x2e, 0xa0, 0x43);
    case Light::Amber: return QColor(0xe8, 0xa3, 0x17);
    case Light::Red: return QColor(0xd3, 0x2f, 0x2f);
    case Light::Unknown: break;
    }
    return QColor(0x9e, 0x9e, 0x9e);
}

QString WebmonLight::nameOf(Light light)
{
    switch (light) {
    case Light::Green: return tr("green");
    case Light::Amber: return tr("amber");
    case Light::Red: return tr("red");
    case Light::Unknown: break;
    }
    return tr("unknown");
}

void WebmonLight::display(Light light, const QString &tip)
{
    m_light = light;
    setToolTip(tip);
    setAccessibleName(tr("Web monitor: %1").arg(nameOf(light)));
    update();
}

QSize WebmonLight::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return { fm.height() + 6 + fm.horizontalAdvance(tr("Web monitor")) + 6, fm.height() + 4 };
}

void WebmonLight::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = std::min(height() - 6, fontMetrics().height() - 2);
    const QRectF dot(3, (height() - d) / 2.0, d, d);
    p.setPen(colourOf(m_light).darker(140));
    p.setBrush(colourOf(m_light));
    p.drawEllipse(dot);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(int(dot.right()) + 6, 0, width(), height()), Qt::AlignVCenter | Qt::AlignLeft, tr("Web monitor"));
}

void WebmonLight::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace console::ui
