#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A file name in the temporary folder that concurrent runs of this test do not share.
std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "-" + name)).string();
}

// Writes a WAV file of `frames` frames of a 1 kHz tone: 16-bit mono or float stereo.
std::string WriteTone(const std::string& name, bool floatStereo, uint32_t rate, int frames) {
    const uint16_t channels = floatStereo ? 2 : 1;
    const uint16_t bits = floatStereo ? 32 : 16;
    std::vector<uint8_t> data;
    auto put = [&data](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            data.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    for (int i = 0; i < frames; ++i) {
        // A value 16-bit samples hold exactly, so both files carry the same sound.
        const int16_t level =
            static_cast<int16_t>(std::lround(8000 * std::sin(2 * std::numbers::pi * 1000 * i / rate)));
        for (int c = 0; c < channels; ++c) {
            if (floatStereo) {
                const float v = level / 32768.0f;
                uint32_t bitsOfV;
                std::memcpy(&bitsOfV, &v, 4);
                put(bitsOfV, 4);
            } else {
                put(static_cast<uint16_t>(level), 2);
            }
        }
    }
    const std::string path = TempPath(name);
    std::ofstream file(path, std::ios::binary);
    auto write32 = [&file](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto write16 = [&file](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    file.write("RIFF", 4);
    write32(36 + static_cast<uint32_t>(data.size()));
    file.write("WAVEfmt ", 8);
    write32(16);
    write16(floatStereo ? 3 : 1);
    write16(channels);
    write32(rate);
    write32(rate * channels * bits / 8);
    write16(static_cast<uint16_t>(channels * bits / 8));
    write16(bits);
    file.write("data", 4);
    write32(static_cast<uint32_t>(data.size()));
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return path;
}

// Runs spectrumdump; returns its output and sets `status` to its exit code.
std::string RunSpectrumDump(const std::string& path, int& status) {
    const std::string command = std::string(QUILLON_BINARY_DIR) + "/bin/spectrumdump '" + path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    status = WEXITSTATUS(pclose(pipe));
    return output;
}

TEST(SpectrumDumpTest, OneLineOf256ValuesPerWhole15MsFrame) {
    // 44.1 kHz: 661 frames per line; 2000 frames make three whole lines.
    int status = 0;
    const std::string mono = RunSpectrumDump(WriteTone("quillon-dump-mono.wav", false, 44100, 2000), status);
    ASSERT_EQ(status, 0) << mono;
    std::istringstream lines(mono);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        std::istringstream values(line);
        std::string value;
        int fields = 0;
        while (values >> value) {
            ++fields;
            EXPECT_EQ(value.size() - value.find('.'), 7u) << value; // six decimals
        }
        EXPECT_EQ(fields, 256);
    }
    EXPECT_EQ(count, 3);
    EXPECT_NE(mono.find_first_of("123456789"), std::string::npos) << "the tone shows";

    // The same sound as float stereo gives the same spectra.
    const std::string stereo =
        RunSpectrumDump(WriteTone("quillon-dump-stereo.wav", true, 44100, 2000), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(stereo, mono);
}

TEST(SpectrumDumpTest, DamagedFileFailsWithAMessage) {
    const std::string path = TempPath("quillon-dump-bad.wav");
    std::ofstream(path) << "RIFF....WAVEjunk";
    int status = 0;
    const std::string output = RunSpectrumDump(path, status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(output.find("spectrumdump: damaged WAV file"), std::string::npos) << output;
}

} // namespace
