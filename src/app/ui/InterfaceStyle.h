#pragma once

#include <QObject>

class QApplication;

namespace config {
struct SystemConfig;
}

namespace app::ui {

// Applies the "Interface" keys of the system configuration to the whole program: the interface
// font (unless the saved font is disabled), the white theme, the skin file (a Qt style sheet,
// unless skins are disabled), raised or flat buttons, the toolbar colour, and the hand cursor
// over buttons. Also loads the translation file named by "LanguageFile" when there is one.
class InterfaceStyle : public QObject
{
    Q_OBJECT

public:
    InterfaceStyle(QApplication &app, const config::SystemConfig &config, const QString &localIni);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_handCursor = false;
};

// A Windows COLORREF (red in the low byte) as a Qt colour name.
QString colourName(int colorRef);

} // namespace app::ui
