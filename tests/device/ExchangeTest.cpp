#include "base/Clock.h"
#include "device/DeviceList.h"
#include "device/sim/SimKeyboard.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using device::HidReport;
using device::sim::SimKeyboard;

constexpr uint16_t kVid = 0x3F51;
constexpr uint16_t kPid = 0x5A09;

HidReport Request(uint8_t command, uint8_t length = 0, uint16_t offset = 0) {
    HidReport report;
    report[HidReport::kMarker] = HidReport::kRequestMarker;
    report[HidReport::kCommand] = command;
    report[HidReport::kLength] = length;
    report[HidReport::kOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    report[HidReport::kOffsetHigh] = static_cast<uint8_t>(offset >> 8);
    return report;
}

// A simulated keyboard on a manual clock, connected through the device list.
class ExchangeTest : public testing::Test {
protected:
    ExchangeTest() {
        list.AddFilter(kVid, kPid, "vid_3f51&pid_5a09&mi_02");
        EXPECT_TRUE(list.Rescan());
        keyboard.ClearReceived();
    }
    uint64_t Elapsed() const { return clock.NowMs() - start; }

    base::ManualClock clock{1000};
    uint64_t start = clock.NowMs();
    SimKeyboard keyboard{clock, kVid, kPid};
    device::DeviceList list{keyboard, clock};
};

TEST(HidReportTest, ChecksumCoversLengthOffsetAndData) {
    HidReport report = Request(device::CmdReadKeys, 0x38, 0x0038);
    report[HidReport::kReportId] = 0x12; // positions 0 to 3 are not covered
    EXPECT_EQ(report.ComputeChecksum(), 0x70);
    report[64] = 0x95;
    EXPECT_EQ(report.ComputeChecksum(), 0x05); // 0x70 + 0x95 modulo 256
}

struct LadderCase {
    const char* name;
    std::function<void(SimKeyboard&)> arrange;
    bool result;
    int writes;
    int reads;
    uint64_t elapsedMs;
    uint8_t firstByte; // of the buffer afterwards
};

TEST_F(ExchangeTest, SendReportFollowsTheLadder) {
    const LadderCase cases[] = {
        // Acknowledged at once: 10 ms before the write, 2 ms before the read.
        {"immediate", [](SimKeyboard&) {}, true, 1, 1, 12, 0xAA},
        // The first read times out (12 + 100), the second takes the reply due at 10 + 150.
        {"after 150 ms", [](SimKeyboard& k) { k.SetReplyDelay(150); }, true, 1, 2, 160, 0xAA},
        // Three writes and four reads: 10 + 2 + 100 + 2 + 100 + 2 x (5 + 5 + 100).
        {"silent", [](SimKeyboard& k) { k.SetSilent(true); }, false, 3, 4, 434, 0x00},
        // Every reply refuses; the buffer holds the last one.
        {"refusing", [](SimKeyboard& k) { k.SetRefusing(true); }, false, 3, 4, 12 + 2 + 100 + 2 * 10, 0x00},
        // The first reply is lost; the first rewrite is answered.
        {"first reply dropped", [](SimKeyboard& k) { k.DropReply(1); }, true, 2, 3,
         10 + 2 + 100 + 2 + 100 + 10, 0xAA},
    };
    for (const LadderCase& c : cases) {
        SCOPED_TRACE(c.name);
        keyboard.SetReplyDelay(0);
        keyboard.SetSilent(false);
        keyboard.SetRefusing(false);
        c.arrange(keyboard);
        keyboard.ClearReceived();
        start = clock.NowMs();

        HidReport report = Request(device::CmdBegin);
        EXPECT_EQ(list.SendReport(report, 0), c.result);
        EXPECT_EQ(keyboard.GetWriteCount(), c.writes);
        EXPECT_EQ(keyboard.GetReadCount(), c.reads);
        EXPECT_EQ(Elapsed(), c.elapsedMs);
        EXPECT_EQ(report[0], c.firstByte);
        auto received = keyboard.GetReceivedReports();
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.front()[HidReport::kChecksum], 0); // a begin request sums to 0
        EXPECT_EQ(received.front()[HidReport::kCommand], device::CmdBegin);
    }
}

TEST_F(ExchangeTest, UnansweredRequestStaysInTheBuffer) {
    keyboard.SetSilent(true);
    HidReport report = Request(device::CmdWriteKeys, 56, 112);
    report[HidReport::kData] = 0x10;
    HidReport sent = report;
    sent.SetChecksum();
    EXPECT_FALSE(list.SendReport(report, 0));
    EXPECT_EQ(report.bytes, sent.bytes);
}

