#pragma once

#include "console/WebmonHealth.h"

#include <QWidget>

namespace console {
class WebmonWatch;
}

namespace console::ui {

// The status bar's light for the web monitor: a dot (grey until the figures are read, then green,
// amber or red) and the words "Web monitor", with the figures as its tooltip. A click asks for
// the Logs tab's "Web monitor" page.
class WebmonLight : public QWidget
{
    Q_OBJECT

public:
    explicit WebmonLight(WebmonWatch &watch, QWidget *parent = nullptr);

    WebmonHealth::Light light() const { return m_light; }
    static QColor colourOf(WebmonHealth::Light light);
    static QString nameOf(WebmonHealth::Light light);
    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void display(WebmonHealth::Light light, const QString &tip);

    WebmonHealth::Light m_light = WebmonHealth::Light::Unknown;
};

} // namespace console::ui
