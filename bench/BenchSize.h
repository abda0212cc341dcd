#pragma once

#include <QtGlobal>
#include <algorithm>

// How many rows or runs a benchmark makes: `full`, or a hundredth of it (at least `least`) when
// WEBCONSOLE_BENCH_SMALL=1 asks for a short run on small data, as the sanitizer build of the test
// command runs each benchmark once.
inline int benchSize(int full, int least = 2)
{
    return qEnvironmentVariableIntValue("WEBCONSOLE_BENCH_SMALL") == 1 ? std::max(least, full / 100) : full;
}
