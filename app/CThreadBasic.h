#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace base {
class Clock;
}

namespace app {

/// A worker thread that calls its cycle operation again and again (or once), with an interval
/// after each cycle. Unlike a plain timer loop it can rest: when HasWork says there is nothing to
/// do it blocks until Wake is called, instead of waking every interval for nothing.
///
/// The end event is a flag under the mutex with a condition variable; the thread sets it when it
/// returns, and Stop waits for it for a bounded time.
class CThreadBasic {
public:
    enum class Loop { No, Yes };

    /// The clock times the interval; it must outlive the thread.
    explicit CThreadBasic(base::Clock& clock);
    /// Joins a thread still running. A derived class must Stop in its own destructor: the cycle
    /// operation it overrides is gone by the time this one runs.
    virtual ~CThreadBasic();

    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    /// Starts the thread; false when it is already running.
    bool Start(uint32_t intervalMs, Loop loop);

    /// Clears the running flag, wakes the thread and waits at most maxWaitMs for it to return
    /// (a cycle in progress runs to its end). True when it returned in time and was joined;
    /// false leaves it to finish on its own, and the destructor joins it.
    bool Stop(uint32_t maxWaitMs);

    /// Waits, without a bound, for a thread that is still running (after a Stop that timed out).
    void Join();

    bool IsRunning() const { return m_running; }
    uint64_t GetStartTick() const { return m_startTick; }

    /// Ends a rest early: the thread runs its next cycle at once. Any thread.
    void Wake();

protected:
    /// One cycle of the thread's work.
    virtual void Cycle() = 0;
    /// Whether the next cycle has something to do. False lets the thread rest until Wake (it
    /// still looks again every second). By default the thread never rests.
    virtual bool HasWork() { return true; }

private:
    void Run();
    void Rest();

    base::Clock& m_clock;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    Loop m_loop = Loop::Yes;
    uint32_t m_intervalMs = 16;
    uint64_t m_startTick = 0;

    std::mutex m_mutex; // guards the two flags below
    std::condition_variable m_wakeCondition;
    std::condition_variable m_endCondition;
    bool m_wakePending = false;
    bool m_ended = true; // the end event
};

} // namespace app
