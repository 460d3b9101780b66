#include "device/sim/SimKeyboard.h"

#include "base/Clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace device::sim {

class SimKeyboard::Connection : public HidConnection {
public:
    Connection(SimKeyboard& keyboard, int interfaceNumber, uint64_t generation)
        : m_keyboard(keyboard), m_interface(interfaceNumber), m_generation(generation) {}

    int Write(const uint8_t* data, size_t length) override {
        return m_keyboard.Write(m_interface, m_generation, data, length);
    }
    int Read(uint8_t* buffer, size_t capacity, int timeoutMs) override {
        return m_keyboard.Read(m_interface, m_generation, buffer, capacity, timeoutMs);
    }
    std::u16string GetManufacturerString() override { return u"Quenby"; }
    std::u16string GetProductString() override { return u"Z9 Keyboard (simulated)"; }

private:
    SimKeyboard& m_keyboard;
    int m_interface;
    uint64_t m_generation;
};

SimKeyboard::SimKeyboard(base::Clock& clock, uint16_t vendorId, uint16_t productId)
    : m_clock(clock), m_vendorId(vendorId), m_productId(productId) {
    if (const char* transcript = std::getenv("QUILLON_SIM_TRANSCRIPT"); transcript && *transcript)
        m_transcript.reset(std::fopen(transcript, "a"));
}

std::string SimKeyboard::PathOf(int interfaceNumber) const {
    return "sim:keyboard/" + InterfaceTag(m_vendorId, m_productId, interfaceNumber);
}

std::vector<HidInterfaceInfo> SimKeyboard::Enumerate(uint16_t vendorId, uint16_t productId) {
    std::lock_guard lock(m_mutex);
    if (!m_plugged ||
        (vendorId != 0 && productId != 0 && (vendorId != m_vendorId || productId != m_productId)))
        return {};
    struct Usage {
        uint16_t page, usage;
    };
    // Typing (generic desktop keyboard), vendor events, configuration.
    static constexpr Usage kUsages[] = {{0x0001, 0x0006}, {0xFF00, 0x0000}, {0xFF00, 0x0001}};
    std::vector<HidInterfaceInfo> interfaces;
    for (int number = 0; number < 3; ++number)
        interfaces.push_back({PathOf(number), m_vendorId, m_productId, kReleaseNumber, number,
                              kUsages[number].page, kUsages[number].usage});
    return interfaces;
}

std::unique_ptr<HidConnection> SimKeyboard::Open(const std::string& path) {
    std::lock_guard lock(m_mutex);
    if (!m_plugged)
        return nullptr;
    for (int number = 0; number < 3; ++number) {
        if (path == PathOf(number))
            return std::make_unique<Connection>(*this, number, m_generation);
    }
    return nullptr;
}

int SimKeyboard::Write(int interfaceNumber, uint64_t generation, const uint8_t* data, size_t length) {
    std::lock_guard lock(m_mutex);
    if (!m_plugged || generation != m_generation)
        return -1;
    if (interfaceNumber != kConfigInterface)
        return static_cast<int>(length);
    ++m_writes;
    Record(data, length);
    std::optional<SimFirmware::Reply> reply = m_firmware.HandleRequest(data, length);
    if (!reply || m_silent)
        return static_cast<int>(length);
    if (m_dropCountdown > 0 && --m_dropCountdown == 0)
        return static_cast<int>(length);
    if (m_refusing)
        (*reply)[0] = 0x00;
    m_replies.push_back({{reply->begin(), reply->end()}, m_clock.NowMs() + m_replyDelayMs});
    return static_cast<int>(length);
}

int SimKeyboard::Read(int interfaceNumber, uint64_t generation, uint8_t* buffer, size_t capacity,
                      int timeoutMs) {
    uint64_t waitMs = static_cast<uint64_t>(std::max(timeoutMs, 0));
    std::vector<uint8_t> report;
    {
        std::lock_guard lock(m_mutex);
        if (!m_plugged || generation != m_generation)
            return -1;
        if (interfaceNumber == kConfigInterface)
            ++m_reads;
        std::deque<Pending>* queue = interfaceNumber == kConfigInterface   ? &m_replies
                                     : interfaceNumber == kVendorInterface ? &m_vendorReports
                                                                           : nullptr;
        uint64_t now = m_clock.NowMs();
        if (queue && !queue->empty() && queue->front().dueMs <= now + waitMs) {
            waitMs = queue->front().dueMs > now ? queue->front().dueMs - now : 0;
            report = std::move(queue->front().bytes);
            queue->pop_front();
        }
    }
    // The wait runs outside the lock so that others may queue reports meanwhile; a report queued
    // during a wait that found nothing is read by the next read, as a late reply would be.
    if (waitMs > 0)
        m_clock.SleepMs(static_cast<uint32_t>(waitMs));
    else if (report.empty())
        std::this_thread::yield();
    size_t count = std::min(report.size(), capacity);
    if (count > 0)
        std::memcpy(buffer, report.data(), count);
    return static_cast<int>(count);
}

