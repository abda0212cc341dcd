#include "app/ui/InterfaceStyle.h"

#include "config/SystemConfig.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

// The header band's colours and the default locale once the interface settings are applied;
// the program's own state is put back afterwards.
struct Applied
{
    QString locale;
    QColor background;
    QColor text;
};

Applied applyAndLook(const config::SystemConfig &cfg)
{
    const QLocale before;
    const QString sheet = qApp->styleSheet();
    Applied seen;
    {
        app::ui::InterfaceStyle style(*qApp, cfg);
        seen.locale = QLocale().name();
        QFrame band;
        band.setObjectName(QStringLiteral("headerBand"));
        QLabel title(QStringLiteral("Web console"), &band);
        band.resize(60, 30);
        title.move(30, 0);
        title.ensurePolished();
        seen.background = band.grab().toImage().pixelColor(2, 2);
        seen.text = title.palette().color(QPalette::WindowText);
    }
    QLocale::setDefault(before);
    qApp->setStyleSheet(sheet);
    return seen;
}

TEST(InterfaceStyle, appliesTheConfiguredLocaleAndTheHeaderColours)
{
    config::SystemConfig cfg;
    cfg.locale = 1031; // German as written in Germany: unlikely to be the test machine's own
    cfg.useWindowsLocale = 0;
    cfg.headerColour = 0x0000FF; // red in the low byte
    cfg.titleColour = 0x00FF00;
    const Applied configured = applyAndLook(cfg);
    EXPECT_EQ(configured.locale, QStringLiteral("de_DE"));
    EXPECT_EQ(configured.background, QColor(255, 0, 0));
    EXPECT_EQ(configured.text, QColor(0, 255, 0));

    // A Locale of 0 names none: the system's stays.
    cfg.locale = 0;
    EXPECT_EQ(applyAndLook(cfg).locale, QLocale().name());

    // Both Windows flags keep the system's locale; a header colour of 0 colours nothing.
    cfg.locale = 1031;
    cfg.useWindowsLocale = 1;
    cfg.useWindowsCurrency = 1;
    cfg.headerColour = 0;
    const Applied plain = applyAndLook(cfg);
    EXPECT_EQ(plain.locale, QLocale().name());
    EXPECT_NE(plain.background, QColor(255, 0, 0));
}

} // namespace
