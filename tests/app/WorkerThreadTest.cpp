#include "tests/app/WorkerTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using app::DeviceTask;
using namespace workertest;

// Polls for what another thread does, for at most five seconds of real time.
template <typename Condition>
bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class WorkerThreadTest : public WorkerFixture {};

TEST_F(WorkerThreadTest, TakesQueuedTasksAndRestsInBetween) {
    Connect();
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start()); // already running

    worker.QueueTask(DeviceTask::SettingsBlock);
    ASSERT_TRUE(Eventually([&] { return ReportsWith(keyboard, device::CmdEnd).size() == 1; }));

    // Resting, the worker no longer sleeps its interval: its clock stands still.
    ASSERT_TRUE(Eventually([&] { return worker.GetQueue().IsEmpty(); }));
    const uint64_t resting = workerClock.NowMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_LE(workerClock.NowMs() - resting, app::DeviceWorker::kIntervalMs);

    // A task queued while it rests wakes it.
    worker.QueueTask(DeviceTask::KeyColors);
    EXPECT_TRUE(Eventually([&] { return ReportsWith(keyboard, device::CmdWriteColors).size() == 7; }));

    EXPECT_TRUE(worker.Stop());
    EXPECT_FALSE(worker.IsRunning());
}

TEST_F(WorkerThreadTest, MusicPageKeepsTheWorkerStreaming) {
    Connect();
    frames.SetFrame({{{20, 0x00FFFFFF}}, true});
    worker.SetCurrentPage(app::DeviceWorker::kMusicPage);
    ASSERT_TRUE(worker.Start());
    EXPECT_TRUE(Eventually([&] { return keyboard.GetFirmware().streamedFrames >= 3; }));

    worker.SetCurrentPage(40); // leaving the page lets it rest again
    EXPECT_TRUE(worker.Stop());
}

// A keyboard that stops answering on the real clock: each exchange takes 434 ms, and a factory
// reset with its synchronisation would take more than a dozen seconds. Stopping cuts it short.
TEST(WorkerStopTest, StopEndsALongProcedureWithinASecond) {
    TempDataFolder folder;
    base::Clock& clock = base::Clock::System();
    device::sim::SimKeyboard keyboard{clock, kVid, kPid};
    store::ProfileStore store;
    ASSERT_TRUE(store.Open(folder.Folder(), u"kb"));
    RecordingPages pages;
    CountingMusic music;
    FrameSource frames;
    device::DeviceConnection connection{keyboard, clock, {}};
    connection.SetUp(u"3F51", u"5A09");
    app::DeviceWorker worker{connection, store, clock, pages, music, frames};

    keyboard.SetSilent(true);
    worker.QueueTask(DeviceTask::FactoryReset);
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(Eventually([&] { return !ReportsWith(keyboard, device::CmdFactoryReset).empty(); }));
    EXPECT_TRUE(worker.Stop()); // true: ended within the second it may wait
    EXPECT_EQ(ReportsWith(keyboard, device::CmdReadKeys).size(), 0u);
}

} // namespace
