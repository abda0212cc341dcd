#include "config/WindowSettings.h"

#include "bizlib/ProcedureTrace.h"
#include "config/IniFile.h"

namespace config {

QByteArray WindowSettings::read(const QString &procedure, const QString &key) const
{
    const IniFile ini(m_path);
    return QByteArray::fromBase64(ini.text(procedure, key).toLatin1());
}

bool WindowSettings::write(const QString &procedure, const QString &key, const QByteArray &value, const char *what)
{
    IniFile ini(m_path);
    if (ini.writeText(procedure, key, QString::fromLatin1(value.toBase64())))
        return true;
    if (m_trace)
        m_trace->message(QString::fromLatin1(what) + QStringLiteral(" not saved: ") + ini.errorString());
    return false;
}

QByteArray WindowSettings::geometry(const QString &procedure) const
{
    return read(procedure, QStringLiteral("Geometry"));
}

bool WindowSettings::setGeometry(const QString &procedure, const QByteArray &geometry)
{
    return write(procedure, QStringLiteral("Geometry"), geometry, "Window size and position");
}

QByteArray WindowSettings::listColumns(const QString &procedure, const QString &list) const
{
    return read(procedure, list + QStringLiteral("Columns"));
}

bool WindowSettings::setListColumns(const QString &procedure, const QString &list, const QByteArray &state)
{
    return write(procedure, list + QStringLiteral("Columns"), state, "List columns");
}

} // namespace config
