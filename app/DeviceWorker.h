#pragma once

#include "app/CThreadBasic.h"
#include "app/DeviceTaskQueue.h"
#include "device/DeviceSync.h"

#include <atomic>

namespace device {
class DeviceConnection;
}
namespace store {
class ProfileStore;
}

namespace app {

/// What the music-start task does: restart the music analysis, clear the analyser's enabled flag
/// and set up the current music layer. The music lighting implements it; called on the worker.
class MusicStarter {
public:
    virtual ~MusicStarter() = default;
    virtual void RestartMusic() = 0;
};

/// The thread that holds every conversation with the keyboard. The pages queue tasks; the
/// worker runs one task per cycle, in the order queued, and streams music frames while the
/// music page is shown and nothing is queued.
///
/// Resting: when the queue is empty and there is no music to stream, the thread blocks until a
/// task is queued or the page or visibility changes (QueueTask, SetCurrentPage and
/// SetWindowVisible wake it), so an idle program does not wake 60 times a second. A task queued
/// while it rests is taken at once; one queued while it works is taken at the next cycle, 16 ms
/// after the current one.
///
/// The device index comes from the connection; the worker copies it into the store's run-time
/// field at each cycle, so other readers of the store see the state the worker acts on.
class DeviceWorker : public CThreadBasic {
public:
    static constexpr uint32_t kIntervalMs = 16;
    static constexpr uint32_t kArrivalWaitMs = 1000;
    static constexpr uint32_t kMaxStopWaitMs = 1000;
    static constexpr int kMusicPage = 43;

    /// Everything given must outlive the worker.
    DeviceWorker(device::DeviceConnection& connection, store::ProfileStore& store, base::Clock& clock,
                 device::PageRefresher& pages, MusicStarter& music, device::MusicFrameSource& frames);
    /// Stops the thread before the members go (waiting longer than a second only if it must).
    ~DeviceWorker() override;

    /// Starts the thread: a cycle every 16 ms while there is work.
    bool Start();
    /// Cuts the procedure in progress short and waits at most a second for the thread. True when
    /// it ended in time.
    bool Stop();

    /// Appends a task; any thread (the pages call it on the UI thread).
    void QueueTask(DeviceTask task);
    const DeviceTaskQueue& GetQueue() const { return m_queue; }

    /// Whether a full synchronisation has read the keyboard. The system settings' factory reset
    /// clears it when it queues its task, so the next arrival synchronises again.
    bool IsSynchronised() const { return m_synchronised; }
    void SetSynchronised(bool synchronised) { m_synchronised = synchronised; }

    /// The page shown (40 to 44; 43 is the music page, 1 none) and whether the window is
    /// visible: together they decide whether music frames are streamed.
    void SetCurrentPage(int page);
    int GetCurrentPage() const { return m_currentPage; }
    void SetWindowVisible(bool visible);

    /// How much of the stored macros the last macro write could send (see MacroArea).
    device::MacroArea GetLastMacroWrite() const { return m_sync.GetLastMacroWrite(); }
    device::DeviceSync& GetSync() { return m_sync; }

    /// One pass of the task consumer: the first queued task, or a music frame when nothing is
    /// queued. Tests call it directly to drive the worker without its thread.
    void Cycle() override;

protected:
    bool HasWork() override;

private:
    bool IsStreaming() const;
    int UpdateDeviceIndex();
    void RunSynchronisation();

    device::DeviceConnection& m_connection;
    store::ProfileStore& m_store;
    MusicStarter& m_music;
    device::MusicFrameSource& m_frames;
    device::DeviceSync m_sync;
    DeviceTaskQueue m_queue;
    std::atomic<bool> m_synchronised{false};
    std::atomic<int> m_currentPage{40};
    std::atomic<bool> m_windowVisible{true};
};

} // namespace app
