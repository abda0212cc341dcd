#include "config/TraceLog.h"

#include "config/TraceScope.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace config;

namespace {

// Collects what the trace log sends to its logging category.
class DebugCapture
{
public:
    DebugCapture()
    {
        s_lines.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("webconsole.trace.debug=true"));
        m_previous = qInstallMessageHandler(&DebugCapture::handle);
    }
    ~DebugCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    QStringList lines() const
    {
        QMutexLocker lock(&s_mutex);
        return s_lines;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext &context, const QString &message)
    {
        if (qstrcmp(context.category, "webconsole.trace") == 0) {
            QMutexLocker lock(&s_mutex);
            s_lines.append(message);
        }
    }
    static inline QMutex s_mutex;
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The text after the second "[||]" of a debug line.
QString textOf(const QString &line)
{
    return line.mid(line.indexOf(QLatin1String("[||]"), 4) + 4);
}

class TraceLogTest : public testing::Test
{
protected:
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
    DebugCapture m_capture;
    TraceLog m_log;
};

TEST_F(TraceLogTest, entryAndExit_areWrittenAsOpenCloseLines_andNestPerThread)
{
    const QString t = QString::number(TraceLog::currentThreadNumber());
    {
        TraceScope outer(m_log, "WebConsole", "2024-05-01 10:00");
        EXPECT_EQ(outer.activation(), 1);
        {
            TraceScope inner(m_log, "WebQuoteProcess", "2024-05-01 10:00");
            EXPECT_EQ(inner.activation(), 2);
            EXPECT_EQ(m_log.currentProcedure()->procedure, "WebQuoteProcess");
            EXPECT_EQ(m_log.currentProcedure()->depth, 2);
            m_log.message("claimed");
        }
        m_log.message("back");
    }
    m_log.message("outside");

    const QStringList expected = {
        "[||]X [OpenClose],T " + t + ",P WebConsole[||]>>,M WebConsole_webconsole,A webconsole.EXE,L 2024-05-01 10:00",
        "[||]X [OpenClose],T " + t
            + ",P WebQuoteProcess[||]>>,M WebQuoteProcess_webconsole,A webconsole.EXE,L 2024-05-01 10:00",
        "[||]X !,T " + t + ",P WebQuoteProcess[||]claimed",
        "[||]X [OpenClose],T " + t
            + ",P WebQuoteProcess[||]<<,MT WebQuoteProcess_webconsole,A webconsole.EXE,L 2024-05-01 10:00",
        "[||]X !,T " + t + ",P WebConsole[||]back",
        "[||]X [OpenClose],T " + t + ",P WebConsole[||]<<,MT WebConsole_webconsole,A webconsole.EXE,L 2024-05-01 10:00",
        "[||]X !,T " + t + ",P [||]outside",
    };
    EXPECT_EQ(m_capture.lines(), expected);
    EXPECT_TRUE(m_log.runningProcedures().isEmpty());
    EXPECT_FALSE(m_log.currentProcedure().has_value());
}

TEST_F(TraceLogTest, debugOutputOff_keepsNoBookkeeping_andWritesNothingWithoutFiles)
{
    TraceOptions o;
    o.debugOutputOff = true;
    m_log.setOptions(o);
    {
        TraceScope scope(m_log, "WebFrame");
        EXPECT_EQ(scope.activation(), 0);
        EXPECT_TRUE(m_log.runningProcedures().isEmpty());
        m_log.message("not written");
    }
    EXPECT_TRUE(m_capture.lines().isEmpty());

    // With a file on, messages still reach the file, but not the debug output.
    o.plainFileOn = true;
    o.plainFileName = path("DebugLog.txt");
    m_log.setOptions(o);
    m_log.message("to the file");
    EXPECT_TRUE(m_capture.lines().isEmpty());
    const QStringList lines = fileLines(o.plainFileName);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(QRegularExpression(R"(^\[\d{4}-\d\d-\d\d-\d\d:\d\d:\d\d\]- \[\|\|\]X !,T \d+,P \[\|\|\]to the file$)")
                    .match(lines.first())
                    .hasMatch())
        << qPrintable(lines.first());
}

TEST_F(TraceLogTest, longMessages_areSplitAsTheModeSays)
{
    const QString longText = QString(4000, 'a') + QString(4000, 'b') + QString(1000, 'c');
    m_log.message(longText);
    QStringList lines = m_capture.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(textOf(lines[0]), QString(4000, 'a'));
    EXPECT_EQ(textOf(lines[1]), QString(4000, 'b'));
    EXPECT_EQ(textOf(lines[2]), QString(1000, 'c'));

    TraceOptions o;
    o.longMessagePieces = false;
    m_log.setOptions(o);
    m_log.message("first\r\nsecond\nthird\r\n");
    m_log.message(QString(12000, 'x'));
    lines = m_capture.lines().mid(3);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(textOf(lines[0]), "first");
    EXPECT_EQ(textOf(lines[1]), "second");
    EXPECT_EQ(textOf(lines[2]), "third");
    EXPECT_EQ(textOf(lines[3]).size(), 9999);
    EXPECT_EQ(textOf(lines[4]).size(), 2001);

    // A message of exactly one piece stays whole, line breaks and all.
    o.longMessagePieces = true;
    m_log.setOptions(o);
    m_log.message("one\r\ntwo");
    EXPECT_EQ(textOf(m_capture.lines().last()), "one\r\ntwo");
}

TEST_F(TraceLogTest, prefixMarkers_overrideThePrefixForOneMessage)
{
    m_log.message("[*SYNC*] started");
    m_log.message("[**]too short");
    m_log.message("[*unclosed");
    m_log.message("plain");
    const QStringList lines = m_capture.lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("[||]X SYNC,T ")) << qPrintable(lines[0]);
    EXPECT_EQ(textOf(lines[0]), " started");
    EXPECT_TRUE(lines[1].startsWith("[||]X !,T "));
    EXPECT_EQ(textOf(lines[1]), "[**]too short");
    EXPECT_EQ(textOf(lines[2]), "[*unclosed");
    EXPECT_TRUE(lines[3].startsWith("[||]X !,T "));

