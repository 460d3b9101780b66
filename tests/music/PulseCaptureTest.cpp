#include "music/PulseAudioCapture.h"
#include "music/SpectrumAnalyser.h"
#include "tests/music/PulseTestServer.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

// These tests run a private PulseAudio server with null sinks, play tones into it and capture
// them through the sink's monitor, as the program does with the desktop's server.
namespace music {
namespace {

using test::PulseTestServer;
using test::TonePlayer;
using test::WaitUntil;

// At 48 kHz the analysis has 93.75 Hz per bin; each bin is four spectrum values wide. The
// analysis takes its samples from the first half of each packet only, so a tone whose phase jumps
// at each packet seems higher than it is. The bins used here (17 and 30) are tones that run a
// whole number of cycles (within 2 %) over the skipped half of the 5 ms packets the capture asks
// for (and of any multiple of them), so they appear where a steady signal would.
constexpr double BinHz = 93.75;

class PulseCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Without smoothing across the spectrum a tone's bin stands alone at its place.
        SpectrumAnalyser::Parameters parameters;
        parameters.smoothingWidth = 0;
        m_analyser.SetParameters(parameters);
        m_capture = PulseAudioCapture::Create();
        ASSERT_TRUE(m_capture);
    }
    void TearDown() override {
        m_capture.reset();
        if (HasFailure())
            std::system(("tail -n 30 " + m_server.GetLogPath()).c_str());
    }

    // Analyses (for at most 5 s) until the spectrum's highest value lies in `bin` (give or take one).
    bool WaitForPeakInBin(int bin) {
        return WaitUntil(
            [&] {
                m_analyser.Analyse(m_capture.get());
                const auto spectrum = m_analyser.GetSpectrum();
                const auto peak = std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin();
                return spectrum[peak] > 0.5f && std::abs(peak / 4 - bin) <= 1;
            },
            5000);
    }

    // Waits until the capture is on `name` and sound flows steadily. A null sink that had no
    // client renders in blocks of up to two seconds, so the first sound can take that long.
    bool WaitForSource(const std::string& name) {
        int steady = 0;
        return WaitUntil(
            [&] {
                if (m_capture->GetSourceName() != name)
                    return false;
                uint32_t frames = 0;
                m_capture->TakePackets([&](std::span<const float>, uint32_t count) { frames += count; });
                steady = frames > 0 ? steady + 1 : 0;
                return steady >= 5;
            },
            5000);
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
        TonePlayer tone("quillon_a", 17 * BinHz, 0.1f);
        EXPECT_TRUE(WaitForPeakInBin(17));
    }
    // A tone on the second sink is not heard until that sink becomes the default.
    TonePlayer tone("quillon_b", 30 * BinHz, 0.1f);
    ASSERT_TRUE(WaitUntil([&] { return tone.IsPlaying(); }, 5000));
    ASSERT_TRUE(m_server.Pactl("set-default-sink quillon_b"));
    EXPECT_TRUE(WaitForSource("quillon_b.monitor"));
    EXPECT_TRUE(WaitForPeakInBin(30));
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

    // Inactive, the stream is corked and no sound arrives; active again, it flows again.
    m_capture->SetActive(false);
    int quiet = 0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            uint32_t frames = 0;
            m_capture->TakePackets([&](std::span<const float>, uint32_t count) { frames += count; });
            quiet = frames == 0 ? quiet + 1 : 0;
            return quiet >= 20;
        },
        5000));
    EXPECT_TRUE(m_capture->IsCapturing());
    m_capture->SetActive(true);
    EXPECT_TRUE(WaitForSource("late.monitor"));
}

// Turned back on while its stream is still being made, the capture must not stay corked. The
// window is short, so the order is run several times.
TEST_F(PulseCaptureTest, ActivatedWhileTheStreamIsMadeSoundFlows) {
    ASSERT_TRUE(m_server.Start({"quillon_a"}));
    for (int attempt = 0; attempt < 12; ++attempt) {
        SCOPED_TRACE(attempt);
        m_capture->SetActive(false);
        ASSERT_TRUE(m_capture->Start());
        m_capture->SetActive(true);
        EXPECT_TRUE(WaitForSource("quillon_a.monitor"));
        m_capture->Stop();
    }
}

TEST_F(PulseCaptureTest, CaptureStopsWhenTheServerGoesAndResumesWhenItReturns) {
    ASSERT_TRUE(m_server.Start({"quillon_a"}));
    m_capture->Start();
    ASSERT_TRUE(WaitForSource("quillon_a.monitor"));
    m_server.Stop();
    EXPECT_TRUE(WaitUntil([&] { return !m_capture->IsCapturing(); }, 5000));

    ASSERT_TRUE(m_server.Start({"quillon_a"}));
    EXPECT_TRUE(WaitForSource("quillon_a.monitor"));
    TonePlayer tone("quillon_a", 30 * BinHz, 0.1f);
    EXPECT_TRUE(WaitForPeakInBin(30));
}

// Sets an environment variable for one scope and puts the old value (or its absence) back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(PulseCaptureNoServerTest, StartWithoutAServerCapturesNothing) {
    ScopedEnv server("PULSE_SERVER", "unix:/nonexistent/quillon/native");
    auto capture = PulseAudioCapture::Create();
    ASSERT_TRUE(capture);
    capture->Start();
    // The connection fails asynchronously and is retried after a second; watching past that retry
    // shows that neither the failure nor the retry pretends to capture.
    EXPECT_FALSE(WaitUntil([&] { return capture->IsCapturing(); }, 1500));
    SpectrumAnalyser analyser;
    analyser.Analyse(capture.get());
    EXPECT_EQ(*std::max_element(analyser.GetSpectrum().begin(), analyser.GetSpectrum().end()), 0.0f);
    capture->Stop();
}

} // namespace
} // namespace music
