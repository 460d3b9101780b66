#include "base/Log.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// A sink that logs a line of its own (as a sink that reports its own trouble would) must get it,
// not deadlock on the log's lock.
TEST(Log, SinkMayLogItself) {
    struct Shared {
        std::mutex mutex;
        std::vector<std::string> lines;
        std::promise<void> done;
    };
    auto shared = std::make_shared<Shared>();
    base::SetLogSink([shared](base::LogLevel, std::string_view area, std::string_view message) {
        {
            std::lock_guard lock(shared->mutex);
            shared->lines.emplace_back(message);
        }
        if (area != "sink")
            base::LogWarning("sink", "echo");
    });
    // On a thread of its own, so that a deadlock fails the test instead of hanging it; the thread
    // is left behind then.
    std::future<void> logged = shared->done.get_future();
    std::thread([shared] {
        base::LogInfo("test", "line");
        shared->done.set_value();
    }).detach();
    const bool finished = logged.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    ASSERT_TRUE(finished) << "logging from the sink deadlocked";
    base::SetLogSink({});
    std::lock_guard lock(shared->mutex);
    EXPECT_EQ(shared->lines, (std::vector<std::string>{"line", "echo"}));
}

} // namespace
