#include "config/WindowSettings.h"

#include "bizlib/ProcedureTrace.h"
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
    if (ini.writeText(procedure, QStringLiteral("Geometry"), QString::fromLatin1(geometry.toBase64())))
        return true;
    if (m_trace)
        m_trace->message(QStringLiteral("Window size and position not saved: ") + ini.errorString());
    return false;
}

} // namespace config
