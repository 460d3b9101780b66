#include "base/Clock.h"

#include <chrono>
#include <thread>

namespace base {

namespace {

class SystemClock : public Clock {
public:
    uint64_t NowMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void SleepMs(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace

Clock& Clock::System() {
    static SystemClock clock;
    return clock;
}

} // namespace base
