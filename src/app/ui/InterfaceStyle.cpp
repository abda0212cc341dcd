#include "app/ui/InterfaceStyle.h"

#include "config/IniFile.h"
#include "config/SystemConfig.h"
#include "config/WindowsLocale.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QFile>
#include <QPalette>
#include <QTranslator>

namespace app::ui {

QString colourName(int c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF).name();
}

void InterfaceStyle::applyFont(const config::SystemConfig &cfg, const QString &localIni)
{
    // The font saved in section "Interface" wins over the configured one unless "Disable" is set.
    const config::IniFile ini(localIni);
    const QString section = QStringLiteral("Interface");
    if (ini.number(section, QStringLiteral("Disable"), 0) != 0)
        return;
    QFont font = QApplication::font();
    const QString name = ini.text(section, QStringLiteral("FontName"), cfg.fontName, 31).trimmed();
    const qint64 size = ini.number(section, QStringLiteral("FontSize"), cfg.fontSize);
    if (!name.isEmpty())
        font.setFamily(name);
    if (size > 0 && size < 72)
        font.setPointSize(static_cast<int>(size));
    QApplication::setFont(font);
}

InterfaceStyle::InterfaceStyle(QApplication &app, const config::SystemConfig &cfg)
    : QObject(&app)
    , m_handCursor(cfg.handCursor != 0)
{
    QString sheet;
    if (cfg.whiteTheme) {
        QPalette p = QApplication::palette();
        p.setColor(QPalette::Window, Qt::white);
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Button, QColor(0xf4, 0xf4, 0xf4));
        QApplication::setPalette(p);
    }
    if (cfg.headerColour > 0)
        sheet += QStringLiteral("#headerBand { background: %1; }\n#headerBand QLabel { color: %2; }\n")
                     .arg(colourName(cfg.headerColour), colourName(cfg.titleColour));
    if (cfg.toolbarColour > 0)
        sheet += QStringLiteral("QToolBar { background: %1; }\n").arg(colourName(cfg.toolbarColour));
    if (!cfg.raisedButtons)
        sheet += QStringLiteral("QPushButton { border: 1px solid palette(mid); padding: 3px 10px; }\n");
    if (!cfg.skinDisable && !cfg.skinFile.trimmed().isEmpty()) {
        QFile skin(cfg.skinFile.trimmed());
        if (skin.open(QIODevice::ReadOnly))
            sheet += QString::fromUtf8(skin.readAll());
    }
    if (!sheet.isEmpty())
        app.setStyleSheet(app.styleSheet() + sheet);

    if (!cfg.languageFile.trimmed().isEmpty()) {
        auto *translator = new QTranslator(this);
        if (translator->load(cfg.languageFile.trimmed()))
            QApplication::installTranslator(translator);
    }
    if (!(cfg.useWindowsLocale && cfg.useWindowsCurrency)) {
        if (const std::optional<QLocale> locale = config::localeForLcid(cfg.locale))
            QLocale::setDefault(*locale);
    }
    if (m_handCursor)
        app.installEventFilter(this);
}

bool InterfaceStyle::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Polish)
        if (auto *button = qobject_cast<QAbstractButton *>(watched))
            button->setCursor(Qt::PointingHandCursor);
    return QObject::eventFilter(watched, event);
}

} // namespace app::ui
