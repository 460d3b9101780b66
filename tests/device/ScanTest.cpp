#include "base/Clock.h"
#include "device/DeviceConnection.h"
#include "device/DeviceList.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>

namespace {

using device::HidInterfaceInfo;

// A transport that enumerates a given list of interfaces and opens all but the refused paths.
class FakeTransport : public device::HidTransport {
public:
    class Connection : public device::HidConnection {
    public:
        int Write(const uint8_t*, size_t length) override { return static_cast<int>(length); }
        int Read(uint8_t*, size_t, int) override { return 0; }
        std::u16string GetManufacturerString() override { return u"Maker"; }
        std::u16string GetProductString() override { return std::u16string(600, u'p'); }
    };

    std::vector<HidInterfaceInfo> Enumerate(uint16_t, uint16_t) override { return interfaces; }
    std::unique_ptr<device::HidConnection> Open(const std::string& path) override {
        opened.push_back(path);
        return refused.count(path) ? nullptr : std::make_unique<Connection>();
    }

    std::vector<HidInterfaceInfo> interfaces;
    std::set<std::string> refused;
    std::vector<std::string> opened;
};

HidInterfaceInfo Interface(std::string name, uint16_t vid, uint16_t pid, int number) {
    return {name + "/" + device::InterfaceTag(vid, pid, number), vid, pid, 0x0105, number, 0xFF00, 0};
}

struct ScanCase {
    const char* name;
    std::vector<HidInterfaceInfo> interfaces;
    std::set<std::string> refused;
    std::string expectedPath; // empty: nothing opened
};

TEST(ScanTest, OpensTheFirstMatchingConfigurationInterface) {
    const auto kbA0 = Interface("a", 0x3F51, 0x5A09, 0);
    const auto kbA1 = Interface("a", 0x3F51, 0x5A09, 1);
    const auto kbA2 = Interface("a", 0x3F51, 0x5A09, 2);
    const auto kbB2 = Interface("b", 0x3F51, 0x5A09, 2);
    const auto mouse = Interface("m", 0x1234, 0x5A09, 2);
    const ScanCase cases[] = {
        {"two keyboards: the first one found", {kbA2, kbB2}, {}, kbA2.path},
        {"interface 2 after the others", {mouse, kbA0, kbA1, kbA2}, {}, kbA2.path},
        {"only the typing and vendor interfaces", {kbA0, kbA1}, {}, ""},
        {"the first cannot be opened", {kbA2, kbB2}, {kbA2.path}, kbB2.path},
        {"none", {}, {}, ""},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTransport transport;
        transport.interfaces = c.interfaces;
        transport.refused = c.refused;
        base::ManualClock clock;
        device::DeviceList list(transport, clock);
        list.AddFilter(0x3F51, 0x5A09, "vid_3f51&pid_5a09&mi_02");
        EXPECT_FALSE(list.IsOpen());
        EXPECT_EQ(list.Rescan(), !c.expectedPath.empty());
        EXPECT_TRUE(list.IsOpen());
        EXPECT_EQ(list.GetOpenedCount(), c.expectedPath.empty() ? 0u : 1u);
        if (auto info = list.GetOpenedInfo(0)) {
            EXPECT_EQ(info->path, c.expectedPath);
            EXPECT_EQ(info->index, 0);
            EXPECT_EQ(info->manufacturer, u"Maker");
            EXPECT_EQ(info->product.size(), 512u);
            EXPECT_EQ(info->releaseNumber, 0x0105);
        }
        // Nothing but matching configuration interfaces is ever opened.
        for (const std::string& path : transport.opened)
            EXPECT_NE(path.find("mi_02"), std::string::npos) << path;
        EXPECT_EQ(clock.NowMs(), 0u);
    }
}

TEST(ScanTest, ConfiguredLetterCaseDecidesOnlyTheArrival) {
    // Ids configured in lower case: the scan (lower case) finds the keyboard, but the arrival
    // pattern keeps the configured case and is compared with upper-case names.
    struct {
        const char16_t* vid;
        const char16_t* pid;
        int arrivals;
    } const cases[] = {{u"3f51", u"5a09", 0}, {u"3F51", u"5A09", 1}};
    for (const auto& c : cases) {
        FakeTransport transport;
        transport.interfaces = {Interface("a", 0x3F51, 0x5A09, 2)};
        base::ManualClock clock;
        int arrivals = 0;
        device::DeviceConnection connection(transport, clock, {[&] { ++arrivals; }, {}, {}});
        connection.SetUp(c.vid, c.pid);
        EXPECT_TRUE(connection.IsConnected());
        connection.OnDeviceChange(device::DeviceChange::Arrival, "/dev/hidraw4#vid_3f51&pid_5a09&mi_02");
        EXPECT_EQ(arrivals, c.arrivals);
    }
}

TEST(DeviceModelTest, ParsesHexadecimalLikeTheSystemReader) {
    struct {
        const char16_t* text;
        uint32_t value;
    } const cases[] = {
        {u"3F51", 0x3F51}, {u"3f51", 0x3F51}, {u"0x3F51", 0x3F51}, {u" 3F51 ", 0x3F51},
        {u"", 0},          {u"zz", 0},        {u"12g4", 0x12},     {u"FFFFFFFFFFFF", 0xFFFFFFFF}};
    for (const auto& c : cases)
        EXPECT_EQ(device::ParseHex(c.text), c.value);
}

} // namespace

