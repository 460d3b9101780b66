#pragma once

#include "toolkit/platform/Win32Types.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace tessel {

/// The message queue of one thread, shared by both backends: posted messages, messages sent from
/// other threads, the quit request, and the messages made on demand when nothing else is waiting
/// (WM_PAINT from update regions, WM_MOUSEHOVER, WM_TIMER), in that order of priority. It also
/// keeps the thread's input state: focus, active window, capture, mouse tracking, key states.
///
/// Threads: only posting, sending and waking reach a queue from other threads; they take m_mutex
/// and wake the owner: the GTK thread through GLib's wakeup (it waits in GLib's loop), any other
/// thread through the queue's condition variable. Everything else runs on the owning thread.
class MessageQueue {
public:
    /// The calling thread's queue, made on first use.
    static std::shared_ptr<MessageQueue> Current();
    /// Wakes every waiting queue (the headless clock moved, so timers may be due).
    static void WakeAll();
    /// Any thread: ends the owner's wait in Get, or its next one.
    void Wake();

    /// Any thread: queues a message and wakes the owner. In front of the others when asked (for
    /// the characters TranslateMessage makes, which belong right after their key-down).
    void Post(const MSG& msg, bool inFront = false);
    /// Called from another thread: hands a message to the owner's window procedure and waits for
    /// the result (0 when the owner's thread ends first). While waiting, the caller still handles
    /// messages sent to its own windows, so two threads sending to each other do not deadlock.
    LRESULT SendAndWait(const MSG& msg);
    void PostQuit(int exitCode);
    /// Called when the owning thread ends: answers waiting senders with 0, and every later send
    /// gets 0 at once.
    void Close();
    /// Drops every queued message, timer and tracking state of a window being destroyed.
    void ForgetWindow(HWND hwnd);

    /// Takes or looks at the next message; waits when asked to and nothing is there.
    bool Get(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove, bool wait);

    uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapse, TIMERPROC callback);
    bool KillTimer(HWND hwnd, uintptr_t id);

    // Input state of the thread.
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    HWND keyboardGrab = nullptr;

    struct Tracking {
        HWND hwnd = nullptr;
        DWORD flags = 0;
        DWORD hoverTime = 400;
        RECT hoverRect;
        uint64_t hoverStart = 0;
        POINT lastClient;
    };
    Tracking tracking;
    /// The window the mouse was over at the last mouse event.
    HWND mouseWindow = nullptr;

    struct LastClick {
        HWND hwnd = nullptr;
        UINT button = 0;
        uint64_t time = 0;
        POINT screen;
    };
    LastClick lastClick;

    /// Key states as of the last key message taken (bit 15 down, bit 0 toggled).
    std::array<uint8_t, 256> keyState{};

    ~MessageQueue();

private:
    struct Sent {
        MSG msg;
        std::promise<LRESULT> result;
        /// The queue of the waiting sender, woken when the result is there.
        std::weak_ptr<MessageQueue> sender;
    };
    struct Timer {
        HWND hwnd;
        uintptr_t id;
        UINT elapse;
        uint64_t due;
        TIMERPROC callback;
    };

    static bool Matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax);
    void HandleSentMessages();
    bool TakePosted(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove);
    bool MakeHover(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove, uint64_t now);
    bool MakePaint(MSG* msg, HWND filter, UINT filterMin, UINT filterMax);
    bool MakeTimer(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove, uint64_t now);
    int64_t MillisecondsToNextEvent(uint64_t now) const;
    void NoteKeyMessage(const MSG& msg);

    std::mutex m_mutex;
    std::condition_variable m_wakeup;
    bool m_woken = false;
    std::deque<MSG> m_posted;
    std::deque<std::unique_ptr<Sent>> m_sent;
    bool m_quit = false;
    bool m_closed = false;
    int m_exitCode = 0;

    std::vector<Timer> m_timers;
    uintptr_t m_nextThreadTimerId = 0x7F00;
};

} // namespace tessel
