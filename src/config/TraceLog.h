#pragma once

#include "bizlib/ProcedureTrace.h"
#include "config/RunningProcedure.h"
#include "config/TraceOptions.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <optional>

namespace config {

// The procedure trace log: every procedure reports its entry and exit, and may report free
// text. One object serves the whole process (the application context owns it and passes it
// on); every member may be called from any thread.
//
// Each report becomes one debug line
//     "[||]X " prefix ",T " thread ",P " procedure "[||]" text
// that goes to the logging category webconsole.trace (unless debug output is off). Besides,
// when the structured mode asks for it the report is appended to the structured file as one
// JSON object per line followed by ","; otherwise, when the plain file is on, the line is
// appended to the plain file after "[date-time]- ". Files are created when missing and always
// appended to. A report is not written at all while the current procedure's name contains an
// entry of the suppression list.
//
// The procedure of a report is the one the calling thread entered last and has not left.
class TraceLog : public bizlib::ProcedureTrace
{
public:
    static constexpr const char *ExecutableName = "webconsole.EXE";
    static constexpr const char *OpenClosePrefix = "[OpenClose]";

    explicit TraceLog(const TraceOptions &options = {});

    TraceOptions options() const;
    void setOptions(const TraceOptions &options);

    // Records a procedure activation and writes the entry report ">>,M module,A exe,L stamp").
    // Returns the activation number (counting from 1 for the whole object), or 0 without
    // doing anything while debug output is off.
    int enter(const QString &buildStamp, const QString &executable, const QString &module, const QString &procedure);
    // Writes the exit report and forgets the activation; an unknown number (0 included) is ignored.
    void leave(int activation);

    // The entry of one of this program's procedures: module "<procedure>_webconsole", executable
    // "webconsole.EXE", the given build stamp (default: when this library was compiled).
    int enterProcedure(const QString &procedure, const QString &buildStamp);
    int enterProcedure(const QString &procedure) override { return enterProcedure(procedure, defaultBuildStamp()); }
    void leaveProcedure(int activation) override { leave(activation); }
    static QString defaultBuildStamp();
    // Free text, written while debug output or either file is on. A text that starts with
    // "[*" and has "*]" at the fifth character or later is written with the text between the
    // markers as its prefix and without the markers. Long texts are split as the options say.
    void message(const QString &text) override;

    // The calling thread's current procedure, if any.
    std::optional<RunningProcedure> currentProcedure() const;
    QList<RunningProcedure> runningProcedures() const;

    // Small number of the calling thread, handed out in order of first use from 1.
    static int currentThreadNumber();

private:
    void report(const QString &text, const QString &prefix, const RunningProcedure *procedure,
        const QString &structuredMessage);
    const RunningProcedure *currentLocked(int thread) const;
    QStringList pieces(const QString &text) const;

    mutable QMutex m_mutex;
    TraceOptions m_options;
    int m_lastActivation = 0;
    QList<RunningProcedure> m_running;
    QHash<int, int> m_depth; // thread -> nesting depth
    QHash<int, int> m_lastByThread; // thread -> activation entered last
};

} // namespace config
