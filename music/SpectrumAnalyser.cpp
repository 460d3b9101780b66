#include "music/SpectrumAnalyser.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace music {

namespace {

constexpr int HalfSize = SpectrumAnalyser::TransformSize / 2; // points of the complex transform

struct Tables {
    std::array<std::array<float, SpectrumAnalyser::Size>, 3> windows{}; // Hann, Hamming, Blackman
    std::array<float, SpectrumAnalyser::Size> binGain{};
    std::array<std::complex<double>, HalfSize> twiddles{};          // e^(-2 pi i k / 256)
    std::array<std::complex<double>, HalfSize + 1> splitTwiddles{}; // e^(-2 pi i k / 512)
    std::array<int, HalfSize> bitReverse{};

    Tables() {
        const double pi = std::numbers::pi;
        for (int j = 0; j < SpectrumAnalyser::Size; ++j) {
            const double x = 2.0 * pi * j / SpectrumAnalyser::Size;
            windows[0][j] = static_cast<float>(0.5 * (1.0 - std::cos(x)));
            windows[1][j] = static_cast<float>(0.54 - 0.46 * std::cos(x));
            windows[2][j] = static_cast<float>(0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x));
            binGain[j] = 0.04f + 0.5f * static_cast<float>(j) / SpectrumAnalyser::Size;
        }
        for (int k = 0; k < HalfSize; ++k)
            twiddles[k] = std::polar(1.0, -2.0 * pi * k / HalfSize);
        for (int k = 0; k <= HalfSize; ++k)
            splitTwiddles[k] = std::polar(1.0, -2.0 * pi * k / SpectrumAnalyser::TransformSize);
        int bits = 0;
        while ((1 << bits) < HalfSize)
            ++bits;
        for (int i = 0; i < HalfSize; ++i) {
            int reversed = 0;
            for (int b = 0; b < bits; ++b)
                reversed |= ((i >> b) & 1) << (bits - 1 - b);
            bitReverse[i] = reversed;
        }
    }
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

// In-place iterative radix-2 transform of 256 points.
void ComplexTransform(std::array<std::complex<double>, HalfSize>& z) {
    const Tables& tables = GetTables();
    for (int i = 0; i < HalfSize; ++i) {
        if (i < tables.bitReverse[i])
            std::swap(z[i], z[tables.bitReverse[i]]);
    }
    for (int length = 2; length <= HalfSize; length *= 2) {
        const int half = length / 2;
        const int step = HalfSize / length;
        for (int start = 0; start < HalfSize; start += length) {
            for (int j = 0; j < half; ++j) {
                const std::complex<double> odd = z[start + j + half] * tables.twiddles[j * step];
                z[start + j + half] = z[start + j] - odd;
                z[start + j] += odd;
            }
        }
    }
}

} // namespace

SpectrumAnalyser::SpectrumAnalyser() {
    GetTables();
}

void SpectrumAnalyser::Reset() {
    m_history.fill(0.0f);
    m_spectrum.fill(0.0f);
    m_barHeights.fill(0.0f);
}

void SpectrumAnalyser::AddPacket(std::span<const float> samples, uint32_t frames) {
    if (frames == 0)
        return;
    // One sample per group of four consecutive values, as many groups as (F - 1) / 4 + 1; a
    // group never reaches past the packet's 2 x F values (a one-frame packet gives nothing).
    const size_t values = std::min<size_t>(samples.size(), 2 * size_t{frames});
    const size_t groups = std::min<size_t>((frames - 1) / 4 + 1, values / 4);
    if (groups == 0)
        return;
    const float scale = 2.0f * m_parameters.gain;
    // Only the last 256 samples survive, so a long packet shifts the history once.
    const size_t kept = std::min<size_t>(groups, Size);
    std::move(m_history.begin() + kept, m_history.end(), m_history.begin());
    for (size_t k = groups - kept; k < groups; ++k) {
        const float* group = &samples[4 * k];
        const float mean = (group[0] + group[1] + group[2] + group[3]) / 4.0f;
        // One NaN or infinity would stay in the history and fill every bin; take it as silence.
        m_history[Size - groups + k] = std::isfinite(mean) ? mean * scale : 0.0f;
    }
}

void SpectrumAnalyser::Analyse(AudioSource* source) {
    // Above 100 percent the spectrum would grow without bound; below 0 it would flip sign.
    const float decay = static_cast<float>(std::clamp(m_parameters.decayPercent, 0, 100)) / 100.0f;
    for (float& value : m_spectrum)
        value *= decay;

    if (source && source->IsCapturing())
        source->TakePackets(
            [this](std::span<const float> samples, uint32_t frames) { AddPacket(samples, frames); });

    Transform();
    UpdateBins();
    Smooth();

    const float factor = m_parameters.timeSmoothing;
    for (int i = 0; i < Size; ++i)
        m_barHeights[i] += (m_spectrum[i] - m_barHeights[i]) * factor;
}

