#include "config/WindowSettings.h"

#include "config/IniFile.h"

namespace config {

QByteArray WindowSettings::geometry(const QString &procedure) const
{
    const IniFile ini(m_path);
    return QByteArray::fromBase64(ini.text(procedure, QStringLiteral("Geometry")).toLatin1());
}

bool WindowSettings::setGeometry(const QString &procedure, const QByteArray &geometry)
{
    IniFile ini(m_path);
    return ini.writeText(procedure, QStringLiteral("Geometry"), QString::fromLatin1(geometry.toBase64()));
}

} // namespace config
