#include "music/Visualizer.h"

#include "music/MemoryAudioSource.h"
#include "music/MusicColors.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <thread>

namespace music {
namespace {

bool AllKeysAlike(const MusicKeyColors& colors) {
    for (const auto& key : colors.keys)
        if (key.colorRef != colors.keys.front().colorRef)
            return false;
    return true;
}

// Waits (bounded) until `done` holds, giving the visualizer's thread the processor meanwhile.
template <typename Condition>
bool WaitFor(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(VisualizerTest, SpectrumCycleTurnsFiveDegreesPerFrame) {
    Visualizer visualizer(std::make_unique<MemoryAudioSource>());
    visualizer.SetBarMode(ModeSpectrumCycle);
    visualizer.SetBackgroundMode(ModeSpectrumCycle);
    for (int frame = 0; frame <= 73; ++frame) {
        visualizer.RunFrame();
        const MusicKeyColors colors = visualizer.SampleKeyColors();
        ASSERT_TRUE(AllKeysAlike(colors)) << frame;
        // c = 254 at brightness 100; a full turn takes 72 frames.
        EXPECT_EQ(colors.keys.front().colorRef, HueToColorRef(5 * frame % 360, 255, 254)) << frame;
    }
}

TEST(VisualizerTest, DefaultLayerInSilenceIsBlackAndToneLightsKeys) {
    auto source = std::make_unique<MemoryAudioSource>();
    MemoryAudioSource* feed = source.get();
    feed->Start();
    Visualizer visualizer(std::move(source));
    visualizer.SetBarMode(ModeRainbow);
    visualizer.SetBackgroundMode(ModeNone);
    visualizer.RunFrame();
    EXPECT_FALSE(visualizer.SampleKeyColors().anyAboveOne);

    std::vector<float> tone(2048);
    for (size_t i = 0; i < tone.size() / 2; ++i)
        tone[2 * i] = tone[2 * i + 1] =
            static_cast<float>(0.1 * std::sin(2 * std::numbers::pi * 937.5 * i / 48000));
    feed->Push(tone);
    visualizer.RunFrame();
    EXPECT_TRUE(visualizer.SampleKeyColors().anyAboveOne);
    const auto spectrum = visualizer.CopySpectrum();
    EXPECT_GT(spectrum[41], 0.25f);
}

TEST(VisualizerTest, ThreadRunsWhileEnabledAndReadersSeeWholePictures) {
    base::ManualClock clock;
    Visualizer visualizer(std::make_unique<MemoryAudioSource>(), clock);
    visualizer.Setup();
    EXPECT_FALSE(visualizer.IsEnabled());
    EXPECT_EQ(visualizer.GetBarMode(), ModeWave);
    EXPECT_EQ(visualizer.GetAnalysisParameters().gain, 270.0f);
    visualizer.SetBarMode(ModeSpectrumCycle);
    visualizer.SetBackgroundMode(ModeSpectrumCycle);
    visualizer.SetEnabled(true);

    // The hue changes every frame, so a picture read while it is composed would show two hues.
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!stop)
            if (!AllKeysAlike(visualizer.SampleKeyColors()))
                ++torn;
    });
    std::thread changer([&] {
        for (int i = 0; !stop; ++i)
            visualizer.SetBackgroundBrightness(i % 2 ? 100 : 40);
    });
    EXPECT_TRUE(WaitFor([&] { return visualizer.GetFrameCount() >= 300; }));
    stop = true;
    reader.join();
    changer.join();
    EXPECT_EQ(torn, 0);

    // Disabled, the thread parks: it waits to be enabled, and neither frames nor its 15 ms pauses
    // go on meanwhile.
    visualizer.SetEnabled(false);
    ASSERT_TRUE(WaitFor([&] { return visualizer.IsParked(); }));
    const uint64_t frames = visualizer.GetFrameCount();
    const uint64_t pausedAt = clock.NowMs();
    EXPECT_TRUE(visualizer.IsParked());
    EXPECT_EQ(visualizer.GetFrameCount(), frames);
    EXPECT_EQ(clock.NowMs(), pausedAt);

    visualizer.SetEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return visualizer.GetFrameCount() > frames; }));
    EXPECT_FALSE(visualizer.IsParked());
    visualizer.Shutdown();
}

} // namespace
} // namespace music
