#pragma once

#include "music/AudioSource.h"

#include <array>
#include <cstdint>
#include <span>

namespace music {

/// Reduces the captured sound to 256 spectrum values between 0 and 1 once per frame: a sliding
/// history of 256 samples, a window, a packed real transform of 512 values, 64 bins spread four
/// wide, decay, smoothing across the spectrum and over time. Not thread-safe: one thread
/// (the visualizer's) owns it.
class SpectrumAnalyser {
public:
    static constexpr int Size = 256;
    static constexpr int BinCount = 64;
    static constexpr int TransformSize = 512;

    enum WindowType { NoWindow = 0, Hann = 1, Hamming = 2, Blackman = 3 };
    enum SmoothingMode { BlockAverage = 0, MovingAverage = 1 };

    /// The values the analysis starts with.
    struct Parameters {
        float gain = 270.0f;
        int smoothingMode = MovingAverage;
        int smoothingWidth = 8; ///< 0 turns smoothing off; clamped to 128
        int windowType = Hann;  ///< any other value than 1..3 means no window
        int decayPercent = 80;  ///< kept per frame; clamped to 0..100
        float timeSmoothing = 1.0f;
    };

    SpectrumAnalyser();

    void SetParameters(const Parameters& parameters) { m_parameters = parameters; }
    const Parameters& GetParameters() const { return m_parameters; }

    /// Clears history, spectrum and bar heights.
    void Reset();

    /// One frame: decays the spectrum, takes in every packet the source has waiting (none when
    /// `source` is null or not capturing) and updates spectrum and bar heights.
    void Analyse(AudioSource* source);

    /// Appends the samples of one packet of interleaved stereo floats to the history: one sample
    /// per group of four values, (F - 1) / 4 + 1 of them for F frames.
    void AddPacket(std::span<const float> samples, uint32_t frames);

    std::span<const float, Size> GetSpectrum() const { return m_spectrum; }
    std::span<const float, Size> GetBarHeights() const { return m_barHeights; }
    std::span<const float, Size> GetHistory() const { return m_history; }

    /// The packed real transform of 512 values divided by 512: element 0 the real value of bin 0,
    /// element 1 the real value of bin 256, elements 2k and 2k + 1 real and imaginary part of bin
    /// k. Computed as a 256-point complex transform and a real-input split.
    static void PackedRealTransform(std::span<const float, TransformSize> input,
                                    std::span<float, TransformSize> output);

private:
    void Transform();
    void UpdateBins();
    void Smooth();
    void SmoothBlocks(int width);
    void SmoothMoving(int width);

    Parameters m_parameters;
    std::array<float, Size> m_history{};
    std::array<float, Size> m_spectrum{};
    std::array<float, Size> m_barHeights{};
    std::array<float, TransformSize> m_values{};
    std::array<float, TransformSize> m_transformed{};
};

} // namespace music