    TraceOptions o;
    o.prefix = QString(70, 'p') + "   ";
    m_log.setOptions(o);
    EXPECT_EQ(m_log.options().prefix, QString(60, 'p'));
}

TEST_F(TraceLogTest, structuredModeOne_appendsEntryAndExitRecordsOnly)
{
    TraceOptions o;
    o.structuredMode = 1;
    o.structuredFileName = path("JSONDebugLog.txt");
    o.plainFileOn = true;
    o.plainFileName = path("DebugLog.txt");
    m_log.setOptions(o);
    {
        TraceScope scope(m_log, "WebSignupProcess", "stamp");
        m_log.message("an ordinary message");
    }
    const QStringList records = fileLines(o.structuredFileName);
    ASSERT_EQ(records.size(), 2) << "both records kept";
    const QString expectedOrder
        = R"(^\{"updated_date":"[^"]+","updated_time":"[^"]+","prefix":"\[OpenClose\]","app":"webconsole\.EXE",)"
          R"("modified":"stamp","thread":"\d+","module":"WebSignupProcess_webconsole",)"
          R"("procedure":"WebSignupProcess","message":"Entering Procedure WebSignupProcess"\},$)";
    EXPECT_TRUE(QRegularExpression(expectedOrder).match(records[0]).hasMatch()) << qPrintable(records[0]);
    EXPECT_TRUE(records[1].contains(R"("message":"Leaving Procedure WebSignupProcess")"));
    // The ordinary message had no structured record, so it went to the plain file instead.
    const QStringList plain = fileLines(o.plainFileName);
    ASSERT_EQ(plain.size(), 1);
    EXPECT_TRUE(plain[0].endsWith("[||]an ordinary message"));
}

TEST_F(TraceLogTest, structuredModeTwo_writesEveryReport_asValidJsonWithEscapedText)
{
    TraceOptions o;
    o.structuredMode = 2;
    o.structuredFileName = path("JSONDebugLog.txt");
    m_log.setOptions(o);
    {
        TraceScope scope(m_log, "WebNoteEditor");
        m_log.message("[*NOTE*]said \"hello\"\\ {x}");
    }
    const QStringList records = fileLines(o.structuredFileName);
    ASSERT_EQ(records.size(), 3);
    QJsonParseError error;
    const QJsonObject middle = QJsonDocument::fromJson(records[1].chopped(1).toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << qPrintable(records[1]);
    EXPECT_EQ(middle.value("message").toString(), "said \"hello\"\\ {x}");
    EXPECT_EQ(middle.value("prefix").toString(), "NOTE");
    EXPECT_EQ(middle.value("procedure").toString(), "WebNoteEditor");
    EXPECT_EQ(middle.value("thread").toString(), QString::number(TraceLog::currentThreadNumber()));
}

TEST_F(TraceLogTest, suppressedProcedures_writeNoReports)
{
    TraceOptions o;
    o.suppressed = { "timer", "" };
    m_log.setOptions(o);
    {
        TraceScope scope(m_log, "WebConsoleTimer");
        m_log.message("tick");
        EXPECT_EQ(m_log.runningProcedures().size(), 1);
    }
    {
        TraceScope scope(m_log, "WebConsole");
        m_log.message("shown");
    }
    const QStringList lines = m_capture.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(textOf(lines[1]), "shown");
}

TEST_F(TraceLogTest, threads_haveTheirOwnDepthAndProcedure_andShareTheActivationCount)
{
    TraceScope main(m_log, "WebFrame");
    int otherActivation = 0;
    int otherDepth = 0;
    int otherThread = 0;
    QThread *thread = QThread::create([&] {
        TraceScope scope(m_log, "WebConsole");
        otherActivation = scope.activation();
        otherDepth = m_log.currentProcedure()->depth;
        otherThread = TraceLog::currentThreadNumber();
        m_log.message("from the monitor");
    });
    thread->start();
    thread->wait();
    delete thread;

    EXPECT_EQ(otherActivation, main.activation() + 1);
    EXPECT_EQ(otherDepth, 1);
    EXPECT_NE(otherThread, TraceLog::currentThreadNumber());
    EXPECT_EQ(m_log.currentProcedure()->procedure, "WebFrame");
    EXPECT_TRUE(
        m_capture.lines().contains(QStringLiteral("[||]X !,T %1,P WebConsole[||]from the monitor").arg(otherThread)));
}

} // namespace
