#pragma once

#include <QString>
#include <QStringList>

namespace config {

// Options of the procedure trace log, with the values the program starts with.
struct TraceOptions
{
    static constexpr int PrefixWidth = 60;
    static constexpr int FileNameWidth = 516;
    // Long-message mode on: a longer message is written in pieces of this many characters.
    static constexpr int PieceLength = 4000;
    // Long-message mode off: pieces of up to this many characters, one report per line.
    static constexpr int LinePieceLength = 9999;

    // true: nothing goes to the debug output and entry/exit keep no bookkeeping.
    bool debugOutputOff = false;
    // Written into every line (cut to PrefixWidth).
    QString prefix = QStringLiteral("!");
    bool plainFileOn = false;
    QString plainFileName = QStringLiteral("DebugLog.txt");
    // 0 off; 1 entry and exit reports only; 2 every report.
    int structuredMode = 0;
    QString structuredFileName = QStringLiteral("JSONDebugLog.txt");
    bool longMessagePieces = true;
    // Reports made while the current procedure's upper-cased name contains one of these
    // texts (compared upper-cased, empty entries ignored) are not written.
    QStringList suppressed;
};

} // namespace config
