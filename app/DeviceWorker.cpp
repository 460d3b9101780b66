#include "app/DeviceWorker.h"

#include "base/Log.h"
#include "device/DeviceConnection.h"
#include "store/ProfileStore.h"

#include <string>

namespace app {

DeviceWorker::DeviceWorker(device::DeviceConnection& connection, store::ProfileStore& store,
                           base::Clock& clock, device::PageRefresher& pages, MusicStarter& music,
                           device::MusicFrameSource& frames)
    : CThreadBasic(clock), m_connection(connection), m_store(store), m_music(music), m_frames(frames),
      m_sync(connection.GetDeviceList(), store, clock, pages) {}

DeviceWorker::~DeviceWorker() {
    // The cycle uses the members that die with this object, so a thread that did not end within
    // the second must still be waited for here.
    if (!Stop())
        Join();
}

bool DeviceWorker::Start() {
    m_sync.SetStopRequested(false);
    return CThreadBasic::Start(kIntervalMs, Loop::Yes);
}

bool DeviceWorker::Stop() {
    m_sync.SetStopRequested(true);
    return CThreadBasic::Stop(kMaxStopWaitMs);
}

void DeviceWorker::QueueTask(DeviceTask task) {
    m_queue.Push(task);
    Wake();
}

void DeviceWorker::SetCurrentPage(int page) {
    m_currentPage = page;
    Wake();
}

void DeviceWorker::SetWindowVisible(bool visible) {
    m_windowVisible = visible;
    Wake();
}

int DeviceWorker::UpdateDeviceIndex() {
    const int index = m_connection.GetDeviceIndex();
    m_store.SetDeviceIndex(index);
    return index;
}

bool DeviceWorker::IsStreaming() const {
    return m_connection.GetDeviceIndex() != -1 && m_windowVisible && m_currentPage == kMusicPage;
}

bool DeviceWorker::HasWork() {
    return !m_queue.IsEmpty() || IsStreaming();
}

void DeviceWorker::RunSynchronisation() {
    if (m_synchronised)
        return;
    // Only a synchronisation that read the keyboard counts: after one that found no keyboard or
    // lost chunks, the next arrival tries again.
    if (m_sync.FullSynchronisation())
        m_synchronised = true;
}

void DeviceWorker::Cycle() {
    const int index = UpdateDeviceIndex();
    const std::optional<DeviceTask> task = m_queue.TakeFirst();
    if (!task) {
        if (IsStreaming())
            m_sync.SendMusicFrame(m_frames);
        return;
    }
    // These two run with or without a keyboard.
    if (*task == DeviceTask::DeviceArrived) {
        // The keyboard's interfaces appear one after another; give them time to settle.
        m_sync.WaitMs(kArrivalWaitMs);
        m_connection.Rescan();
        UpdateDeviceIndex();
        RunSynchronisation();
        return;
    }
    if (*task == DeviceTask::MusicStart) {
        m_music.RestartMusic();
        return;
    }
    if (index == -1) {
        base::LogInfo("worker", "no keyboard: task " + std::to_string(static_cast<int>(*task)) + " dropped");
        return;
    }
    switch (*task) {
    case DeviceTask::InitialSync:
        RunSynchronisation();
        break;
    case DeviceTask::KeyMap:
        m_sync.WriteKeyTable();
        break;
    case DeviceTask::Macros:
        m_sync.WriteMacros();
        break;
    case DeviceTask::SettingsBlock:
        m_sync.WriteSettingsBlock();
        break;
    case DeviceTask::KeyColors:
        m_sync.WriteKeyColors();
        break;
    case DeviceTask::FactoryReset:
        m_sync.FactoryReset();
        break;
    case DeviceTask::MusicStart:
    case DeviceTask::DeviceArrived:
        break; // handled above
    }
}

} // namespace app
