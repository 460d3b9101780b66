#include "music/MemoryAudioSource.h"
#include "music/MusicColors.h"
#include "music/PulseAudioCapture.h"
#include "music/SpectrumAnalyser.h"
#include "music/Visualizer.h"
#include "tests/music/PulseTestServer.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

// 15 ms of noise at 48 kHz, interleaved stereo: what one frame takes in.
std::vector<float> NoisePacket() {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> value(-0.3f, 0.3f);
    std::vector<float> samples(2 * 720);
    for (float& x : samples)
        x = value(random);
    return samples;
}

void BM_Analyse(benchmark::State& state) {
    const std::vector<float> packet = NoisePacket();
    music::SpectrumAnalyser analyser;
    music::MemoryAudioSource source;
    source.Start();
    for (auto _ : state) {
        source.Push(packet);
        analyser.Analyse(&source);
        benchmark::DoNotOptimize(analyser.GetSpectrum().data());
    }
}
BENCHMARK(BM_Analyse);

// One whole frame of the visualizer's thread (analysis, drawing, composing, showing) and the
// worker's sampling of the key colours, with the bar and background modes given.
void BM_Frame(benchmark::State& state) {
    const std::vector<float> packet = NoisePacket();
    auto source = std::make_unique<music::MemoryAudioSource>();
    music::MemoryAudioSource* feed = source.get();
    feed->Start();
    music::Visualizer visualizer(std::move(source));
    visualizer.SetBarMode(static_cast<int>(state.range(0)));
    visualizer.SetBackgroundMode(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        feed->Push(packet);
        visualizer.RunFrame();
        benchmark::DoNotOptimize(visualizer.SampleKeyColors());
    }
}
BENCHMARK(BM_Frame)
    ->ArgNames({"bars", "background"})
    ->Args({music::ModeRainbow, music::ModeNone}) // the default layer
    ->Args({music::ModeWave, music::ModeWhite})
    ->Args({music::ModeColorWheel, music::ModeColorWheel}); // the dearest drawing

// From a tone's onset in a sink of a private PulseAudio server to the first sampled key colours
// that show it, with the visualizer's thread running at its 15 ms pace (default layer: black in
// silence). Skipped when pulseaudio cannot be started.
void BM_ToneToKeyLatency(benchmark::State& state) {
    music::test::PulseTestServer server;
    if (!server.Start({"bench"})) {
        state.SkipWithError("cannot start a private pulseaudio server");
        return;
    }
    auto capture = music::PulseAudioCapture::Create();
    music::Visualizer visualizer(std::move(capture));
    visualizer.Setup();
    visualizer.SetBarMode(music::ModeRainbow);
    visualizer.SetBackgroundMode(music::ModeNone);
    visualizer.SetEnabled(true);
    music::test::TonePlayer tone("bench", 0.0, 0.1f);
    // Let the null sink settle into short blocks before measuring.
    music::test::WaitUntil([] { return false; }, 3000);

    for (auto _ : state) {
        tone.SetFrequency(0.0);
        if (!music::test::WaitUntil([&] { return !visualizer.SampleKeyColors().anyAboveOne; }, 5000)) {
            state.SkipWithError("keys did not go dark in silence");
            break;
        }
        music::test::WaitUntil([] { return false; }, 200);
        const int64_t before = music::test::NowUs();
        tone.SetFrequency(30 * 93.75);
        int64_t lit = 0;
        for (int64_t limit = before + 5000000; music::test::NowUs() < limit;) {
            if (visualizer.SampleKeyColors().anyAboveOne) {
                lit = music::test::NowUs();
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const int64_t onset = tone.GetOnsetUs();
        if (lit == 0 || onset < before) {
            state.SkipWithError("the tone never showed");
            break;
        }
        state.SetIterationTime(static_cast<double>(lit - onset) / 1e6);
    }
    visualizer.Shutdown();
}
BENCHMARK(BM_ToneToKeyLatency)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
