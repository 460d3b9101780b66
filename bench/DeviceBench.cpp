#include "base/Clock.h"
#include "base/Log.h"
#include "device/DeviceList.h"
#include "device/sim/SimKeyboard.h"
#include "model/ConfigIni.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>

namespace {

// One acknowledged SendReport: checksum, write, the keyboard's handling, read and copy.
void BM_SendReport(benchmark::State& state) {
    base::ManualClock clock;
    device::sim::SimKeyboard keyboard(clock, 0x3F51, 0x5A09);
    device::DeviceList list(keyboard, clock);
    list.AddFilter(0x3F51, 0x5A09, "vid_3f51&pid_5a09&mi_02");
    list.Rescan();
    for (auto _ : state) {
        device::HidReport report;
        report[1] = 0x55;
        report[2] = device::CmdWriteKeys;
        report[5] = 56;
        benchmark::DoNotOptimize(list.SendReport(report, 0));
    }
}
BENCHMARK(BM_SendReport);

void BM_ReadConfigIni(benchmark::State& state) {
    std::ifstream in(QUILLON_SOURCE_DIR "/assets/config.ini", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    for (auto _ : state) {
        auto ini = model::ConfigIni::FromBytes(text);
        benchmark::DoNotOptimize(ini.GetText(model::config::kVid));
    }
}
BENCHMARK(BM_ReadConfigIni);

} // namespace
