#include "music/SpectrumAnalyser.h"

#include "music/MemoryAudioSource.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace music {
namespace {

constexpr double Pi = std::numbers::pi;

// Interleaved stereo frames of a sine of `frequency` Hz at 48 kHz, both channels alike.
std::vector<float> Sine(double frequency, double amplitude, int frames) {
    std::vector<float> samples(2 * frames);
    for (int i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            static_cast<float>(amplitude * std::sin(2.0 * Pi * frequency * i / 48000.0));
    return samples;
}

TEST(SpectrumAnalyserTest, TransformMatchesDirectDft) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    constexpr int N = SpectrumAnalyser::TransformSize;
    for (int round = 0; round < 4; ++round) {
        std::array<float, N> input;
        for (float& x : input)
            x = value(random);
        std::array<float, N> packed;
        SpectrumAnalyser::PackedRealTransform(input, packed);

        for (int k = 0; k <= N / 2; ++k) {
            std::complex<double> sum;
            for (int n = 0; n < N; ++n)
                sum += static_cast<double>(input[n]) * std::polar(1.0, -2.0 * Pi * k * n / N);
            sum /= N;
            SCOPED_TRACE(k);
            if (k == 0) {
                EXPECT_NEAR(packed[0], sum.real(), 1e-6);
            } else if (k == N / 2) {
                EXPECT_NEAR(packed[1], sum.real(), 1e-6);
            } else {
                EXPECT_NEAR(packed[2 * k], sum.real(), 1e-6);
                EXPECT_NEAR(packed[2 * k + 1], sum.imag(), 1e-6);
            }
        }
    }
}

TEST(SpectrumAnalyserTest, PacketGivesOneSamplePerGroupOfFourValues) {
    struct Case {
        std::vector<float> samples;
        uint32_t frames;
        std::vector<float> expectedTail; // newest history entries, oldest first
    };
    // Gain 0.5: a sample is the group's mean x 2 x 0.5, i.e. the mean itself.
    const Case cases[] = {
        {{1, 1, 1, 1, 2, 2, 2, 2, 3, 3}, 5, {1, 2}}, // (5 - 1) / 4 + 1 = 2 samples
        {{1, 3, 5, 7, 9, 9, 9, 9}, 4, {4}},          // (4 - 1) / 4 + 1 = 1: the rest is ignored
        {{4, 4, 4, 4, 8, 8, 8, 8}, 1, {}},           // one frame holds no whole group
        {{4, 4, 4, 4}, 9, {4}},                      // claims more frames than it holds
    };
    for (const Case& c : cases) {
        SpectrumAnalyser analyser;
        SpectrumAnalyser::Parameters parameters;
        parameters.gain = 0.5f;
        analyser.SetParameters(parameters);
        analyser.AddPacket(c.samples, c.frames);
        const auto history = analyser.GetHistory();
        const size_t n = c.expectedTail.size();
        for (size_t i = 0; i < n; ++i)
            EXPECT_FLOAT_EQ(history[SpectrumAnalyser::Size - n + i], c.expectedTail[i]);
        EXPECT_TRUE(std::all_of(history.begin(), history.end() - n, [](float v) { return v == 0.0f; }))
            << "only " << n << " samples expected";
    }
}

TEST(SpectrumAnalyserTest, SilenceOnlyDecays) {
    SpectrumAnalyser analyser;
    SpectrumAnalyser::Parameters parameters;
    parameters.gain = 1e6f; // loud noise saturates every bin
    analyser.SetParameters(parameters);
    MemoryAudioSource source;
    source.Start();

    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> noise(2048);
    for (float& x : noise)
        x = value(random);
    source.Push(noise);
    analyser.Analyse(&source);
    for (float v : analyser.GetSpectrum())
        ASSERT_FLOAT_EQ(v, 1.0f);

    // 1024 silent frames replace the whole history with zeros: every bin magnitude is 0, its
    // logarithm minus infinity, and the spectrum only decays by 80 percent a frame.
    source.Push(std::vector<float>(2048, 0.0f));
    float expected = 1.0f;
    for (int frame = 0; frame < 5; ++frame) {
        analyser.Analyse(&source);
        expected *= 0.8f;
        for (int i = 0; i < SpectrumAnalyser::Size; ++i)
            ASSERT_NEAR(analyser.GetSpectrum()[i], expected, 1e-6) << "frame " << frame << " value " << i;
        EXPECT_EQ(analyser.GetBarHeights()[100], analyser.GetSpectrum()[100]);
    }
}

// One bad sample in a packet of silence must not light the spectrum, now or later.
TEST(SpectrumAnalyserTest, NonFiniteSamplesCountAsSilence) {
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(bad);
        SpectrumAnalyser analyser;
        MemoryAudioSource source;
        source.Start();
        std::vector<float> packet(2048, 0.0f);
        packet[100] = bad;
        source.Push(packet);
        for (int frame = 0; frame < 2; ++frame) {
            analyser.Analyse(&source);
            for (float v : analyser.GetSpectrum())
                ASSERT_EQ(v, 0.0f);
            for (float v : analyser.GetBarHeights())
                ASSERT_EQ(v, 0.0f);
        }
    }
}

