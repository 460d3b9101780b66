#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace music {

/// Sound read from a WAV file as interleaved stereo floats (a mono file gives both channels the
/// same value).
struct WavAudio {
    uint32_t sampleRate = 0;
    std::vector<float> samples; ///< 2 x frames values

    uint32_t GetFrameCount() const { return static_cast<uint32_t>(samples.size() / 2); }
};

/// Reads WAV files of 16-bit integer or 32-bit float samples, mono or stereo (plain or
/// extensible format). Anything else, or a damaged file, fails with a reason in GetLastError.
class WavReader {
public:
    /// 2^27 frames: 1 GiB of decoded floats, about 46 minutes at 48 kHz.
    static constexpr size_t DefaultMaxFrames = size_t{1} << 27;

    /// Files that would decode to more than maxFrames frames fail rather than take the memory.
    explicit WavReader(size_t maxFrames = DefaultMaxFrames) : m_maxFrames(maxFrames) {}

    bool Load(const std::string& path);
    bool Parse(std::span<const uint8_t> bytes);

    const WavAudio& GetAudio() const { return m_audio; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    bool Fail(std::string reason);

    size_t m_maxFrames;
    WavAudio m_audio;
    std::string m_lastError;
};

} // namespace music
