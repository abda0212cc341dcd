#include "app/Workspace.h"
#include "app/ui/RequestListWindow.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "config/IniFile.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

QString localIniPath(const QStringList &args)
{
    const qsizetype i = args.indexOf(QStringLiteral("--ini"));
    if (i >= 0 && i + 1 < args.size())
        return args.at(i + 1);
    const QString env = qEnvironmentVariable("WEBCONSOLE_INI");
    if (!env.isEmpty())
        return env;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("webconsole/webconsole.ini"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("webconsole"));

    const config::IniFile ini(localIniPath(QApplication::arguments()));
    bizlib::Database db(app::databaseConfigFromIni(ini));
    bizlib::Status st = db.open();
    if (st)
        st = db.ensureSchema(bizlib::Dictionary::instance());
    if (!st) {
        QMessageBox::critical(nullptr, QStringLiteral("Web console"),
                              QStringLiteral("The business database cannot be used.\n\n%1").arg(st.message()));
        return 1;
    }
    app::ui::RequestListWindow window(db);
    window.show();
    return QApplication::exec();
}
