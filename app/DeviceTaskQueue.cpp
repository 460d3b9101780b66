#include "app/DeviceTaskQueue.h"

namespace app {

void DeviceTaskQueue::Push(DeviceTask task) {
    std::lock_guard lock(m_mutex);
    m_tasks.push_back(task);
}

std::optional<DeviceTask> DeviceTaskQueue::TakeFirst() {
    std::lock_guard lock(m_mutex);
    if (m_tasks.empty())
        return std::nullopt;
    DeviceTask task = m_tasks.front();
    m_tasks.pop_front();
    return task;
}

bool DeviceTaskQueue::IsEmpty() const {
    std::lock_guard lock(m_mutex);
    return m_tasks.empty();
}

size_t DeviceTaskQueue::GetSize() const {
    std::lock_guard lock(m_mutex);
    return m_tasks.size();
}

} // namespace app
