// Feeds arbitrary bytes to the WAV reader and, when they parse, a few frames of the result to
// the analysis: no input may crash either or read out of bounds.
#include "music/MemoryAudioSource.h"
#include "music/SpectrumAnalyser.h"
#include "music/WavReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    music::WavReader reader;
    if (!reader.Parse({data, size}))
        return 0;
    const auto& samples = reader.GetAudio().samples;
    music::SpectrumAnalyser analyser;
    music::MemoryAudioSource source;
    source.Start();
    constexpr size_t PacketValues = 2 * 720;
    for (size_t first = 0; first < samples.size() && first < 8 * PacketValues; first += PacketValues) {
        const size_t end = std::min(samples.size(), first + PacketValues);
        source.Push({samples.begin() + static_cast<std::ptrdiff_t>(first),
                     samples.begin() + static_cast<std::ptrdiff_t>(end)});
        analyser.Analyse(&source);
    }
    return 0;
}
