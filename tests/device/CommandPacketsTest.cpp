#include "device/CommandPackets.h"

#include "store/StoreRecords.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using device::HidReport;

std::vector<uint8_t> Head(const HidReport& report, size_t count = 10) {
    return {report.bytes.begin(), report.bytes.begin() + static_cast<long>(count)};
}

TEST(CommandPacketsTest, SingleCommandsCarryOnlyTheirCode) {
    // report id, marker, command, reserved, checksum (left to the exchange), length, offset low,
    // offset high, reserved, first data byte
    EXPECT_EQ(Head(device::BuildBegin()), (std::vector<uint8_t>{0x00, 0x55, 0x01, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Head(device::BuildEnd()), (std::vector<uint8_t>{0x00, 0x55, 0x02, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Head(device::BuildFactoryReset()),
              (std::vector<uint8_t>{0x00, 0x55, 0xEE, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Head(device::BuildSettingsRead()),
              (std::vector<uint8_t>{0x00, 0x55, 0x05, 0, 0, 0x20, 0, 0, 0, 0}));
}

struct ChunkCase {
    size_t blockLength;
    size_t chunks;
    uint8_t lastLength;
    uint16_t lastOffset;
};

TEST(CommandPacketsTest, BlockTransferSplitsIntoChunksOf56) {
    const ChunkCase cases[] = {
        {768, 14, 40, 728},   // key tables
        {384, 7, 48, 336},    // key colour table
        {72, 2, 16, 56},      // one macro of two steps
        {112, 3, 56, 112},    // a multiple of 56 ends with a full chunk of zeros
        {64, 2, 8, 56},       // an empty macro area: the header alone
        {3583, 64, 55, 3528}, // the largest area that is not a multiple of 56
        {3584, 64, 56, 3528}, // a full area: no chunk past its end
    };
    for (const ChunkCase& c : cases) {
        SCOPED_TRACE(c.blockLength);
        ASSERT_EQ(device::BlockChunkCount(c.blockLength), c.chunks);
        for (size_t i = 0; i + 1 < c.chunks; ++i)
            EXPECT_EQ(device::BuildBlockChunk(i, device::CmdWriteMacros, c.blockLength)[HidReport::kLength],
                      56);
        HidReport last = device::BuildBlockChunk(c.chunks - 1, device::CmdWriteMacros, c.blockLength);
        EXPECT_EQ(last[HidReport::kLength], c.lastLength);
        EXPECT_EQ(last.GetOffset(), c.lastOffset);
    }
}

TEST(CommandPacketsTest, ChunkCarriesItsPartOfTheBlock) {
    std::vector<uint8_t> block(100);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i + 1);
    HidReport chunk = device::BuildBlockChunk(1, device::CmdWriteColors, block.size(), block);
    EXPECT_EQ(Head(chunk), (std::vector<uint8_t>{0x00, 0x55, 0x0B, 0, 0,
                                                 44,       // length: 100 - 56
                                                 56, 0,    // offset 56, little-endian
                                                 0, 57})); // block byte 56
    EXPECT_EQ(chunk[HidReport::kData + 43], 100);          // the block's last byte
    EXPECT_EQ(chunk[HidReport::kData + 44], 0);            // nothing past the block

    HidReport read = device::BuildBlockChunk(13, device::CmdReadDefaultKeys, device::kKeyTableSize);
    EXPECT_EQ(Head(read),
              (std::vector<uint8_t>{0x00, 0x55, 0x08, 0, 0, 40, 0xD8, 0x02, 0, 0})); // 728 = 0x02D8
}

TEST(CommandPacketsTest, ReplyOfTheLastKeyChunkFillsOnlyTheTable) {
    HidReport reply;
    for (size_t k = HidReport::kReplyData; k < HidReport::kReplySize; ++k)
        reply[k] = 0x77;
    std::array<uint8_t, device::kKeyTableSize + 1> buffer{}; // one guard byte past the table
    device::CopyChunkReply(reply, 13, std::span<uint8_t>(buffer.data(), device::kKeyTableSize));
    EXPECT_EQ(buffer[727], 0);
    EXPECT_EQ(buffer[728], 0x77);
    EXPECT_EQ(buffer[767], 0x77);
    EXPECT_EQ(buffer[768], 0); // the 16 bytes past the table are dropped
}

TEST(CommandPacketsTest, ChunkReplyMustRepeatTheCommandAndTheChunksOffset) {
    // Reply of chunk 5 (offset 280 = 0x0118) of a key table read.
    HidReport reply;
    reply[0] = HidReport::kAcknowledged;
    reply[1] = device::CmdReadKeys;
    reply[5] = 0x18;
    reply[6] = 0x01;
    const struct {
        const char* name;
        uint8_t command;
        size_t index;
        bool accepted;
    } cases[] = {
        {"its own chunk", device::CmdReadKeys, 5, true},
        {"the next chunk", device::CmdReadKeys, 6, false},
        {"the first chunk", device::CmdReadKeys, 0, false},
        {"another read", device::CmdReadDefaultKeys, 5, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(device::IsChunkReply(reply, c.command, c.index), c.accepted) << c.name;
    reply[0] = 0x00; // refused
    EXPECT_FALSE(device::IsChunkReply(reply, device::CmdReadKeys, 5));
}

// A settings reply as the keyboard sends it: acknowledged, the request's header repeated, its own
// bytes 0xA0 + i in the block.
HidReport SettingsReply() {
    HidReport reply;
    reply[0] = 0xAA;
    reply[1] = 0x05; // command
    reply[4] = 32;   // length
    for (size_t i = 0; i < device::kSettingsBlockSize; ++i)
        reply[HidReport::kReplyData + i] = static_cast<uint8_t>(0xA0 + i);
    return reply;
}

TEST(CommandPacketsTest, SettingsWriteKeepsTheKeyboardsBytes) {
    store::LightSetting light;
    light.brightness = 80;
    light.speed = 3;
    light.direction = 1;
    light.colorful = 0;
    light.colorindex = 5;
    light.color_value = 0x00332211; // COLORREF: red 0x11, green 0x22, blue 0x33
    HidReport reply = SettingsReply();
    ASSERT_TRUE(device::IsSettingsReply(reply));
    HidReport write = device::BuildSettingsWrite(
        reply, device::SettingsFromLight(7, light, device::GameModeBits(false, true, false)));

    EXPECT_EQ(Head(write, 9), (std::vector<uint8_t>{0x00, 0x55, 0x06, 0, 0,
                                                    32,   // length, as the keyboard returned it
                                                    0, 0, // offset
                                                    0}));
    const uint8_t* block = write.data() + HidReport::kData;
    const std::vector<uint8_t> expected = {
        0xA0, 0xA1,                         // the keyboard's own
        7,                                  // light mode
        80,                                 // brightness
        1,                                  // speed 3, inverted
        1,                                  // direction
        0,                                  // colourful
        5,                                  // colour index
        0x11, 0x22, 0x33,                   // red, green, blue
        0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, // the keyboard's own (11 to 16)
        0x02,                               // game-mode bits: only Alt+Tab disabled
        0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, // 18 to 31
    };
    EXPECT_EQ(std::vector<uint8_t>(block, block + 32), expected);
}

TEST(CommandPacketsTest, SpeedIsInvertedAndGameBitsCombine) {
    const std::pair<int, uint8_t> speeds[] = {{0, 4}, {1, 3}, {3, 1}, {4, 0}, {9, 0}, {-2, 4}};
    for (auto [stored, sent] : speeds) {
        store::LightSetting light;
        light.speed = stored;
        EXPECT_EQ(device::SettingsFromLight(1, light, 0).speed, sent) << stored;
    }
    EXPECT_EQ(device::GameModeBits(true, false, false), 0x01);
    EXPECT_EQ(device::GameModeBits(false, false, true), 0x04);
    EXPECT_EQ(device::GameModeBits(true, true, true), 0x07);
}

TEST(CommandPacketsTest, OnlyAWholeSettingsReplyCanBeWrittenBack) {
    HidReport refused = SettingsReply();
    refused[0] = 0x00;
    HidReport shortBlock = SettingsReply();
    shortBlock[4] = 16;
    HidReport moved = SettingsReply();
    moved[5] = 8;
    HidReport otherCommand = SettingsReply();
    otherCommand[1] = device::CmdReadKeys; // a late reply of another read
    EXPECT_FALSE(device::IsSettingsReply(otherCommand));
    EXPECT_FALSE(device::IsSettingsReply(refused));
    EXPECT_FALSE(device::IsSettingsReply(shortBlock));
    EXPECT_FALSE(device::IsSettingsReply(moved));
    EXPECT_FALSE(device::IsSettingsReply(HidReport{})); // a request left in the buffer
}

TEST(CommandPacketsTest, KeyColorTablePlacesColoursByPosition) {
    const device::KeyColorValue colors[] = {
        {20, 0x00030201}, // Q, position 8
        {50, 0x00FFFFFF}, // non-US #: no position, not sent
        {41, 0x000000FF}, // Esc, position 0
        {41, 0x00FF0000}, // Esc again: the later colour wins
    };
    device::KeyColorTable table = device::BuildKeyColorTable(colors);
    EXPECT_EQ((std::vector<uint8_t>{table[0], table[1], table[2]}), (std::vector<uint8_t>{0, 0, 0xFF}));
    EXPECT_EQ((std::vector<uint8_t>{table[24], table[25], table[26]}), (std::vector<uint8_t>{1, 2, 3}));
    int lit = 0;
    for (uint8_t byte : table)
        lit += byte != 0;
    EXPECT_EQ(lit, 4); // blue of Esc, and Q's three bytes; nothing else
}

} // namespace
