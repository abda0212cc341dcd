#pragma once

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <string>

// The usual console report, then a summary of our own (ratios, goals) from the real time of each
// benchmark by name, in milliseconds as the benchmarks report them.
class TimesReporter : public benchmark::ConsoleReporter
{
public:
    using Times = std::map<std::string, double>;
    explicit TimesReporter(std::function<void(Times &)> summary) : m_summary(std::move(summary)) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            m_times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        m_summary(m_times);
    }

private:
    std::function<void(Times &)> m_summary;
    Times m_times;
};

// The main() of a benchmark program: the usual run, then `summary` over the times.
inline int runBenchmarks(int argc, char **argv, std::function<void(TimesReporter::Times &)> summary)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter(std::move(summary));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
