#include "app/CThreadBasic.h"

#include "base/Clock.h"

#include <chrono>

namespace app {

namespace {

// A resting thread looks again this often, in case a change that no one announced with Wake
// (a keyboard found by a rescan on another thread) gave it something to do.
constexpr auto kRestRecheck = std::chrono::milliseconds(1000);

} // namespace

CThreadBasic::CThreadBasic(base::Clock& clock) : m_clock(clock) {}

CThreadBasic::~CThreadBasic() {
    m_running = false;
    Wake();
    Join();
}

bool CThreadBasic::Start(uint32_t intervalMs, Loop loop) {
    if (m_running)
        return false;
    if (m_thread.joinable()) // a thread that has returned, or is about to after a late Stop
        m_thread.join();
    m_intervalMs = intervalMs;
    m_loop = loop;
    m_startTick = m_clock.NowMs();
    {
        std::lock_guard lock(m_mutex);
        m_ended = false;
        m_wakePending = false;
    }
    m_running = true;
    m_thread = std::thread([this] { Run(); });
    return true;
}

bool CThreadBasic::Stop(uint32_t maxWaitMs) {
    m_running = false;
    Wake();
    if (!m_thread.joinable())
        return true;
    std::unique_lock lock(m_mutex);
    if (!m_endCondition.wait_for(lock, std::chrono::milliseconds(maxWaitMs), [this] { return m_ended; }))
        return false;
    lock.unlock();
    m_thread.join();
    return true;
}

void CThreadBasic::Join() {
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void CThreadBasic::Wake() {
    {
        std::lock_guard lock(m_mutex);
        m_wakePending = true;
    }
    m_wakeCondition.notify_all();
}

void CThreadBasic::Rest() {
    std::unique_lock lock(m_mutex);
    m_wakeCondition.wait_for(lock, kRestRecheck, [this] { return m_wakePending || !m_running; });
    m_wakePending = false;
}

void CThreadBasic::Run() {
    if (m_loop == Loop::Yes) {
        while (m_running) {
            Cycle();
            if (!m_running)
                break;
            if (HasWork())
                m_clock.SleepMs(m_intervalMs);
            else
                Rest();
        }
    } else {
        Cycle();
    }
    m_running = false;
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_endCondition.notify_all();
}

} // namespace app
