#include "toolkit/platform/MessageQueue.h"

#include "toolkit/platform/Backend.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/WindowObject.h"

#include <algorithm>
#include <cairo.h>

namespace tessel {

namespace {

std::mutex g_queuesMutex;
std::vector<std::weak_ptr<MessageQueue>> g_queues;

std::shared_ptr<MessageQueue> MakeQueue() {
    auto queue = std::make_shared<MessageQueue>();
    std::lock_guard lock(g_queuesMutex);
    std::erase_if(g_queues, [](const std::weak_ptr<MessageQueue>& q) { return q.expired(); });
    g_queues.push_back(queue);
    return queue;
}

// Holds a thread's queue and closes it when the thread ends. The queue itself may live on (the
// registry and senders hold it), so its destructor cannot be what answers waiting senders.
struct ThreadQueue {
    std::shared_ptr<MessageQueue> queue = MakeQueue();
    ~ThreadQueue() { queue->Close(); }
};

} // namespace

std::shared_ptr<MessageQueue> MessageQueue::Current() {
    thread_local ThreadQueue holder;
    return holder.queue;
}

void MessageQueue::WakeAll() {
    std::vector<std::shared_ptr<MessageQueue>> queues;
    {
        std::lock_guard lock(g_queuesMutex);
        for (const auto& weak : g_queues) {
            if (auto queue = weak.lock()) {
                queues.push_back(std::move(queue));
            }
        }
    }
    for (const auto& queue : queues) {
        queue->Wake();
    }
}

void MessageQueue::Wake() {
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wakeup.notify_all();
    CurrentBackend().Wake();
}

MessageQueue::~MessageQueue() {
    Close();
}

void MessageQueue::Close() {
    std::deque<std::unique_ptr<Sent>> unanswered;
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        unanswered.swap(m_sent);
    }
    // Senders waiting on a thread that ends get 0, as for a window that went away.
    for (auto& sent : unanswered) {
        sent->result.set_value(0);
        if (std::shared_ptr<MessageQueue> sender = sent->sender.lock()) {
            sender->Wake();
        }
    }
}

void MessageQueue::Post(const MSG& msg, bool inFront) {
    {
        std::lock_guard lock(m_mutex);
        // Mouse moves are merged, so a slow window sees the latest position rather than a backlog.
        bool mergeMove = !inFront && msg.message == WM_MOUSEMOVE && !m_posted.empty() &&
                         m_posted.back().message == WM_MOUSEMOVE && m_posted.back().hwnd == msg.hwnd;
        if (inFront) {
            m_posted.push_front(msg);
        } else if (mergeMove) {
            m_posted.back() = msg;
        } else {
            m_posted.push_back(msg);
        }
    }
    Wake();
}

LRESULT MessageQueue::SendAndWait(const MSG& msg) {
    std::shared_ptr<MessageQueue> own = Current();
    auto sent = std::make_unique<Sent>();
    sent->msg = msg;
    sent->sender = own;
    std::future<LRESULT> result = sent->result.get_future();
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) {
            return 0; // nobody is left to answer
        }
        m_sent.push_back(std::move(sent));
    }
    Wake();
    for (;;) {
        own->HandleSentMessages();
        if (result.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            return result.get();
        }
        std::unique_lock lock(own->m_mutex);
        own->m_wakeup.wait(lock, [&] { return own->m_woken || !own->m_sent.empty(); });
        own->m_woken = false;
    }
}

void MessageQueue::PostQuit(int exitCode) {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_exitCode = exitCode;
    }
    Wake();
}

void MessageQueue::ForgetWindow(HWND hwnd) {
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_posted, [hwnd](const MSG& msg) { return msg.hwnd == hwnd; });
    }
    std::erase_if(m_timers, [hwnd](const Timer& timer) { return timer.hwnd == hwnd; });
    if (tracking.hwnd == hwnd) {
        tracking = {};
    }
    if (mouseWindow == hwnd) {
        mouseWindow = nullptr;
    }
    if (lastClick.hwnd == hwnd) {
        lastClick = {};
    }
    if (focus == hwnd) {
        focus = nullptr;
    }
    if (active == hwnd) {
        active = nullptr;
    }
    if (keyboardGrab == hwnd) {
        keyboardGrab = nullptr;
        CurrentBackend().GrabKeyboard(nullptr);
    }
}

