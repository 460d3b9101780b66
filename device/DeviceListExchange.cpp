// The report exchange of the device list: the acknowledged send with its retry ladder, the query
// with its drain, and the fast send of streamed colours.
#include "base/Clock.h"
#include "device/DeviceList.h"

#include <algorithm>
#include <cstring>

namespace device {

namespace {

constexpr int kReplyTimeoutMs = 100;
constexpr int kDrainTimeoutMs = 50;
constexpr int kFastReplyTimeoutMs = 10;
// A keyboard that keeps sending would hold a drain forever; stale replies are one or two at
// most, so after this many the query goes on regardless.
constexpr int kMaxDrainedReplies = 64;

} // namespace

bool DeviceList::WriteRequest(HidConnection& connection, const HidReport& report) {
    return connection.Write(report.data(), HidReport::kSize) >= 0;
}

bool DeviceList::WriteWithRetry(HidConnection& connection, const HidReport& report, uint32_t retryDelayMs) {
    if (WriteRequest(connection, report))
        return true;
    m_clock.SleepMs(retryDelayMs);
    return WriteRequest(connection, report);
}

int DeviceList::ReadReply(HidConnection& connection, uint8_t (&reply)[HidReport::kReplySize], int timeoutMs) {
    std::memset(reply, 0, sizeof reply);
    int count = connection.Read(reply, sizeof reply, timeoutMs);
    return std::clamp(count, 0, static_cast<int>(sizeof reply));
}

// Steps shared by SendReport and QueryReport once the checksum is set: write (with one immediate
// retry), then up to four reads and two more writes until a reply acknowledges.
bool DeviceList::Ladder(HidConnection& connection, HidReport& report) {
    if (!WriteWithRetry(connection, report, 10))
        return false;
    uint8_t reply[HidReport::kReplySize];
    // Only a reply read after the latest write counts; otherwise the buffer keeps the request.
    bool haveReply = false;
    auto readOnce = [&] {
        haveReply = ReadReply(connection, reply, kReplyTimeoutMs) > 0;
        return haveReply && reply[0] == HidReport::kAcknowledged;
    };

    m_clock.SleepMs(2);
    bool acknowledged = readOnce();
    if (!acknowledged) {
        m_clock.SleepMs(2);
        acknowledged = readOnce();
    }
    for (int attempt = 0; attempt < 2 && !acknowledged; ++attempt) {
        m_clock.SleepMs(5);
        // A failure of this write shows as a missing reply.
        WriteRequest(connection, report);
        haveReply = false;
        m_clock.SleepMs(5);
        acknowledged = readOnce();
    }
    // The reply replaces positions 0 to 63; a short reply leaves zeros after its end, never bytes
    // of the request. Position 64 keeps what it held.
    if (haveReply)
        std::memcpy(report.data(), reply, sizeof reply);
    return report.IsAcknowledged();
}

bool DeviceList::SendReport(HidReport& report, int index) {
    std::lock_guard lock(m_mutex);
    HidConnection* connection = Connection(index);
    if (!connection)
        return false;
    m_clock.SleepMs(10);
    report.SetChecksum();
    return Ladder(*connection, report);
}

bool DeviceList::QueryReport(HidReport& report, int index) {
    std::lock_guard lock(m_mutex);
    HidConnection* connection = Connection(index);
    if (!connection)
        return false;
    m_clock.SleepMs(10);
    report.SetChecksum();
    // Late replies of earlier exchanges are read and dropped, so the reply that follows is this
    // query's own.
    uint8_t stale[HidReport::kReplySize];
    for (int drained = 0; drained < kMaxDrainedReplies && ReadReply(*connection, stale, kDrainTimeoutMs) > 0;
         ++drained)
        m_clock.SleepMs(10);
    return Ladder(*connection, report);
}

bool DeviceList::SendReportFast(HidReport& report, int index) {
    std::lock_guard lock(m_mutex);
    HidConnection* connection = Connection(index);
    if (!connection)
        return false;
    m_clock.SleepMs(2);
    report.SetChecksum();
    if (!WriteWithRetry(*connection, report, 2))
        return false;
    m_clock.SleepMs(2);
    uint8_t reply[HidReport::kReplySize];
    if (ReadReply(*connection, reply, kFastReplyTimeoutMs) > 0)
        std::memcpy(report.data(), reply, sizeof reply);
    return report.IsAcknowledged();
}

} // namespace device
