#pragma once

#include <QObject>

class QApplication;

namespace config {
struct SystemConfig;
}

namespace app::ui {

// Applies the "Interface" keys of the system configuration to the whole program when the frame
// opens: the white theme, the header band of the windows ("HeaderColour" behind it when above 0,
// "TitleColour" for its text), the skin file (a Qt style sheet, unless skins are disabled), raised
// or flat buttons, the toolbar colour, and the hand cursor over buttons. Also loads the
// translation file named by "LanguageFile" when there is one, and makes the configured "Locale"
// the default for numbers and dates unless both "UseWindowsLocale" and "UseWindowsCurrency" are set.
class InterfaceStyle : public QObject
{
    Q_OBJECT

public:
    InterfaceStyle(QApplication &app, const config::SystemConfig &config);

    // The interface font: the one saved in section "Interface" of the workstation INI file
    // ("FontName", "FontSize"), the configured one where none is saved; nothing while the saved
    // font's "Disable" is set. Start-up hands it over before any window shows, the logon included.
    static void applyFont(const config::SystemConfig &config, const QString &localIni);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_handCursor = false;
};

// A Windows COLORREF (red in the low byte) as a Qt colour name.
QString colourName(int colorRef);

} // namespace app::ui
