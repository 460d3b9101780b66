#include "music/WavReader.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

namespace music {

namespace {

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatFloat = 3;
constexpr uint16_t FormatExtensible = 0xFFFE;
constexpr size_t MaxFileBytes = size_t{1} << 30; // a safety bound for what is read into memory

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct Format {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
};

} // namespace

bool WavReader::Fail(std::string reason) {
    m_audio = {};
    m_lastError = std::move(reason);
    return false;
}

bool WavReader::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail("cannot open " + path);
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<size_t>(size) > MaxFileBytes)
        return Fail("cannot read " + path + " (too large or unreadable)");
    file.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return Fail("cannot read " + path);
    return Parse(bytes);
}

bool WavReader::Parse(std::span<const uint8_t> bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return Fail("not a WAV file (no RIFF/WAVE header)");

    std::optional<Format> format;
    std::span<const uint8_t> data;
    bool haveData = false;
    size_t offset = 12;
    while (offset + 8 <= bytes.size()) {
        const uint8_t* header = bytes.data() + offset;
        const uint32_t chunkSize = Read32(header + 4);
        const size_t available = bytes.size() - offset - 8;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (chunkSize < 16 || chunkSize > available)
                return Fail("damaged WAV file (bad format chunk)");
            Format f;
            f.tag = Read16(header + 8);
            f.channels = Read16(header + 10);
            f.sampleRate = Read32(header + 12);
            f.bitsPerSample = Read16(header + 22);
            if (f.tag == FormatExtensible) {
                if (chunkSize < 40)
                    return Fail("damaged WAV file (short extensible format chunk)");
                f.tag = Read16(header + 8 + 24); // the first two bytes of the sub-format GUID
            }
            format = f;
        } else if (std::memcmp(header, "data", 4) == 0) {
            // A truncated file keeps the samples it has; writers that stream leave the size open.
            data = bytes.subspan(offset + 8, std::min<size_t>(chunkSize, available));
            haveData = true;
            break;
        }
        if (chunkSize > available)
            break;
        offset += 8 + chunkSize + (chunkSize & 1);
    }
    if (!format)
        return Fail("damaged WAV file (no format chunk before the samples)");
    if (!haveData)
        return Fail("damaged WAV file (no data chunk)");
    if (format->channels != 1 && format->channels != 2)
        return Fail("unsupported WAV file: " + std::to_string(format->channels) + " channels");
    if (format->sampleRate == 0)
        return Fail("damaged WAV file (sample rate 0)");
    const bool isInt16 = format->tag == FormatPcm && format->bitsPerSample == 16;
    const bool isFloat = format->tag == FormatFloat && format->bitsPerSample == 32;
    if (!isInt16 && !isFloat)
        return Fail("unsupported WAV sample format (only 16-bit integer and 32-bit float)");

    const size_t bytesPerSample = isInt16 ? 2 : 4;
    const size_t frameBytes = bytesPerSample * format->channels;
    const size_t frames = data.size() / frameBytes;
    // 16-bit mono grows fourfold into stereo floats, so the file size alone does not bound this.
    if (frames > m_maxFrames)
        return Fail("WAV file too long: " + std::to_string(frames) + " frames, at most " +
                    std::to_string(m_maxFrames));
    WavAudio audio;
    audio.sampleRate = format->sampleRate;
    audio.samples.resize(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        float channel[2];
        for (size_t c = 0; c < format->channels; ++c) {
            const uint8_t* p = data.data() + i * frameBytes + c * bytesPerSample;
            if (isInt16) {
                channel[c] = static_cast<float>(static_cast<int16_t>(Read16(p))) / 32768.0f;
            } else {
                const uint32_t bits = Read32(p);
                std::memcpy(&channel[c], &bits, sizeof bits);
                // NaN or infinity would spread through every later analysis; treat it as silence.
                if (!std::isfinite(channel[c]))
                    channel[c] = 0.0f;
            }
        }
        audio.samples[2 * i] = channel[0];
        audio.samples[2 * i + 1] = format->channels == 2 ? channel[1] : channel[0];
    }
    m_audio = std::move(audio);
    m_lastError.clear();
    return true;
}

} // namespace music
