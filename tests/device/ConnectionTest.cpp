#include "base/Clock.h"
#include "device/DeviceConnection.h"
#include "device/DeviceEventListener.h"
#include "device/sim/SimKeyboard.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <thread>
#include <utility>

namespace {

using device::DeviceChange;
using device::sim::SimKeyboard;

// The connection wired as the main window will wire it: hot-plug events of the simulated keyboard
// go to OnDeviceChange, and the callbacks are counted.
class ConnectionTest : public testing::Test {
protected:
    ConnectionTest() {
        keyboard.SetDeviceChangeCallback([this](DeviceChange change, const std::string& name) {
            connection.OnDeviceChange(change, name);
        });
        connection.SetUp(u"3F51", u"5A09");
    }

    bool WaitForEvents(size_t count) {
        std::unique_lock lock(mutex);
        return posted.wait_for(lock, std::chrono::seconds(10), [&] { return events.size() >= count; });
    }

    base::ManualClock clock;
    SimKeyboard keyboard{clock, 0x3F51, 0x5A09};
    int arrivalTasks = 0;
    int pagesHidden = 0;
    std::mutex mutex;
    std::condition_variable posted;
    std::vector<uint8_t> events;
    device::DeviceConnection connection{keyboard,
                                        clock,
                                        {[this] { ++arrivalTasks; }, [this] { ++pagesHidden; },
                                         [this](uint8_t id) {
                                             std::lock_guard lock(mutex);
                                             events.push_back(id);
                                             posted.notify_all();
                                         }}};
};

TEST_F(ConnectionTest, RemovalRescansAtOnceAndArrivalQueuesTheTask) {
    ASSERT_TRUE(connection.IsConnected());
    EXPECT_EQ(connection.GetDeviceIndex(), 0);

    keyboard.Unplug(); // three removals, one per interface
    EXPECT_FALSE(connection.IsConnected());
    EXPECT_EQ(connection.GetDeviceIndex(), -1);
    EXPECT_EQ(pagesHidden, 1);
    EXPECT_EQ(arrivalTasks, 0);

    keyboard.Plug(); // three arrivals; only interface 2 matches the pattern
    EXPECT_EQ(arrivalTasks, 1);
    EXPECT_FALSE(connection.IsConnected()); // the worker rescans after its wait
    EXPECT_TRUE(connection.Rescan());
    EXPECT_EQ(connection.GetDeviceIndex(), 0);
    EXPECT_EQ(pagesHidden, 1);
}

TEST_F(ConnectionTest, EventsOfOtherDevicesAreIgnored) {
    connection.OnDeviceChange(DeviceChange::Arrival, "/dev/hidraw9#VID_046D&PID_C52B&MI_02");
    connection.OnDeviceChange(DeviceChange::Removal, "/dev/hidraw9#VID_046D&PID_C52B&MI_00");
    connection.OnDeviceChange(DeviceChange::Arrival, "sim:keyboard/vid_3f51&pid_5a09&mi_00");
    EXPECT_EQ(arrivalTasks, 0);
    EXPECT_TRUE(connection.IsConnected());
    EXPECT_EQ(pagesHidden, 0);
}

TEST_F(ConnectionTest, ListenerPostsTheIdOfEventReportsOnly) {
    keyboard.QueueVendorReport({0x01, 0x50, 5}); // another report id
    keyboard.QueueVendorReport({0x02, 0x70, 6}); // another kind
    keyboard.QueueVendorReport({0x02, 0x50});    // too short
    keyboard.SendEventReport(0x50, 7);
    keyboard.SendEventReport(0x60, 0x2C);
    ASSERT_TRUE(WaitForEvents(2));
    std::lock_guard lock(mutex);
    EXPECT_EQ(events, (std::vector<uint8_t>{7, 0x2C}));
}

TEST_F(ConnectionTest, ListenerFollowsTheKeyboardAcrossReplugging) {
    keyboard.Unplug();
    keyboard.Plug();
    keyboard.SendEventReport(0x50, 9);
    ASSERT_TRUE(WaitForEvents(1));
    std::lock_guard lock(mutex);
    EXPECT_EQ(events, std::vector<uint8_t>{9});
}

TEST_F(ConnectionTest, RescanStartsTheListenerWhenItFoundNoVendorInterface) {
    // The arrival of interface 2 came before the vendor interface: the listener stayed idle.
    keyboard.Unplug();
    connection.OnDeviceChange(DeviceChange::Arrival, "/dev/hidraw5#VID_3F51&PID_5A09&MI_02");
    EXPECT_EQ(arrivalTasks, 1);
    keyboard.SetDeviceChangeCallback({});
    keyboard.Plug();
    ASSERT_TRUE(connection.Rescan()); // the arrival task's rescan
    keyboard.SendEventReport(0x60, 3);
    ASSERT_TRUE(WaitForEvents(1));
}

TEST_F(ConnectionTest, RescanRestartsTheListenerOfAKeyboardThatWentAway) {
    keyboard.SetDeviceChangeCallback({}); // no hot-plug events: only a rescan brings it back
    ASSERT_TRUE(connection.IsListening());
    keyboard.Unplug();
    // The read under way ends within its 1000 ms timeout of simulated time; a reader that kept
    // going on the dead interface would run the clock far past that.
    const uint64_t unplugged = clock.NowMs();
    while (connection.IsListening() && clock.NowMs() - unplugged < 5000)
        std::this_thread::yield();
    ASSERT_FALSE(connection.IsListening());

    keyboard.Plug();
    ASSERT_TRUE(connection.Rescan());
    EXPECT_TRUE(connection.IsListening());
    keyboard.SendEventReport(0x50, 4);
    ASSERT_TRUE(WaitForEvents(1));
}

// A keyboard that runs a hook once, right after the configuration interface is opened: the
// moment inside a rescan when the interface is held but the connection state is not yet set.
class KeyboardWithOpenHook : public SimKeyboard {
public:
    using SimKeyboard::SimKeyboard;
    std::unique_ptr<device::HidConnection> Open(const std::string& path) override {
        std::unique_ptr<device::HidConnection> connection = SimKeyboard::Open(path);
        if (onConfigOpen && path.find("mi_02") != std::string::npos)
            std::exchange(onConfigOpen, {})();
        return connection;
    }
    std::function<void()> onConfigOpen;
};

TEST(ConnectionRaceTest, RemovalDuringTheArrivalRescanIsNotMissed) {
    base::ManualClock clock;
    KeyboardWithOpenHook keyboard{clock, 0x3F51, 0x5A09};
    int pagesHidden = 0;
    device::DeviceConnection connection{keyboard, clock, {{}, [&] { ++pagesHidden; }, {}}};
    connection.SetUp(u"3F51", u"5A09");
    keyboard.Unplug();
    ASSERT_FALSE(connection.Rescan());
    keyboard.Plug();

    // The keyboard is pulled out while the worker's arrival rescan holds the new interface; the
    // hot-plug thread reports the removal at that moment.
    std::thread hotplug;
    std::mutex mutex;
    std::condition_variable removalDone;
    bool done = false;
    keyboard.onConfigOpen = [&] {
        keyboard.Unplug();
        hotplug = std::thread([&] {
            connection.OnDeviceChange(DeviceChange::Removal, "sim:keyboard/vid_3f51&pid_5a09&mi_02");
            std::lock_guard lock(mutex);
            done = true;
            removalDone.notify_all();
        });
        // Give a removal that does not wait for the rescan the time to finish first (a correct one
        // waits for the rescan, so this wait runs out; no clock can stand in for a lock).
        std::unique_lock lock(mutex);
        removalDone.wait_for(lock, std::chrono::milliseconds(200), [&] { return done; });
    };
    connection.Rescan();
    hotplug.join();

    EXPECT_FALSE(connection.IsConnected());
    EXPECT_EQ(connection.GetDeviceIndex(), -1);
    EXPECT_EQ(pagesHidden, 2); // the first unplugging and this one
}

TEST(EventReportTest, OnlyKinds50And60OfReportTwo) {
    struct {
        std::vector<uint8_t> report;
        int id; // -1: ignored
    } const cases[] = {
        {{0x02, 0x50, 0x07}, 7},  {{0x02, 0x60, 0xFF, 0, 0}, 0xFF},
        {{0x02, 0x61, 0x07}, -1}, {{0x03, 0x50, 0x07}, -1},
        {{0x02, 0x50}, -1},       {{}, -1},
    };
    for (const auto& c : cases) {
        auto id = device::ParseEventReport(c.report.data(), c.report.size());
        EXPECT_EQ(id ? *id : -1, c.id);
    }
}

} // namespace
