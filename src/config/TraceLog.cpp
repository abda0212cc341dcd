#include "config/TraceLog.h"

#include "config/IniFile.h"
#include "config/PathText.h"
#include "config/TraceCategory.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <atomic>

namespace config {

namespace {

// A JSON string literal, escaped by Qt's JSON writer.
QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

void appendLine(const QString &fileName, const QString &line)
{
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

} // namespace

TraceLog::TraceLog(const TraceOptions &options)
{
    setOptions(options);
}

TraceOptions TraceLog::options() const
{
    QMutexLocker lock(&m_mutex);
    return m_options;
}

void TraceLog::setOptions(const TraceOptions &options)
{
    QMutexLocker lock(&m_mutex);
    m_options = options;
    m_options.prefix = IniFile::cut(m_options.prefix, TraceOptions::PrefixWidth);
    m_options.plainFileName = IniFile::cut(m_options.plainFileName, TraceOptions::FileNameWidth);
    m_options.structuredFileName = IniFile::cut(m_options.structuredFileName, TraceOptions::FileNameWidth);
}

int TraceLog::currentThreadNumber()
{
    static std::atomic<int> next { 1 };
    thread_local const int number = next.fetch_add(1);
    return number;
}

int TraceLog::enterProcedure(const QString &procedure, const QString &buildStamp)
{
    return enter(buildStamp, QString::fromLatin1(ExecutableName), procedure + QStringLiteral("_webconsole"), procedure);
}

QString TraceLog::defaultBuildStamp()
{
    return QStringLiteral(__DATE__ " " __TIME__);
}

int TraceLog::enter(
    const QString &buildStamp, const QString &executable, const QString &module, const QString &procedure)
{
    QMutexLocker lock(&m_mutex);
    if (m_options.debugOutputOff)
        return 0;
    const int thread = currentThreadNumber();
    RunningProcedure row;
    row.executable = executable;
    row.module = module;
    row.procedure = procedure;
    row.buildStamp = IniFile::cut(buildStamp, RunningProcedure::BuildStampWidth);
    row.activation = ++m_lastActivation;
    row.depth = ++m_depth[thread];
    row.thread = thread;
    m_running.append(row);
    m_lastByThread[thread] = row.activation;

    report(QStringLiteral(">>,M %1,A %2,L %3").arg(clipRight(module), clipRight(executable), clipRight(row.buildStamp)),
        QLatin1String(OpenClosePrefix), &row, QStringLiteral("Entering Procedure ") + procedure);
    return row.activation;
}

void TraceLog::leave(int activation)
{
    QMutexLocker lock(&m_mutex);
    // The activation is forgotten even when the options changed since its entry, so that the
    // tables never keep procedures that have ended.
    const auto it = std::find_if(m_running.begin(), m_running.end(),
        [activation](const RunningProcedure &r) { return r.activation == activation; });
    if (it == m_running.end())
        return;
    const RunningProcedure row = *it;
    if (!row.module.isEmpty()) {
        report(QStringLiteral("<<,MT %1,A %2,L %3")
                   .arg(clipRight(row.module), clipRight(row.executable), clipRight(row.buildStamp)),
            QLatin1String(OpenClosePrefix), &row, QStringLiteral("Leaving Procedure ") + row.procedure);
    }
    m_running.erase(it);

    const int depth = --m_depth[row.thread];
    if (depth > 0) {
        for (const RunningProcedure &r : std::as_const(m_running)) {
            if (r.thread == row.thread && r.depth == depth) {
                m_lastByThread[row.thread] = r.activation;
                break;
            }
        }
    } else {
        m_depth.remove(row.thread);
        m_lastByThread.remove(row.thread);
    }
}

void TraceLog::message(const QString &text)
{
    QMutexLocker lock(&m_mutex);
    if (m_options.debugOutputOff && !m_options.plainFileOn && m_options.structuredMode == 0)
        return;

    QString body = text;
    QString prefix = m_options.prefix;
    if (body.startsWith(QLatin1String("[*"))) {
        const qsizetype close = body.indexOf(QLatin1String("*]"), 4);
        if (close >= 4) {
            prefix = IniFile::cut(body.mid(2, close - 2), TraceOptions::PrefixWidth);
            body = body.mid(close + 2);
        }
    }

    const RunningProcedure *current = currentLocked(currentThreadNumber());
    for (const QString &piece : pieces(body))
        report(piece, prefix, current, piece);
}

QStringList TraceLog::pieces(const QString &text) const
{
    QStringList result;
    if (m_options.longMessagePieces) {
        if (text.size() <= TraceOptions::PieceLength)
            return { text };
        for (qsizetype i = 0; i < text.size(); i += TraceOptions::PieceLength)
            result.append(text.mid(i, TraceOptions::PieceLength));
        return result;
    }
    // One report per line. CR LF, a lone CR and a lone LF each end a line; the break itself
    // is not written.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (const QString &line : std::as_const(lines)) {
        if (line.isEmpty())
            result.append(line);
        for (qsizetype i = 0; i < line.size(); i += TraceOptions::LinePieceLength)
            result.append(line.mid(i, TraceOptions::LinePieceLength));
    }
    return result;
}

const RunningProcedure *TraceLog::currentLocked(int thread) const
{
    const int activation = m_lastByThread.value(thread, 0);
    if (activation == 0)
        return nullptr;
    for (const RunningProcedure &r : m_running) {
        if (r.activation == activation)
            return &r;
    }
    return nullptr;
}

std::optional<RunningProcedure> TraceLog::currentProcedure() const
{
    QMutexLocker lock(&m_mutex);
    const RunningProcedure *row = currentLocked(currentThreadNumber());
    if (!row)
        return std::nullopt;
    return *row;
}

QList<RunningProcedure> TraceLog::runningProcedures() const
{
    QMutexLocker lock(&m_mutex);
    return m_running;
}

void TraceLog::report(
    const QString &text, const QString &prefix, const RunningProcedure *procedure, const QString &structuredMessage)
{
    const QString procedureName = procedure ? procedure->procedure : QString();
    const QString upperName = procedureName.toUpper();
    for (const QString &entry : std::as_const(m_options.suppressed)) {
        if (!entry.isEmpty() && upperName.contains(entry.toUpper()))
            return;
    }

    const int thread = currentThreadNumber();
    const QString line = QStringLiteral("[||]X ") + clipRight(prefix) + QStringLiteral(",T ") + QString::number(thread)
        + QStringLiteral(",P ") + procedureName + QStringLiteral("[||]") + text;
    if (!m_options.debugOutputOff)
        qCDebug(lcTrace).noquote() << line;

    const bool openClose = prefix == QLatin1String(OpenClosePrefix);
    const QDateTime now = QDateTime::currentDateTime();
    if (m_options.structuredMode == 2 || (m_options.structuredMode == 1 && openClose)) {
        const QList<QPair<const char *, QString>> members = {
            { "updated_date", now.toString(QStringLiteral("yyyy-MM-dd")) },
            { "updated_time", now.toString(QStringLiteral("HH:mm:ss.zzz")) },
            { "prefix", clipRight(prefix) },
            { "app", procedure ? procedure->executable : QString::fromLatin1(ExecutableName) },
            { "modified", procedure ? procedure->buildStamp : QString() },
            { "thread", QString::number(thread) },
            { "module", procedure ? procedure->module : QString() },
            { "procedure", procedureName },
            { "message", structuredMessage },
        };
        // Built member by member: the members keep this order, which QJsonObject would sort.
        QString record = QStringLiteral("{");
        for (const auto &[name, value] : members) {
            if (record.size() > 1)
                record += QLatin1Char(',');
            record += jsonString(QString::fromLatin1(name)) + QLatin1Char(':') + jsonString(value);
        }
        record += QLatin1Char('}');
        appendLine(m_options.structuredFileName, clipRight(record) + QLatin1Char(','));
    } else if (m_options.plainFileOn) {
        appendLine(m_options.plainFileName,
            QStringLiteral("[") + now.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('-')
                + now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("]- ") + line);
    }
}

} // namespace config
