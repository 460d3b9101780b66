#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace app {

/// What the device worker is asked to do; the numbers are the ones the pages queue.
enum class DeviceTask : int {
    MusicStart = 1,    ///< restart the music analysis; runs with or without a keyboard
    InitialSync = 2,   ///< the full synchronisation, once
    DeviceArrived = 3, ///< wait, rescan, then as InitialSync; the wait and rescan always run
    KeyMap = 4,        ///< write the key table
    Macros = 5,        ///< write the macro area
    SettingsBlock = 6, ///< write the settings block
    KeyColors = 7,     ///< write the key colour table
    FactoryReset = 8,  ///< reset the keyboard, then read everything again
};

/// The first-in first-out list of tasks. The UI thread appends, the worker takes; one mutex makes
/// each append and each removal atomic with respect to the other. Repeated tasks are kept apart:
/// each one queued is run.
class DeviceTaskQueue {
public:
    void Push(DeviceTask task);
    /// Removes and returns the first task, or nothing when the queue is empty.
    std::optional<DeviceTask> TakeFirst();
    bool IsEmpty() const;
    size_t GetSize() const;

private:
    mutable std::mutex m_mutex;
    std::deque<DeviceTask> m_tasks;
};

} // namespace app
