#pragma once

#include "app/DeviceWorker.h"
#include "base/Clock.h"
#include "device/DeviceConnection.h"
#include "tests/device/SyncTestSupport.h"

#include <atomic>
#include <gtest/gtest.h>

namespace workertest {

using namespace synctest;

class CountingMusic : public app::MusicStarter {
public:
    void RestartMusic() override { ++restarts; }
    std::atomic<int> restarts{0};
};

// The worker wired as the main window wires it: the connection's arrivals queue task 3, the
// store is real, the keyboard simulated. The keyboard and the connection share one manual clock
// (the connection's event listener spins on it); the worker's own waits go through a clock of
// their own, so they can be told exactly.
class WorkerFixture : public testing::Test {
protected:
    WorkerFixture() {
        EXPECT_TRUE(store.Open(folder.Folder(), u"kb"));
        store.InsertConfigDefaults();
        keyboard.SetDeviceChangeCallback([this](device::DeviceChange change, const std::string& name) {
            connection.OnDeviceChange(change, name);
        });
    }
    void Connect() { connection.SetUp(u"3F51", u"5A09"); }
    /// Runs cycles until the queue is empty.
    void RunQueued() {
        while (!worker.GetQueue().IsEmpty())
            worker.Cycle();
    }

    TempDataFolder folder;
    base::ManualClock clock;
    base::ManualClock workerClock;
    device::sim::SimKeyboard keyboard{clock, kVid, kPid};
    store::ProfileStore store;
    RecordingPages pages;
    CountingMusic music;
    FrameSource frames;
    device::DeviceConnection connection{
        keyboard, clock, {[this] { worker.QueueTask(app::DeviceTask::DeviceArrived); }, {}, {}}};
    app::DeviceWorker worker{connection, store, workerClock, pages, music, frames};
};

} // namespace workertest