void SpectrumAnalyser::PackedRealTransform(std::span<const float, TransformSize> input,
                                           std::span<float, TransformSize> output) {
    // Even values as real parts and odd values as imaginary parts of 256 complex points; the
    // split below separates the two real spectra and combines them into the 512-point one.
    std::array<std::complex<double>, HalfSize> z;
    for (int n = 0; n < HalfSize; ++n)
        z[n] = {input[2 * n], input[2 * n + 1]};
    ComplexTransform(z);

    const Tables& tables = GetTables();
    constexpr double scale = 1.0 / TransformSize;
    for (int k = 0; k <= HalfSize; ++k) {
        const std::complex<double> zk = z[k % HalfSize];
        const std::complex<double> zm = std::conj(z[(HalfSize - k) % HalfSize]);
        const std::complex<double> even = (zk + zm) * 0.5;
        const std::complex<double> odd = (zk - zm) * std::complex<double>(0.0, -0.5);
        const std::complex<double> bin = (even + tables.splitTwiddles[k] * odd) * scale;
        if (k == 0)
            output[0] = static_cast<float>(bin.real());
        else if (k == HalfSize)
            output[1] = static_cast<float>(bin.real());
        else {
            output[2 * k] = static_cast<float>(bin.real());
            output[2 * k + 1] = static_cast<float>(bin.imag());
        }
    }
}

void SpectrumAnalyser::Transform() {
    for (int m = 0; m < Size; ++m)
        m_values[2 * m] = m_values[2 * m + 1] = m_history[m];

    const int type = m_parameters.windowType;
    if (type >= Hann && type <= Blackman) {
        const auto& window = GetTables().windows[type - 1];
        for (int j = 0; j < Size; ++j)
            m_values[j] *= window[j];
    }

    PackedRealTransform(m_values, m_transformed);
    // Bin 0 is formed from the real part of bin 1 and the real value of bin 256.
    m_transformed[0] = m_transformed[2];
    const auto& gain = GetTables().binGain;
    for (int i = 0; i < Size; ++i)
        m_transformed[i] *= gain[i];
}

void SpectrumAnalyser::UpdateBins() {
    for (int k = 0; k < BinCount; ++k) {
        const float re = m_transformed[2 * k];
        const float im = m_transformed[2 * k + 1];
        const float m = std::sqrt(re * re + im * im);
        // A magnitude of 0 gives minus infinity here, so the value can only decay.
        const float v = std::min(1.0f, 0.5f * std::log10(1.1f * m) + 0.9f * m);
        float& value = m_spectrum[4 * k];
        if (v > value)
            value = v;
        if (value < 0.0f)
            value = 0.0f;
        m_spectrum[4 * k + 1] = m_spectrum[4 * k + 2] = m_spectrum[4 * k + 3] = value;
    }
}

void SpectrumAnalyser::Smooth() {
    const int width = std::min(m_parameters.smoothingWidth, Size / 2);
    if (width <= 0)
        return;
    if (m_parameters.smoothingMode == BlockAverage)
        SmoothBlocks(width);
    else if (m_parameters.smoothingMode == MovingAverage)
        SmoothMoving(width);
}

void SpectrumAnalyser::SmoothBlocks(int width) {
    auto average = [this, width](int first) {
        float sum = 0.0f;
        for (int i = first; i < first + width; ++i)
            sum += m_spectrum[i];
        std::fill_n(m_spectrum.begin() + first, width, sum / static_cast<float>(width));
    };
    average(0);
    average(Size - width);
    for (int b = 0; b < Size - width; b += width)
        average(b);
}

void SpectrumAnalyser::SmoothMoving(int width) {
    // In place from left to right: each value is averaged with neighbours already smoothed.
    auto mean = [this](int first, int last) {
        float sum = 0.0f;
        for (int i = first; i <= last; ++i)
            sum += m_spectrum[i];
        return sum / static_cast<float>(last - first + 1);
    };
    for (int i = 0; i < width; ++i) {
        m_spectrum[i] = mean(0, i + width);
        m_spectrum[Size - 1 - i] = mean(Size - 1 - i - width, Size - 1);
    }
    for (int i = width; i < Size - width; ++i) {
        float sum = m_spectrum[i];
        for (int j = 1; j <= width; ++j)
            sum += m_spectrum[i - j] + m_spectrum[i + j];
        m_spectrum[i] = sum / static_cast<float>(2 * width + 1);
    }
}

} // namespace music
