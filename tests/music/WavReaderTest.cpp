#include "music/WavReader.h"

#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace music {
namespace {

// Builds a WAV file in memory; fields can be spoilt to make damaged files.
struct WavBuilder {
    uint16_t tag = 1;
    uint16_t channels = 2;
    uint32_t rate = 48000;
    uint16_t bits = 16;
    std::vector<uint8_t> data;
    bool withFormat = true;
    bool withData = true;
    uint32_t dataSizeExtra = 0; // claims more data than there is

    static void Put16(std::vector<uint8_t>& out, uint16_t v) {
        out.push_back(v & 0xFF);
        out.push_back(v >> 8);
    }
    static void Put32(std::vector<uint8_t>& out, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back((v >> (8 * i)) & 0xFF);
    }
    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
        // A chunk the reader must step over.
        out.insert(out.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
        if (withFormat) {
            out.insert(out.end(), {'f', 'm', 't', ' '});
            Put32(out, 16);
            Put16(out, tag);
            Put16(out, channels);
            Put32(out, rate);
            Put32(out, rate * channels * bits / 8);
            Put16(out, static_cast<uint16_t>(channels * bits / 8));
            Put16(out, bits);
        }
        if (withData) {
            out.insert(out.end(), {'d', 'a', 't', 'a'});
            Put32(out, static_cast<uint32_t>(data.size()) + dataSizeExtra);
            out.insert(out.end(), data.begin(), data.end());
        }
        return out;
    }
};

TEST(WavReaderTest, SixteenBitMonoBecomesStereoFloat) {
    WavBuilder wav;
    wav.channels = 1;
    wav.rate = 44100;
    for (int16_t v : {int16_t{0}, int16_t{16384}, int16_t{-32768}})
        WavBuilder::Put16(wav.data, static_cast<uint16_t>(v));
    WavReader reader;
    ASSERT_TRUE(reader.Parse(wav.Build())) << reader.GetLastError();
    EXPECT_EQ(reader.GetAudio().sampleRate, 44100u);
    EXPECT_EQ(reader.GetAudio().samples, (std::vector<float>{0, 0, 0.5f, 0.5f, -1, -1}));
}

TEST(WavReaderTest, FloatStereoPassesThrough) {
    WavBuilder wav;
    wav.tag = 3;
    wav.bits = 32;
    for (float v : {0.25f, -0.5f, 1.5f, 0.0f}) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        WavBuilder::Put32(wav.data, bits);
    }
    wav.dataSizeExtra = 1000; // a truncated file keeps the frames it has
    WavReader reader;
    ASSERT_TRUE(reader.Parse(wav.Build())) << reader.GetLastError();
    EXPECT_EQ(reader.GetAudio().samples, (std::vector<float>{0.25f, -0.5f, 1.5f, 0.0f}));
    EXPECT_EQ(reader.GetAudio().GetFrameCount(), 2u);
}

TEST(WavReaderTest, NonFiniteFloatsBecomeSilence) {
    WavBuilder wav;
    wav.tag = 3;
    wav.bits = 32;
    for (float v : {std::numeric_limits<float>::quiet_NaN(), 0.5f, std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        WavBuilder::Put32(wav.data, bits);
    }
    WavReader reader;
    ASSERT_TRUE(reader.Parse(wav.Build())) << reader.GetLastError();
    EXPECT_EQ(reader.GetAudio().samples, (std::vector<float>{0.0f, 0.5f, 0.0f, 0.0f}));
}

// Mono 16-bit grows fourfold when decoded, so the frame count has its own bound.
TEST(WavReaderTest, FilesLongerThanTheFrameBoundFail) {
    WavBuilder wav;
    wav.channels = 1;
    wav.data.resize(2 * 3); // three frames
    WavReader atBound(3);
    EXPECT_TRUE(atBound.Parse(wav.Build())) << atBound.GetLastError();
    WavReader pastBound(2);
    EXPECT_FALSE(pastBound.Parse(wav.Build()));
    EXPECT_NE(pastBound.GetLastError().find("too long"), std::string::npos);
    EXPECT_TRUE(pastBound.GetAudio().samples.empty());
}

TEST(WavReaderTest, DamagedOrUnsupportedFilesFailWithAReason) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"not riff", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}});
    WavBuilder noFormat;
    noFormat.withFormat = false;
    cases.push_back({"no format", noFormat.Build()});
    WavBuilder noData;
    noData.withData = false;
    cases.push_back({"no data", noData.Build()});
    WavBuilder threeChannels;
    threeChannels.channels = 3;
    cases.push_back({"three channels", threeChannels.Build()});
    WavBuilder eightBit;
    eightBit.bits = 8;
    cases.push_back({"8-bit", eightBit.Build()});
    WavBuilder zeroRate;
    zeroRate.rate = 0;
    cases.push_back({"rate 0", zeroRate.Build()});
    std::vector<uint8_t> cut = WavBuilder{}.Build();
    cut.resize(30); // inside the format chunk
    cases.push_back({"cut format", cut});

    for (const Case& c : cases) {
        WavReader reader;
        EXPECT_FALSE(reader.Parse(c.bytes)) << c.name;
        EXPECT_FALSE(reader.GetLastError().empty()) << c.name;
        EXPECT_TRUE(reader.GetAudio().samples.empty()) << c.name;
    }
    WavReader reader;
    EXPECT_FALSE(reader.Load("/nonexistent/file.wav"));
    EXPECT_NE(reader.GetLastError().find("cannot open"), std::string::npos);
}

} // namespace
} // namespace music
