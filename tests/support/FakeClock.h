#pragma once

#include "bizlib/MonotonicClock.h"

namespace testsupport {

// A monotonic clock the test moves by hand.
class FakeClock : public bizlib::MonotonicClock
{
public:
    qint64 msecs() const override { return m_now; }
    void advance(qint64 ms) { m_now += ms; }

private:
    qint64 m_now = 1000000;
};

} // namespace testsupport