void SimKeyboard::Record(const uint8_t* data, size_t length) {
    HidReport report;
    std::memcpy(report.data(), data, std::min(length, HidReport::kSize));
    if (m_received.size() == kMaxRecorded)
        m_received.pop_front();
    m_received.push_back(report);
    if (!m_transcript)
        return;
    char line[HidReport::kSize * 3 + 1];
    for (size_t i = 0; i < HidReport::kSize; ++i)
        std::snprintf(line + 3 * i, 4, i + 1 < HidReport::kSize ? "%02X " : "%02X\n", report[i]);
    std::fputs(line, m_transcript.get());
    std::fflush(m_transcript.get());
}

void SimKeyboard::SetReplyDelay(uint32_t milliseconds) {
    std::lock_guard lock(m_mutex);
    m_replyDelayMs = milliseconds;
}

void SimKeyboard::SetSilent(bool silent) {
    std::lock_guard lock(m_mutex);
    m_silent = silent;
}

void SimKeyboard::SetRefusing(bool refusing) {
    std::lock_guard lock(m_mutex);
    m_refusing = refusing;
}

void SimKeyboard::DropReply(int k) {
    std::lock_guard lock(m_mutex);
    m_dropCountdown = std::max(k, 0);
}

void SimKeyboard::QueueReply(std::vector<uint8_t> reply, uint32_t delayMs) {
    std::lock_guard lock(m_mutex);
    m_replies.push_back({std::move(reply), m_clock.NowMs() + delayMs});
}

void SimKeyboard::SendEventReport(uint8_t kind, uint8_t id) {
    std::vector<uint8_t> report(32, 0);
    report[0] = 0x02;
    report[1] = kind;
    report[2] = id;
    QueueVendorReport(std::move(report));
}

void SimKeyboard::QueueVendorReport(std::vector<uint8_t> report) {
    std::lock_guard lock(m_mutex);
    m_vendorReports.push_back({std::move(report), m_clock.NowMs()});
}

void SimKeyboard::SetDeviceChangeCallback(DeviceChangeCallback callback) {
    std::lock_guard lock(m_mutex);
    m_deviceChange = std::move(callback);
}

void SimKeyboard::Unplug() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_plugged)
            return;
        m_plugged = false;
        ++m_generation;
        m_replies.clear();
        m_vendorReports.clear();
    }
    RaiseDeviceChange(DeviceChange::Removal);
}

void SimKeyboard::Plug() {
    {
        std::lock_guard lock(m_mutex);
        if (m_plugged)
            return;
        m_plugged = true;
    }
    RaiseDeviceChange(DeviceChange::Arrival);
}

void SimKeyboard::RaiseDeviceChange(DeviceChange change) {
    DeviceChangeCallback callback;
    {
        std::lock_guard lock(m_mutex);
        callback = m_deviceChange;
    }
    // Called without the lock: the receiver usually rescans, which enumerates this keyboard.
    if (!callback)
        return;
    for (int number = 0; number < 3; ++number)
        callback(change, PathOf(number));
}

std::vector<HidReport> SimKeyboard::GetReceivedReports() const {
    std::lock_guard lock(m_mutex);
    return {m_received.begin(), m_received.end()};
}

void SimKeyboard::ClearReceived() {
    std::lock_guard lock(m_mutex);
    m_received.clear();
    m_writes = 0;
    m_reads = 0;
}

int SimKeyboard::GetWriteCount() const {
    std::lock_guard lock(m_mutex);
    return m_writes;
}

int SimKeyboard::GetReadCount() const {
    std::lock_guard lock(m_mutex);
    return m_reads;
}

SimFirmware SimKeyboard::GetFirmware() const {
    std::lock_guard lock(m_mutex);
    return m_firmware;
}

} // namespace device::sim