TEST(SpectrumAnalyserTest, NoSourceOnlyDecays) {
    SpectrumAnalyser analyser;
    analyser.Analyse(nullptr);
    for (float v : analyser.GetSpectrum())
        EXPECT_EQ(v, 0.0f);
}

TEST(SpectrumAnalyserTest, LoudSineSaturatesItsBinAndFormsAPeak) {
    // History samples come at half the frame rate and each is used twice, so the 512 values run
    // at the frame rate: 48000 / 512 = 93.75 Hz per bin, and bin 10 is at 937.5 Hz, spectrum
    // values 40 to 43.
    constexpr int Bin = 10;
    for (int width : {0, 8}) {
        SCOPED_TRACE(width);
        SpectrumAnalyser analyser;
        SpectrumAnalyser::Parameters parameters;
        parameters.smoothingWidth = width;
        analyser.SetParameters(parameters);
        MemoryAudioSource source;
        source.Start();
        // At the gain of 270 this level saturates the tone's bin and no other.
        source.Push(Sine(Bin * 93.75, 0.1, 1024));
        analyser.Analyse(&source);
        const auto spectrum = analyser.GetSpectrum();
        const auto peak = std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin();
        if (width == 0) {
            for (int i = 4 * Bin; i < 4 * Bin + 4; ++i)
                EXPECT_EQ(spectrum[i], 1.0f);
            for (int k : {Bin - 2, Bin - 1, Bin + 1, Bin + 2, Bin + 3})
                EXPECT_LT(spectrum[4 * k], 0.1f) << "bin " << k;
        } else {
            EXPECT_GE(peak, 4 * Bin - 4);
            EXPECT_LE(peak, 4 * Bin + 4);
            EXPECT_GT(spectrum[peak], 2.0f * spectrum[4 * (Bin + 12)]);
            EXPECT_GT(spectrum[peak], 2.0f * spectrum[4 * (Bin - 8)]);
        }
    }
}

TEST(SpectrumAnalyserTest, BlockSmoothingGivesConstantBlocks) {
    SpectrumAnalyser analyser;
    SpectrumAnalyser::Parameters parameters;
    parameters.smoothingMode = SpectrumAnalyser::BlockAverage;
    analyser.SetParameters(parameters);
    MemoryAudioSource source;
    source.Start();
    source.Push(Sine(10 * 93.75, 0.5, 1024));
    analyser.Analyse(&source);
    const auto spectrum = analyser.GetSpectrum();
    for (int b = 0; b < SpectrumAnalyser::Size; b += 8)
        for (int i = b + 1; i < b + 8; ++i)
            ASSERT_EQ(spectrum[i], spectrum[b]) << i;
    EXPECT_GT(spectrum[40], 0.5f);
}

TEST(SpectrumAnalyserTest, BarHeightsFollowByTheTimeSmoothingFactor) {
    SpectrumAnalyser analyser;
    SpectrumAnalyser::Parameters parameters;
    parameters.smoothingWidth = 0;
    parameters.timeSmoothing = 0.5f;
    analyser.SetParameters(parameters);
    MemoryAudioSource source;
    source.Start();
    source.Push(Sine(10 * 93.75, 0.5, 1024));
    analyser.Analyse(&source);
    EXPECT_FLOAT_EQ(analyser.GetBarHeights()[40], 0.5f);
    // The history still holds the sine, so the spectrum is 1 again and the bar moves halfway on.
    analyser.Analyse(&source);
    EXPECT_FLOAT_EQ(analyser.GetBarHeights()[40], 0.75f);
}

} // namespace
} // namespace music
