#include "config/WindowSettings.h"

#include "bizlib/ProcedureTrace.h"
#include "config/IniFile.h"

namespace config {

QByteArray WindowSettings::geometry(const QString &procedure) const
{
    return state(procedure, QStringLiteral("Geometry"));
}

bool WindowSettings::setGeometry(const QString &procedure, const QByteArray &geometry)
{
    return setState(procedure, QStringLiteral("Geometry"), geometry);
}

QByteArray WindowSettings::state(const QString &procedure, const QString &key) const
{
    const IniFile ini(m_path);
    return QByteArray::fromBase64(ini.text(procedure, key).toLatin1());
}

bool WindowSettings::setState(const QString &procedure, const QString &key, const QByteArray &state)
{
    IniFile ini(m_path);
    if (ini.writeText(procedure, key, QString::fromLatin1(state.toBase64())))
        return true;
    if (m_trace)
        m_trace->message(QStringLiteral("Window layout (%1) not saved: ").arg(key) + ini.errorString());
    return false;
}

QByteArray WindowSettings::listColumns(const QString &procedure, const QString &list) const
{
    return state(procedure, list + QStringLiteral("Columns"));
}

bool WindowSettings::setListColumns(const QString &procedure, const QString &list, const QByteArray &columns)
{
    return setState(procedure, list + QStringLiteral("Columns"), columns);
}

} // namespace config
