#include "device/CommandPackets.h"

#include "device/KeyPositionTable.h"
#include "store/StoreRecords.h"

#include <algorithm>
#include <cstring>

namespace device {

namespace {

HidReport Command(uint8_t command) {
    HidReport report;
    report[HidReport::kMarker] = HidReport::kRequestMarker;
    report[HidReport::kCommand] = command;
    return report;
}

uint8_t ClampByte(int value, int low, int high) {
    return static_cast<uint8_t>(std::clamp(value, low, high));
}

// Block offsets of the settings fields the program writes.
constexpr size_t kSettingsLightMode = 2;
constexpr size_t kSettingsBrightness = 3;
constexpr size_t kSettingsSpeed = 4;
constexpr size_t kSettingsDirection = 5;
constexpr size_t kSettingsColorful = 6;
constexpr size_t kSettingsColorIndex = 7;
constexpr size_t kSettingsRed = 8; // then green, blue
constexpr size_t kSettingsGameMode = 17;

} // namespace

HidReport BuildBegin() {
    return Command(CmdBegin);
}

HidReport BuildEnd() {
    return Command(CmdEnd);
}

HidReport BuildFactoryReset() {
    return Command(CmdFactoryReset);
}

HidReport BuildSettingsRead() {
    HidReport report = Command(CmdReadSettings);
    report[HidReport::kLength] = kSettingsBlockSize;
    return report;
}

uint8_t GameModeBits(bool windowsKeysDisabled, bool altTabDisabled, bool altF4Disabled) {
    return static_cast<uint8_t>((windowsKeysDisabled ? 0x01 : 0) | (altTabDisabled ? 0x02 : 0) |
                                (altF4Disabled ? 0x04 : 0));
}

SettingsBlockFields SettingsFromLight(int lightMode, const store::LightSetting& light, uint8_t gameModeBits) {
    SettingsBlockFields fields;
    fields.lightMode = static_cast<uint8_t>(lightMode);
    fields.brightness = static_cast<uint8_t>(light.brightness);
    fields.speed = static_cast<uint8_t>(4 - ClampByte(light.speed, 0, 4));
    fields.direction = static_cast<uint8_t>(light.direction);
    fields.colorful = static_cast<uint8_t>(light.colorful);
    fields.colorIndex = static_cast<uint8_t>(light.colorindex);
    fields.color = static_cast<uint32_t>(light.color_value);
    fields.gameModeBits = gameModeBits;
    return fields;
}

bool IsSettingsReply(const HidReport& reply) {
    // Reply positions are request positions minus one.
    return reply.IsAcknowledged() && reply[HidReport::kCommand - 1] == CmdReadSettings &&
           reply[HidReport::kLength - 1] == kSettingsBlockSize && reply[HidReport::kOffsetLow - 1] == 0 &&
           reply[HidReport::kOffsetHigh - 1] == 0;
}

HidReport BuildSettingsWrite(const HidReport& reply, const SettingsBlockFields& fields) {
    HidReport report;
    for (size_t k = 0; k < HidReport::kReplySize; ++k)
        report[k + 1] = reply[k];
    report[HidReport::kReportId] = 0x00;
    report[HidReport::kMarker] = HidReport::kRequestMarker;
    report[HidReport::kCommand] = CmdWriteSettings;
    uint8_t* block = report.data() + HidReport::kData;
    block[kSettingsLightMode] = fields.lightMode;
    block[kSettingsBrightness] = fields.brightness;
    block[kSettingsSpeed] = fields.speed;
    block[kSettingsDirection] = fields.direction;
    block[kSettingsColorful] = fields.colorful;
    block[kSettingsColorIndex] = fields.colorIndex;
    block[kSettingsRed] = static_cast<uint8_t>(fields.color & 0xFF);
    block[kSettingsRed + 1] = static_cast<uint8_t>(fields.color >> 8 & 0xFF);
    block[kSettingsRed + 2] = static_cast<uint8_t>(fields.color >> 16 & 0xFF);
    block[kSettingsGameMode] = fields.gameModeBits;
    return report;
}

size_t BlockChunkCount(size_t blockLength) {
    size_t count = blockLength / HidReport::kDataSize + 1;
    if (blockLength % HidReport::kDataSize == 0 && blockLength >= kMacroAreaMaxSize)
        --count;
    return count;
}

HidReport BuildBlockChunk(size_t index, uint8_t command, size_t blockLength, std::span<const uint8_t> block) {
    HidReport report = Command(command);
    const size_t offset = HidReport::kDataSize * index;
    const bool last = index + 1 == BlockChunkCount(blockLength);
    size_t length = HidReport::kDataSize;
    if (last && blockLength % HidReport::kDataSize != 0)
        length = blockLength % HidReport::kDataSize;
    report[HidReport::kLength] = static_cast<uint8_t>(length);
    report[HidReport::kOffsetLow] = static_cast<uint8_t>(offset % 256);
    report[HidReport::kOffsetHigh] = static_cast<uint8_t>(offset / 256);
    if (offset < block.size()) {
        const size_t count = std::min(HidReport::kDataSize, block.size() - offset);
        std::memcpy(report.data() + HidReport::kData, block.data() + offset, count);
    }
    return report;
}

bool IsChunkReply(const HidReport& reply, uint8_t command, size_t index) {
    // Reply positions are request positions minus one.
    const size_t offset = reply[HidReport::kOffsetLow - 1] | reply[HidReport::kOffsetHigh - 1] << 8;
    return reply.IsAcknowledged() && reply[HidReport::kCommand - 1] == command &&
           offset == HidReport::kDataSize * index;
}

void CopyChunkReply(const HidReport& reply, size_t index, std::span<uint8_t> table) {
    const size_t offset = HidReport::kDataSize * index;
    if (offset >= table.size())
        return;
    const size_t count = std::min(HidReport::kDataSize, table.size() - offset);
    std::memcpy(table.data() + offset, reply.data() + HidReport::kReplyData, count);
}

KeyColorTable BuildKeyColorTable(std::span<const KeyColorValue> colors) {
    KeyColorTable table{};
    for (const KeyColorValue& color : colors) {
        const int position = KeyCodeToPosition(color.keyCode);
        if (position < 0)
            continue;
        table[3 * position] = static_cast<uint8_t>(color.color & 0xFF);
        table[3 * position + 1] = static_cast<uint8_t>(color.color >> 8 & 0xFF);
        table[3 * position + 2] = static_cast<uint8_t>(color.color >> 16 & 0xFF);
    }
    return table;
}

std::span<uint8_t, 3> KeyTableEntry(std::span<uint8_t, kKeyTableSize> table, int position, int layer) {
    return table.subspan(static_cast<size_t>(6 * position + 3 * layer)).first<3>();
}

} // namespace device
