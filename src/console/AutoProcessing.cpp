#include "console/AutoProcessing.h"

#include "bizlib/Table.h"
#include "config/ConsoleSettings.h"
#include "console/ProcessingProblems.h"
#include "quotes/QuoteProcessing.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>

namespace console {

AutoProcessing::AutoProcessing(Services services)
    : m_s(std::move(services))
{ }

bool AutoProcessing::qualifies(const config::ConsoleSettings &settings, const bizlib::Record &request)
{
    const auto args = quotes::QuoteProcessing::automaticArguments(settings, request);
    return args && (args->isRfq || request.toLong("WebCalc") == 1);
}

QString AutoProcessing::whyLeft(const config::ConsoleSettings &settings, const bizlib::Record &request)
{
    const bool named = request.toLong("TemplateID") != 0 || request.toLong("PreviousID") != 0;
    if (!named)
        return settings.autoProcessRfqs ? QString() : QStringLiteral("a request for quotation; AutoProcessRFQs is off");
    if (!settings.autoProcessQuotes)
        return QStringLiteral("names a template; AutoProcessQuotes is off");
    return request.toLong("WebCalc") == 1 ? QString() : QStringLiteral("not priced by the website");
}

QList<qint32> AutoProcessing::run(const RowAt &rowAt, const Process &process)
{
    QList<qint32> processed;
    const config::ConsoleSettings &settings = *m_s.settings;
    QSet<qint32> tried;
    QSet<qint32> left;
    bizlib::Table requests(*m_s.db, QStringLiteral("WebQuotes"));
    const auto tell = [this](const Outcome &o) {
        if (m_s.told)
            m_s.told(o);
    };
    int row = 0;
    for (;;) {
        const std::optional<bizlib::Record> listed = rowAt(row++);
        if (!listed)
            break;
        const qint32 id = listed->toLong("QuoteID");
        if (tried.contains(id) || left.contains(id))
            continue;
        if (!qualifies(settings, *listed)) {
            left.insert(id);
            tell({ id, listed->toLong("Number"), Result::Left, whyLeft(settings, *listed), 0 });
            continue;
        }
        if (m_s.stopRequested && m_s.stopRequested())
            break;
        tried.insert(id);
        bizlib::Record request = requests.newRecord();
        if (const bizlib::Status read = requests.fetch(QStringLiteral("QUOTEIDKEY"), { id }, request); !read) {
            // Gone: processed or removed meanwhile. Not readable: said, and tried at the next walk.
            if (!read.isNotFound())
                tell({ id, listed->toLong("Number"), Result::Failed,
                    QStringLiteral("The request cannot be read: %1").arg(read.message()), 0 });
            continue;
        }
        const QByteArray signature = ProcessingProblems::signature(request);
        const QDateTime now = QDateTime::currentDateTime();
        if (m_s.problems && !m_s.problems->mayTry(id, signature, now))
            continue;
        if (m_s.starting)
            m_s.starting();
        const bool isRfq = request.toLong("TemplateID") == 0 && request.toLong("PreviousID") == 0;
        QElapsedTimer timer;
        timer.start();
        const Attempt attempt = process(request, isRfq);
        Outcome outcome { id, request.toLong("Number"), Result::Processed, attempt.detail, timer.elapsed() };
        if (attempt.response == bizlib::forms::Response::Cancelled) {
            if (attempt.failure.isEmpty()) {
                outcome.result = Result::Declined;
            } else {
                outcome.result = attempt.needsPerson ? Result::NeedsPerson : Result::Failed;
                outcome.detail = attempt.failure;
                if (m_s.problems) {
                    // The wait is for the row as the failed run left it (its claim fills in the
                    // address): only a change made after the failure lets it be tried sooner.
                    bizlib::Record after = requests.newRecord();
                    const bool reread = requests.fetch(QStringLiteral("QUOTEIDKEY"), { id }, after).isOk();
                    m_s.problems->failed(id, reread ? ProcessingProblems::signature(after) : signature, now);
                    m_s.problems->add(ProcessingProblems::requestName(request.toLong("Number")), attempt.failure, now);
                }
            }
            tell(outcome);
            continue;
        }
        if (m_s.problems) {
            m_s.problems->succeeded(id);
            m_s.problems->addAutomaticRun(request.toLong("Number"), attempt.run, QDateTime::currentDateTime());
        }
        processed << id;
        tell(outcome);
        if (!m_s.listReadOnce)
            row = 0;
    }
    return processed;
}

} // namespace console
