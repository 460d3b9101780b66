#include "base/Clock.h"
#include "base/Log.h"
#include "base/Utf.h"
#include "device/DeviceList.h"
#include "device/DeviceSync.h"
#include "device/KeyPositionTable.h"
#include "device/sim/SimKeyboard.h"
#include "store/ProfileStore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class NoPages : public device::PageRefresher {
public:
    void FillProfileList() override {}
    void RefreshKeyPage() override {}
    void RefreshMacroList() override {}
    void RefreshLightModes() override {}
    void RefreshGameModeBoxes(bool, bool, bool) override {}
};

// Every key lit, as on the music page.
class LitFrames : public device::MusicFrameSource {
public:
    device::MusicFrame NextFrame() override {
        device::MusicFrame frame;
        for (int position = 0; position < device::kKeyPositionCount; ++position) {
            if (uint32_t code = device::PositionToKeyCode(position))
                frame.colors.push_back({code, 0x00804020});
        }
        frame.anyColorAboveOne = true;
        return frame;
    }
};

// A keyboard, its device list and a store with a typical configuration: twenty remapped keys,
// ten macros of twenty steps, a light setting and a colour for every key.
class SyncRig {
public:
    explicit SyncRig(base::Clock& clock)
        : m_clock(clock), keyboard(clock, 0x3F51, 0x5A09), list(keyboard, clock) {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillon-sync-bench-XXXXXX").string();
        m_folder = mkdtemp(pattern.data());
        std::filesystem::create_directories(m_folder / "db");
        store.Open(base::ToUtf16(m_folder.string() + "/"), u"kb");
        store.InsertConfigDefaults();
        list.AddFilter(0x3F51, 0x5A09, "vid_3f51&pid_5a09&mi_02");
        list.Rescan();

        std::vector<store::KeyColor> colors;
        for (int position = 0; position < device::kKeyPositionCount; ++position) {
            const auto code = static_cast<int>(device::PositionToKeyCode(position));
            if (code == 0)
                continue;
            colors.push_back({0, 1, 0, code, 0x00FF8000});
            if (colors.size() <= 20)
                store.SaveKeyAssignment({0, 1, 0, code, 0, u"", 2, 4, 224, 0, u"Ctrl + A"});
        }
        store.AddKeyColors(colors);
        for (int m = 0; m < 10; ++m) {
            const int id = store.AddEmptyMacro(u"macro");
            std::vector<store::MacroStep> steps;
            for (int s = 0; s < 20; ++s)
                steps.push_back({0, id, s % 2 == 0 ? 2 : 3, s, 'A' + s / 2, 20, u""});
            store.AddMacroSteps(steps);
        }
        store.AddLightSetting({0, 1, u"wave", 1, 80, 2, 0, 1, 0, 0x00FFFFFF, 0, 0, 1});
    }
    ~SyncRig() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

    base::Clock& m_clock;
    std::filesystem::path m_folder;
    device::sim::SimKeyboard keyboard;
    device::DeviceList list;
    store::ProfileStore store;
    NoPages pages;
    LitFrames frames;
    device::DeviceSync sync{list, store, m_clock, pages};
};

using Procedure = void (*)(SyncRig&);

// Runs the procedure on the real clock; the counter protocol_waits_ms is the time the same
// procedure spends in the protocol's waits, measured on a manual clock, where only waits move time.
void RunProcedure(benchmark::State& state, Procedure procedure) {
    base::SetLogSink([](base::LogLevel, std::string_view, std::string_view) {});
    uint64_t waits = 0;
    {
        base::ManualClock manual;
        SyncRig rig(manual);
        procedure(rig); // the first run reads the key table where the later runs find it cached
        const uint64_t start = manual.NowMs();
        procedure(rig);
        waits = manual.NowMs() - start;
    }
    SyncRig rig(base::Clock::System());
    procedure(rig);
    for (auto _ : state)
        procedure(rig);
    state.counters["protocol_waits_ms"] = static_cast<double>(waits);
}

BENCHMARK_CAPTURE(RunProcedure, FullSynchronisation, [](SyncRig& rig) { rig.sync.FullSynchronisation(); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(RunProcedure, WriteKeyTable, [](SyncRig& rig) { rig.sync.WriteKeyTable(); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(RunProcedure, WriteMacros, [](SyncRig& rig) { rig.sync.WriteMacros(); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(RunProcedure, WriteSettingsBlock, [](SyncRig& rig) { rig.sync.WriteSettingsBlock(); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(RunProcedure, WriteKeyColors, [](SyncRig& rig) { rig.sync.WriteKeyColors(); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(RunProcedure, FactoryReset, [](SyncRig& rig) { rig.sync.FactoryReset(); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK_CAPTURE(RunProcedure, SendMusicFrame, [](SyncRig& rig) { rig.sync.SendMusicFrame(rig.frames); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(50);

} // namespace