bool MessageQueue::Matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax) {
    if (filter && msg.hwnd != filter) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return msg.message >= filterMin && msg.message <= filterMax;
}

void MessageQueue::HandleSentMessages() {
    for (;;) {
        std::unique_ptr<Sent> sent;
        {
            std::lock_guard lock(m_mutex);
            if (m_sent.empty()) {
                return;
            }
            sent = std::move(m_sent.front());
            m_sent.pop_front();
        }
        sent->result.set_value(
            SendMessageW(sent->msg.hwnd, sent->msg.message, sent->msg.wParam, sent->msg.lParam));
        if (std::shared_ptr<MessageQueue> sender = sent->sender.lock()) {
            sender->Wake();
        }
    }
}

bool MessageQueue::TakePosted(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
        if (Matches(*it, filter, filterMin, filterMax)) {
            *msg = *it;
            if (remove) {
                m_posted.erase(it);
            }
            return true;
        }
    }
    // The quit request comes only once everything posted before it has been handled.
    if (m_quit && !filter && filterMin == 0 && filterMax == 0) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(m_exitCode);
        if (remove) {
            m_quit = false;
        }
        return true;
    }
    return false;
}

bool MessageQueue::MakeHover(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove,
                             uint64_t now) {
    if (!(tracking.flags & TME_HOVER) || !tracking.hwnd || now < tracking.hoverStart + tracking.hoverTime) {
        return false;
    }
    MSG hover{};
    hover.hwnd = tracking.hwnd;
    hover.message = WM_MOUSEHOVER;
    hover.lParam = MAKELPARAM(tracking.lastClient.x, tracking.lastClient.y);
    hover.time = static_cast<DWORD>(now);
    GetCursorPos(&hover.pt);
    if (!Matches(hover, filter, filterMin, filterMax)) {
        return false;
    }
    *msg = hover;
    if (remove) {
        // Hover is reported once; the window asks again with TrackMouseEvent.
        tracking.flags &= ~TME_HOVER;
        if (tracking.flags == 0) {
            tracking.hwnd = nullptr;
        }
    }
    return true;
}

bool MessageQueue::MakePaint(MSG* msg, HWND filter, UINT filterMin, UINT filterMax) {
    for (WindowObject* window : WindowsOfQueue(this)) {
        if (!window->update || cairo_region_is_empty(window->update.get()) ||
            !IsWindowVisible(window->hwnd)) {
            continue;
        }
        MSG paint{};
        paint.hwnd = window->hwnd;
        paint.message = WM_PAINT;
        paint.time = static_cast<DWORD>(CurrentBackend().NowMs());
        if (Matches(paint, filter, filterMin, filterMax)) {
            // WM_PAINT stays due until the window validates its update region.
            *msg = paint;
            return true;
        }
    }
    return false;
}

bool MessageQueue::MakeTimer(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove,
                             uint64_t now) {
    for (Timer& timer : m_timers) {
        if (now < timer.due) {
            continue;
        }
        MSG tick{};
        tick.hwnd = timer.hwnd;
        tick.message = WM_TIMER;
        tick.wParam = timer.id;
        tick.lParam = reinterpret_cast<LPARAM>(timer.callback);
        tick.time = static_cast<DWORD>(now);
        if (!Matches(tick, filter, filterMin, filterMax)) {
            continue;
        }
        *msg = tick;
        if (remove) {
            // Ticks missed while the thread was busy merge into one, as WM_TIMER always has.
            timer.due = now + timer.elapse;
        }
        return true;
    }
    return false;
}

