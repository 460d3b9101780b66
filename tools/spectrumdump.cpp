// spectrumdump FILE.wav
//
// Feeds a WAV file (16-bit or float, mono or stereo) through the music analysis one 15 ms frame
// at a time, as the capture would hand it over, and prints each frame's 256 spectrum values on
// one line. The analysis runs with the values it starts with in the program.
#include "music/MemoryAudioSource.h"
#include "music/SpectrumAnalyser.h"
#include "music/WavReader.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: spectrumdump FILE.wav\n");
        return 2;
    }
    music::WavReader reader;
    if (!reader.Load(argv[1])) {
        std::fprintf(stderr, "spectrumdump: %s\n", reader.GetLastError().c_str());
        return 1;
    }
    const music::WavAudio& audio = reader.GetAudio();
    // The integer part of rate x 0.015, in integers so that no rounding creeps in.
    const size_t framesPerPacket = static_cast<size_t>(audio.sampleRate) * 15 / 1000;
    if (framesPerPacket == 0) {
        std::fprintf(stderr, "spectrumdump: sample rate %u is too low for 15 ms frames\n", audio.sampleRate);
        return 1;
    }

    music::SpectrumAnalyser analyser;
    music::MemoryAudioSource source;
    source.Start();
    const size_t total = audio.GetFrameCount();
    // Only whole 15 ms frames: a shorter rest at the end of the file is left out.
    for (size_t first = 0; first + framesPerPacket <= total; first += framesPerPacket) {
        const auto begin = audio.samples.begin() + static_cast<std::ptrdiff_t>(2 * first);
        source.Push(std::vector<float>(begin, begin + static_cast<std::ptrdiff_t>(2 * framesPerPacket)));
        analyser.Analyse(&source);
        const auto spectrum = analyser.GetSpectrum();
        for (size_t i = 0; i < spectrum.size(); ++i)
            std::printf(i ? " %.6f" : "%.6f", static_cast<double>(spectrum[i]));
        std::printf("\n");
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
