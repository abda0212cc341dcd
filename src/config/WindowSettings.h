#pragma once

#include <QByteArray>
#include <QString>

namespace bizlib {
class ProcedureTrace;
}

namespace config {

// The window-settings INI file: each window keeps its size and position under its procedure
// name ("WebFrame", "WebConsole" ...), as key "Geometry" (base64 of Qt's saved geometry), the
// column layout of each of its lists as key "<list>Columns" (base64 of the header's saved state:
// widths, order, sort column), and any further layout of its own (splitter positions ...) under
// keys it names, the same way.
class WindowSettings
{
public:
    // A geometry that cannot be written is reported to `trace`, when given.
    explicit WindowSettings(QString path, bizlib::ProcedureTrace *trace = nullptr)
        : m_path(std::move(path))
        , m_trace(trace)
    { }
    const QString &path() const { return m_path; }

    QByteArray geometry(const QString &procedure) const;
    // Writes at once; false when the file cannot be written.
    bool setGeometry(const QString &procedure, const QByteArray &geometry);
    // The same for another part of the window's layout, under `key`.
    QByteArray state(const QString &procedure, const QString &key) const;
    bool setState(const QString &procedure, const QString &key, const QByteArray &state);

    // The list's column layout; empty when none was saved.
    QByteArray listColumns(const QString &procedure, const QString &list) const;
    // Writes at once; false when the file cannot be written.
    bool setListColumns(const QString &procedure, const QString &list, const QByteArray &state);

private:
    QString m_path;
    bizlib::ProcedureTrace *m_trace;
};

} // namespace config
