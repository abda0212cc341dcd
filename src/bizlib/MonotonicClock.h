#pragma once

#include <QElapsedTimer>

namespace bizlib {

// Milliseconds on a clock that only moves forward: what every interval of the program
// (refresh countdown, progress polls, tray retries, reminders) is measured on, so that
// midnight or a change of the system time never stretches or shortens one.
class MonotonicClock
{
public:
    virtual ~MonotonicClock() = default;
    virtual qint64 msecs() const = 0;
};

class SteadyClock : public MonotonicClock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 msecs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

} // namespace bizlib
