#pragma once

#include <QByteArray>
#include <QString>

namespace config {

// The window-settings INI file: each window keeps its size and position under its procedure
// name ("WebFrame", "WebConsole" ...), as key "Geometry" (base64 of Qt's saved geometry).
class WindowSettings
{
public:
    explicit WindowSettings(QString path) : m_path(std::move(path)) {}
    const QString &path() const { return m_path; }

    QByteArray geometry(const QString &procedure) const;
    // Writes at once; false when the file cannot be written.
    bool setGeometry(const QString &procedure, const QByteArray &geometry);

private:
    QString m_path;
};

} // namespace config