namespace {

// A connection whose first read blocks until the test releases it, and which logs when it is read
// and when it is closed.
class BlockingTransport : public device::HidTransport {
public:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        bool inRead = false;
        bool released = false;
        std::vector<std::string> log;
    };
    class Connection : public device::HidConnection {
    public:
        explicit Connection(Shared& shared) : m_shared(shared) {}
        ~Connection() override {
            std::lock_guard lock(m_shared.mutex);
            m_shared.log.push_back("closed");
        }
        int Write(const uint8_t*, size_t length) override { return static_cast<int>(length); }
        int Read(uint8_t* buffer, size_t, int) override {
            std::unique_lock lock(m_shared.mutex);
            m_shared.inRead = true;
            m_shared.changed.notify_all();
            m_shared.changed.wait(lock, [&] { return m_shared.released; });
            m_shared.log.push_back("read");
            buffer[0] = 0xAA;
            return 64;
        }
        std::u16string GetManufacturerString() override { return {}; }
        std::u16string GetProductString() override { return {}; }

    private:
        Shared& m_shared;
    };

    std::vector<HidInterfaceInfo> Enumerate(uint16_t, uint16_t) override {
        return {Interface("a", 0x3F51, 0x5A09, 2)};
    }
    std::unique_ptr<device::HidConnection> Open(const std::string&) override {
        return std::make_unique<Connection>(shared);
    }

    Shared shared;
};

TEST(ScanTest, RescanWaitsForTheExchangeInProgress) {
    BlockingTransport transport;
    base::ManualClock clock;
    device::DeviceList list(transport, clock);
    list.AddFilter(0x3F51, 0x5A09, "vid_3f51&pid_5a09&mi_02");
    ASSERT_TRUE(list.Rescan());

    std::thread worker([&] {
        device::HidReport report;
        EXPECT_TRUE(list.SendReport(report, 0));
    });
    {
        std::unique_lock lock(transport.shared.mutex);
        transport.shared.changed.wait(lock, [&] { return transport.shared.inRead; });
    }
    // The rescan of a removal, on another thread while the worker's read is under way.
    std::thread ui([&] { list.Rescan(); });
    // Give an unguarded rescan ample time to close the interface under the read.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard lock(transport.shared.mutex);
        transport.shared.released = true;
        transport.shared.changed.notify_all();
    }
    worker.join();
    ui.join();
    std::lock_guard lock(transport.shared.mutex);
    ASSERT_GE(transport.shared.log.size(), 2u);
    EXPECT_EQ(transport.shared.log[0], "read");
    EXPECT_EQ(transport.shared.log[1], "closed");
}

} // namespace
