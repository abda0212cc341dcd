#pragma once

#include <QString>

namespace config {

// One procedure activation known to the trace log.
struct RunningProcedure
{
    static constexpr int BuildStampWidth = 26;

    QString executable; // "webconsole.EXE"
    QString module; // procedure name followed by "_webconsole"
    QString procedure;
    QString buildStamp;
    int activation = 0;
    int depth = 0;
    int thread = 0;
};

} // namespace config
