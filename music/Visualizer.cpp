#include "music/Visualizer.h"

#include "base/Log.h"
#include "music/MusicColors.h"

#include <algorithm>

namespace music {

Visualizer::Visualizer(std::unique_ptr<AudioSource> source, base::Clock& clock)
    : m_source(std::move(source)), m_clock(clock) {}

Visualizer::~Visualizer() {
    Shutdown();
    if (m_source)
        m_source->Stop();
}

void Visualizer::Setup() {
    {
        std::lock_guard lock(m_valuesMutex);
        m_values = DrawingValues{};
    }
    SetEnabled(false);
    RestartCapture();
    {
        std::lock_guard lock(m_stateMutex);
        if (m_running)
            return;
        m_running = true;
    }
    m_analyser.Reset();
    m_thread = std::thread([this] { ThreadLoop(); });
}

void Visualizer::Shutdown() {
    {
        std::lock_guard lock(m_stateMutex);
        m_running = false;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Visualizer::SetEnabled(bool enabled) {
    {
        std::lock_guard lock(m_stateMutex);
        m_enabled = enabled;
    }
    m_wake.notify_all();
    // Sound that no frame will analyse need not flow either.
    if (m_source)
        m_source->SetActive(enabled);
}

bool Visualizer::IsParked() const {
    std::lock_guard lock(m_stateMutex);
    return m_parked;
}

bool Visualizer::IsEnabled() const {
    std::lock_guard lock(m_stateMutex);
    return m_enabled;
}

void Visualizer::SetDeviceIndex(int index) {
    std::lock_guard lock(m_valuesMutex);
    m_values.deviceIndex = index;
}

int Visualizer::GetDeviceIndex() const {
    std::lock_guard lock(m_valuesMutex);
    return m_values.deviceIndex;
}

bool Visualizer::RestartCapture() {
    if (!m_source)
        return false;
    // The device list holds the default playback device alone, so any index captures it.
    const bool started = m_source->Start();
    if (!started)
        base::LogInfo("music", "no playback device to capture from yet");
    return started;
}

void Visualizer::SetGain(float gain) {
    std::lock_guard lock(m_valuesMutex);
    m_values.analysis.gain = gain;
}

void Visualizer::SetAnalysisParameters(const SpectrumAnalyser::Parameters& parameters) {
    std::lock_guard lock(m_valuesMutex);
    m_values.analysis = parameters;
}

SpectrumAnalyser::Parameters Visualizer::GetAnalysisParameters() const {
    std::lock_guard lock(m_valuesMutex);
    return m_values.analysis;
}

void Visualizer::SetBarMode(int mode) {
    std::lock_guard lock(m_valuesMutex);
    m_values.barMode = mode;
}

void Visualizer::SetBackgroundMode(int mode) {
    std::lock_guard lock(m_valuesMutex);
    m_values.backgroundMode = mode;
}

void Visualizer::SetBackgroundBrightness(int brightness) {
    std::lock_guard lock(m_valuesMutex);
    m_values.backgroundBrightness = brightness;
}

int Visualizer::GetBarMode() const {
    std::lock_guard lock(m_valuesMutex);
    return m_values.barMode;
}

int Visualizer::GetBackgroundMode() const {
    std::lock_guard lock(m_valuesMutex);
    return m_values.backgroundMode;
}

int Visualizer::GetBackgroundBrightness() const {
    std::lock_guard lock(m_valuesMutex);
    return m_values.backgroundBrightness;
}

float Visualizer::GetHuePhase() const {
    return m_huePhase.load();
}

void Visualizer::ThreadLoop() {
    for (;;) {
        {
            std::unique_lock lock(m_stateMutex);
            m_parked = true;
            m_wake.wait(lock, [this] { return !m_running || m_enabled; });
            m_parked = false;
            if (!m_running)
                return;
        }
        RunFrame();
        m_clock.SleepMs(15);
    }
}

void Visualizer::RunFrame() {
    DrawingValues values;
    {
        std::lock_guard lock(m_valuesMutex);
        values = m_values;
    }
    m_analyser.SetParameters(values.analysis);
    m_analyser.Analyse(m_source.get());

    float phase = m_huePhase.load();
    if (phase >= 360.0f)
        phase = 0.0f;
    else if (phase < 0.0f)
        phase = 360.0f;

    DrawColorMode(m_background, values.backgroundMode, values.backgroundBrightness, phase);
    DrawColorMode(m_bars, values.barMode, 100, phase);

    // Only this thread changes m_shown, so reading it here needs no lock.
    MusicPicture& target = m_pictures[1 - m_shown];
    ComposeMusicPicture(m_background, m_bars, m_analyser.GetBarHeights(), target);
    {
        std::lock_guard lock(m_pictureMutex);
        m_shown = 1 - m_shown;
        const auto spectrum = m_analyser.GetSpectrum();
        std::copy(spectrum.begin(), spectrum.end(), m_shownSpectrum.begin());
    }
    m_huePhase.store(phase + 5.0f);
    ++m_frameCount;
}

MusicKeyColors Visualizer::SampleKeyColors() const {
    std::lock_guard lock(m_pictureMutex);
    return MusicKeyGrid::Sample(m_pictures[m_shown]);
}

MusicPicture Visualizer::CopyPicture() const {
    std::lock_guard lock(m_pictureMutex);
    return m_pictures[m_shown];
}

std::array<float, SpectrumAnalyser::Size> Visualizer::CopySpectrum() const {
    std::lock_guard lock(m_pictureMutex);
    return m_shownSpectrum;
}

} // namespace music
