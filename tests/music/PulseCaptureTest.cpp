#include "music/PulseAudioCapture.h"
#include "music/SpectrumAnalyser.h"
#include "tests/music/PulseTestServer.h"

#include <algorithm>
#include <gtest/gtest.h>

// These tests run a private PulseAudio server with null sinks, play tones into it and capture
// them through the sink's monitor, as the program does with the desktop's server.
namespace music {
namespace {

using test::PulseTestServer;
using test::TonePlayer;
using test::WaitUntil;

// At 48 kHz the analysis has 93.75 Hz per bin; each bin is four spectrum values wide.
constexpr double BinHz = 93.75;

class PulseCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_capture = PulseAudioCapture::Create();
        ASSERT_TRUE(m_capture);
    }
    void TearDown() override {
        m_capture.reset();
        if (HasFailure())
            std::system(("tail -n 30 " + m_server.GetLogPath()).c_str());
    }

    // Analyses every 15 ms (for at most 5 s) until the spectrum's highest value lies in `bin`.
    bool WaitForPeakInBin(int bin) {
        return WaitUntil(
            [&] {
                m_analyser.Analyse(m_capture.get());
                const auto spectrum = m_analyser.GetSpectrum();
                const auto peak = std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin();
                return spectrum[peak] > 0.2f && peak / 4 == bin;
            },
            5000);
    }

    bool WaitForSource(const std::string& name) {
        return WaitUntil([&] { return m_capture->GetSourceName() == name; }, 5000);
    }

    PulseTestServer m_server;
    std::unique_ptr<PulseAudioCapture> m_capture;
    SpectrumAnalyser m_analyser;
};

TEST_F(PulseCaptureTest, ToneAppearsInItsBinAndCaptureFollowsTheDefaultSink) {
    ASSERT_TRUE(m_server.Start({"quillon_a", "quillon_b"}));
    ASSERT_TRUE(m_capture->Start());
    ASSERT_TRUE(WaitForSource("quillon_a.monitor"));
    EXPECT_EQ(m_capture->GetSampleRate(), 48000u);
    {
        TonePlayer tone("quillon_a", 10 * BinHz, 0.1f);
        EXPECT_TRUE(WaitForPeakInBin(10));
    }
    // A tone on the second sink is not heard until that sink becomes the default.
    TonePlayer tone("quillon_b", 20 * BinHz, 0.1f);
    ASSERT_TRUE(WaitUntil([&] { return tone.IsPlaying(); }, 5000));
    ASSERT_TRUE(m_server.Pactl("set-default-sink quillon_b"));
    EXPECT_TRUE(WaitForSource("quillon_b.monitor"));
    EXPECT_TRUE(WaitForPeakInBin(20));
}

TEST_F(PulseCaptureTest, NothingToCaptureUntilASinkAppears) {
    ASSERT_TRUE(m_server.Start({}));
    m_capture->Start();
    // The server answers, but without a playback device there is nothing to record.
    EXPECT_FALSE(WaitUntil([&] { return m_capture->IsCapturing(); }, 300));
    m_analyser.Analyse(m_capture.get());
    EXPECT_EQ(*std::max_element(m_analyser.GetSpectrum().begin(), m_analyser.GetSpectrum().end()), 0.0f);

    ASSERT_TRUE(m_server.Pactl("load-module module-null-sink rate=48000 sink_name=late"));
    EXPECT_TRUE(WaitForSource("late.monitor"));
}

TEST_F(PulseCaptureTest, CaptureStopsWhenTheServerGoesAndResumesWhenItReturns) {
    ASSERT_TRUE(m_server.Start({"quillon_a"}));
    m_capture->Start();
    ASSERT_TRUE(WaitForSource("quillon_a.monitor"));
    m_server.Stop();
    EXPECT_TRUE(WaitUntil([&] { return !m_capture->IsCapturing(); }, 5000));

    ASSERT_TRUE(m_server.Start({"quillon_a"}));
    EXPECT_TRUE(WaitForSource("quillon_a.monitor"));
    TonePlayer tone("quillon_a", 12 * BinHz, 0.1f);
    EXPECT_TRUE(WaitForPeakInBin(12));
}

TEST(PulseCaptureNoServerTest, StartWithoutAServerCapturesNothing) {
    setenv("PULSE_SERVER", "unix:/nonexistent/quillon/native", 1);
    auto capture = PulseAudioCapture::Create();
    ASSERT_TRUE(capture);
    capture->Start();
    SpectrumAnalyser analyser;
    analyser.Analyse(capture.get());
    EXPECT_FALSE(capture->IsCapturing());
    capture->Stop();
}

} // namespace
} // namespace music
