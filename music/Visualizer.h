#pragma once

#include "base/Clock.h"
#include "music/AudioSource.h"
#include "music/MusicKeyGrid.h"
#include "music/MusicPicture.h"
#include "music/SpectrumAnalyser.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace music {

/// Turns the sound the computer plays into the music picture: its own thread analyses the
/// captured sound every 15 ms while enabled, draws the background and the bars in their colour
/// modes, composes them into the picture that is not shown and then shows it. Other threads set
/// the parameters and sample the shown picture at any time.
class Visualizer {
public:
    /// Takes the sound from `source` (null: nothing is ever captured); waits through `clock`.
    explicit Visualizer(std::unique_ptr<AudioSource> source, base::Clock& clock = base::Clock::System());
    /// Stops the thread and the capture.
    ~Visualizer();

    Visualizer(const Visualizer&) = delete;
    Visualizer& operator=(const Visualizer&) = delete;

    /// Sets every parameter to its starting value, starts the capture and the thread (disabled).
    /// Calling it again only resets the values and restarts the capture.
    void Setup();

    /// Ends the thread; the process calls it only on the way out (the destructor does too).
    void Shutdown();

    /// While disabled the thread waits without using the processor.
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    /// True while the thread waits, disabled, to be enabled again (no frames, no pauses).
    bool IsParked() const;

    /// Only device 0, the default playback device, exists; another index captures it too.
    void SetDeviceIndex(int index);
    int GetDeviceIndex() const;
    /// Restarts the capture on the default playback device; false when nothing can be captured.
    bool RestartCapture();

    void SetGain(float gain);
    void SetAnalysisParameters(const SpectrumAnalyser::Parameters& parameters);
    SpectrumAnalyser::Parameters GetAnalysisParameters() const;
    void SetBarMode(int mode);
    void SetBackgroundMode(int mode);
    void SetBackgroundBrightness(int brightness);
    int GetBarMode() const;
    int GetBackgroundMode() const;
    int GetBackgroundBrightness() const;

    /// One frame of the thread, without its pause: analyse, draw, compose, show, turn the hue.
    /// Only the visualizer's thread calls it, or a test or benchmark while that thread is not
    /// running.
    void RunFrame();

    /// The key colours of the shown picture at the music key grid, with the "above 1" flag.
    MusicKeyColors SampleKeyColors() const;
    /// A copy of the shown picture.
    MusicPicture CopyPicture() const;
    /// The spectrum of the frame that made the shown picture.
    std::array<float, SpectrumAnalyser::Size> CopySpectrum() const;
    /// Frames shown since set-up.
    uint64_t GetFrameCount() const { return m_frameCount.load(); }
    /// The hue phase in degrees that the next frame draws with.
    float GetHuePhase() const;

private:
    struct DrawingValues {
        SpectrumAnalyser::Parameters analysis;
        int barMode = 15;
        int backgroundMode = 0;
        int backgroundBrightness = 100;
        int deviceIndex = 0;
    };

    void ThreadLoop();

    std::unique_ptr<AudioSource> m_source;
    base::Clock& m_clock;

    // Values set from other threads, guarded by m_valuesMutex; a frame copies them once at its
    // start so a change never lands in the middle of a drawing.
    mutable std::mutex m_valuesMutex;
    DrawingValues m_values;

    // Thread control, guarded by m_stateMutex; m_wake wakes the thread on enable and shutdown.
    mutable std::mutex m_stateMutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_enabled = false;
    bool m_parked = false;
    std::thread m_thread;

    // Owned by whoever runs frames (the thread): analysis, the two drawn pictures, hue phase.
    SpectrumAnalyser m_analyser;
    MusicPicture m_background;
    MusicPicture m_bars;
    std::atomic<float> m_huePhase{0.0f};

    // The two composed pictures. The frame composes into the one not shown without a lock, as
    // readers only ever touch the shown one; showing it (m_shown) and reading the shown picture
    // happen under m_pictureMutex, so a reader never sees a picture being composed.
    mutable std::mutex m_pictureMutex;
    std::array<MusicPicture, 2> m_pictures;
    int m_shown = 0;
    std::array<float, SpectrumAnalyser::Size> m_shownSpectrum{};
    std::atomic<uint64_t> m_frameCount{0};
};

} // namespace music
