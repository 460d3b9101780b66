#pragma once

#include <atomic>
#include <cstdint>

// Every wait of the program goes through a Clock, so that tests can run the exact waits of a
// protocol (the report ladder, the arrival wait, the reset wait) without waiting for them.
namespace base {

class Clock {
public:
    virtual ~Clock() = default;

    /// Milliseconds of a monotonic clock; only differences are meaningful.
    virtual uint64_t NowMs() const = 0;

    /// Sleeps for the given time (a simulated clock advances instead).
    virtual void SleepMs(uint32_t milliseconds) = 0;

    /// The real monotonic clock of the process; lives until the process ends.
    static Clock& System();
};

/// A clock for tests: time stands still until someone sleeps or calls Advance, and a sleep
/// returns at once after moving the time forward. Safe to use from several threads.
class ManualClock : public Clock {
public:
    explicit ManualClock(uint64_t startMs = 0) : m_now(startMs) {}

    uint64_t NowMs() const override { return m_now.load(); }
    void SleepMs(uint32_t milliseconds) override { m_now += milliseconds; }
    void Advance(uint64_t milliseconds) { m_now += milliseconds; }

private:
    std::atomic<uint64_t> m_now;
};

} // namespace base