TEST_F(ExchangeTest, ReplyReplacesPositionsZeroTo63Only) {
    keyboard.SetSilent(true);
    keyboard.QueueReply({0xAA, 0x01, 0x02}); // short: the rest of the buffer must not keep the request
    HidReport report = Request(device::CmdBegin);
    report[30] = 0x77;
    report[64] = 0x99;
    EXPECT_TRUE(list.SendReport(report, 0));
    EXPECT_EQ(report[1], 0x01);
    EXPECT_EQ(report[2], 0x02);
    EXPECT_EQ(report[30], 0x00);
    EXPECT_EQ(report[64], 0x99);
}

TEST_F(ExchangeTest, NoInterfaceFailsAtOnceLeavingTheBuffer) {
    HidReport report = Request(device::CmdBegin);
    const HidReport before = report;
    EXPECT_FALSE(list.SendReport(report, 1));
    EXPECT_FALSE(list.QueryReport(report, -1));
    list.CloseAll();
    EXPECT_FALSE(list.SendReportFast(report, 0));
    EXPECT_EQ(report.bytes, before.bytes);
    EXPECT_EQ(Elapsed(), 0u);
    EXPECT_EQ(keyboard.GetWriteCount(), 0);
}

TEST_F(ExchangeTest, PulledOutKeyboardFailsAfterOneRetry) {
    keyboard.Unplug();
    HidReport report = Request(device::CmdBegin);
    EXPECT_FALSE(list.SendReport(report, 0));
    EXPECT_EQ(Elapsed(), 20u);
}

TEST_F(ExchangeTest, QueryDrainsAStaleReply) {
    // A late answer of an earlier fast send is still queued when the query starts.
    keyboard.SetReplyDelay(30);
    HidReport frame = Request(device::CmdStreamColors, 56, 0);
    EXPECT_FALSE(list.SendReportFast(frame, 0));
    keyboard.SetReplyDelay(0);

    HidReport query = Request(device::CmdReadSettings, 32, 0);
    EXPECT_TRUE(list.QueryReport(query, 0));
    EXPECT_EQ(query[1], device::CmdReadSettings);
    auto settings = keyboard.GetFirmware().settings;
    for (size_t i = 0; i < settings.size(); ++i)
        EXPECT_EQ(query[HidReport::kReplyData + i], settings[i]) << i;
}

TEST_F(ExchangeTest, QueryEndsAgainstAKeyboardThatNeverStopsSending) {
    for (int i = 0; i < 1000; ++i)
        keyboard.QueueReply({0x00, 0x01});
    HidReport query = Request(device::CmdReadSettings, 32, 0);
    EXPECT_FALSE(list.QueryReport(query, 0));
}

TEST_F(ExchangeTest, FastSendWritesOnceAndReadsOnce) {
    HidReport frame = Request(device::CmdStreamColors, 56, 0);
    EXPECT_TRUE(list.SendReportFast(frame, 0));
    EXPECT_EQ(keyboard.GetWriteCount(), 1);
    EXPECT_EQ(keyboard.GetReadCount(), 1);
    EXPECT_EQ(Elapsed(), 4u);

    keyboard.SetSilent(true);
    frame = Request(device::CmdStreamColors, 56, 0);
    EXPECT_FALSE(list.SendReportFast(frame, 0));
    EXPECT_EQ(Elapsed(), 4u + 14u);
}

TEST_F(ExchangeTest, KeyTableRoundTripsInFourteenChunks) {
    std::array<uint8_t, 784> table{};
    for (int chunk = 0; chunk < 14; ++chunk) {
        uint8_t length = chunk == 13 ? 40 : 56;
        HidReport query = Request(device::CmdReadDefaultKeys, length, static_cast<uint16_t>(56 * chunk));
        ASSERT_TRUE(list.QueryReport(query, 0));
        std::copy_n(query.data() + HidReport::kReplyData, 56, table.begin() + 56 * chunk);
    }
    auto defaults = keyboard.GetFirmware().defaultKeys;
    EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), table.begin()));

    HidReport write = Request(device::CmdWriteKeys, 3, 6 * 9); // position 9 is the key A
    write[HidReport::kData] = 0x10;
    write[HidReport::kData + 1] = 0x01;
    write[HidReport::kData + 2] = 0x04;
    ASSERT_TRUE(list.SendReport(write, 0));
    auto keys = keyboard.GetFirmware().keys;
    EXPECT_EQ(keys[54], 0x10);
    EXPECT_EQ(keys[55], 0x01);
    EXPECT_EQ(keys[56], 0x04);
}

} // namespace
