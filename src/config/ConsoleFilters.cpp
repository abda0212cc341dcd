#include "config/ConsoleFilters.h"

#include "config/IniBinding.h"
#include "config/TraceScope.h"

namespace config {

namespace {

const QList<IniBinding<ConsoleFilters>> &filterKeys()
{
    static const QList<IniBinding<ConsoleFilters>> keys = {
        iniKey("WebConsole", "AccManager", &ConsoleFilters::accManager),
        iniKey("WebConsole", "B2COnly", &ConsoleFilters::b2cOnly),
    };
    return keys;
}

} // namespace

ConsoleFilters readConsoleFilters(const QString &localIni, TraceLog &trace)
{
    TraceScope scope(trace, QStringLiteral("GetWebConsoleFilters"));
    const IniFile ini(localIni);
    const ConsoleFilters defaults;
    ConsoleFilters filters;
    for (const auto &key : filterKeys())
        key.read(ini, filters, defaults);
    return filters;
}

bool writeConsoleFilters(const QString &localIni, const ConsoleFilters &filters, TraceLog &trace)
{
    TraceScope scope(trace, QStringLiteral("PutWebConsoleFilters"));
    QList<IniFile::Entry> entries;
    for (const auto &key : filterKeys())
        entries.append(key.entry(filters));
    IniFile ini(localIni);
    const bool written = ini.write(entries);
    if (!written)
        trace.message(QStringLiteral("Filters not saved: ") + ini.errorString());
    return written;
}

} // namespace config