int64_t MessageQueue::MillisecondsToNextEvent(uint64_t now) const {
    int64_t wait = -1;
    auto consider = [&](uint64_t due) {
        int64_t left = due > now ? static_cast<int64_t>(due - now) : 0;
        if (wait < 0 || left < wait) {
            wait = left;
        }
    };
    for (const Timer& timer : m_timers) {
        consider(timer.due);
    }
    if ((tracking.flags & TME_HOVER) && tracking.hwnd) {
        consider(tracking.hoverStart + tracking.hoverTime);
    }
    return wait;
}

void MessageQueue::NoteKeyMessage(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_SYSKEYDOWN &&
        msg.message != WM_SYSKEYUP) {
        return;
    }
    bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    bool repeat = (msg.lParam >> 30) & 1;
    auto apply = [&](uint32_t vk) {
        uint8_t& state = keyState[vk & 0xFF];
        if (down && !repeat && !(state & 0x80)) {
            state ^= 0x01;
        }
        state = static_cast<uint8_t>(down ? (state | 0x80) : (state & ~0x80));
    };
    apply(static_cast<uint32_t>(msg.wParam));
    bool extended = (msg.lParam >> 24) & 1;
    uint32_t scan = (msg.lParam >> 16) & 0xFF;
    switch (msg.wParam) {
    case VK_SHIFT:
        apply(scan == 0x36 ? VK_RSHIFT : VK_LSHIFT);
        break;
    case VK_CONTROL:
        apply(extended ? VK_RCONTROL : VK_LCONTROL);
        break;
    case VK_MENU:
        apply(extended ? VK_RMENU : VK_LMENU);
        break;
    default:
        break;
    }
}

bool MessageQueue::Get(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove, bool wait) {
    Backend& backend = CurrentBackend();
    // Only the thread that owns the backend's loop may run it (GTK is single-threaded); the others
    // wait on their own queue alone.
    bool pumps = backend.PumpsOnThisThread();
    for (;;) {
        if (pumps) {
            backend.Pump();
        }
        HandleSentMessages();
        uint64_t now = backend.NowMs();
        if (TakePosted(msg, filter, filterMin, filterMax, remove) ||
            MakeHover(msg, filter, filterMin, filterMax, remove, now) ||
            MakePaint(msg, filter, filterMin, filterMax) ||
            MakeTimer(msg, filter, filterMin, filterMax, remove, now)) {
            if (remove) {
                NoteKeyMessage(*msg);
            }
            return true;
        }
        if (!wait) {
            return false;
        }
        int64_t timeout = MillisecondsToNextEvent(now);
        if (pumps) {
            {
                // A post that slipped in after TakePosted must not be slept through.
                std::lock_guard lock(m_mutex);
                if (!m_posted.empty() || !m_sent.empty() || m_quit) {
                    continue;
                }
            }
            backend.Wait(timeout);
            continue;
        }
        std::unique_lock lock(m_mutex);
        auto ready = [this] { return m_woken || !m_posted.empty() || !m_sent.empty() || m_quit; };
        // A manual clock moves only when a test advances it, which wakes every queue.
        if (timeout < 0 || backend.HasManualClock()) {
            m_wakeup.wait(lock, ready);
        } else {
            m_wakeup.wait_for(lock, std::chrono::milliseconds(timeout), ready);
        }
        m_woken = false;
    }
}

uintptr_t MessageQueue::SetTimer(HWND hwnd, uintptr_t id, UINT elapse, TIMERPROC callback) {
    if (!hwnd) {
        id = ++m_nextThreadTimerId;
    }
    // Intervals below 10 ms are raised to 10, so a zero interval cannot starve the queue.
    elapse = std::max<UINT>(elapse, 10);
    uint64_t due = CurrentBackend().NowMs() + elapse;
    for (Timer& timer : m_timers) {
        if (timer.hwnd == hwnd && timer.id == id) {
            timer = Timer{hwnd, id, elapse, due, callback};
            return id;
        }
    }
    m_timers.push_back(Timer{hwnd, id, elapse, due, callback});
    return id;
}

bool MessageQueue::KillTimer(HWND hwnd, uintptr_t id) {
    return std::erase_if(m_timers, [&](const Timer& timer) { return timer.hwnd == hwnd && timer.id == id; }) >
           0;
}

} // namespace tessel
