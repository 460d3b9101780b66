#include "device/sim/SimFirmware.h"

#include "device/KeyPositionTable.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace device::sim {

namespace {

// Reads serve 56 bytes from the offset; bytes past the table are zeros.
void CopyOut(std::span<const uint8_t> table, size_t offset, uint8_t* out) {
    for (size_t i = 0; i < HidReport::kDataSize; ++i)
        out[i] = offset + i < table.size() ? table[offset + i] : 0;
}

// Writes keep to the table: bytes that would land past its end are dropped.
void CopyIn(std::span<uint8_t> table, size_t offset, const uint8_t* data, size_t length) {
    if (offset >= table.size())
        return;
    std::memcpy(table.data() + offset, data, std::min(length, table.size() - offset));
}

std::array<uint8_t, SimFirmware::kSettingsSize> DefaultSettings() {
    std::array<uint8_t, SimFirmware::kSettingsSize> settings{};
    for (size_t i = 0; i < settings.size(); ++i)
        settings[i] = static_cast<uint8_t>(0xA0 + i); // the keyboard's own bytes: a visible pattern
    settings[2] = 1;                                  // light mode
    settings[3] = 100;                                // brightness
    settings[4] = 2;                                  // speed, inverted
    settings[5] = 0;                                  // direction
    settings[6] = 1;                                  // colourful
    settings[7] = 0;                                  // colour index
    settings[8] = 255;                                // red
    settings[9] = 255;                                // green
    settings[10] = 255;                               // blue
    settings[17] = 0;                                 // game-mode bits
    return settings;
}

uint8_t ModifierBitOf(uint32_t code) {
    return code >= 224 && code <= 231 ? static_cast<uint8_t>(1u << (code - 224)) : 0;
}

} // namespace

SimFirmware::SimFirmware() : defaultKeys(DefaultKeyTable()) {
    RestoreFactoryState();
}

std::array<uint8_t, SimFirmware::kKeyTableSize> SimFirmware::DefaultKeyTable() {
    // Consumer usages: play/pause, stop, previous, next, volume up, volume down, mute.
    static constexpr uint8_t kMedia[] = {0xCD, 0xB7, 0xB6, 0xB5, 0xE9, 0xEA, 0xE2};
    std::array<uint8_t, kKeyTableSize> table{};
    for (int position = 0; position < kKeyPositionCount; ++position) {
        uint32_t code = PositionToKeyCode(position);
        if (code == 0)
            continue;
        // A key entry is 0x10 (a key), a modifier mask and a key code; a modifier alone is sent
        // with its bit in place of the code.
        uint8_t entry[3] = {0x10, 0x00,
                            ModifierBitOf(code) ? ModifierBitOf(code) : static_cast<uint8_t>(code)};
        uint8_t* standard = table.data() + 6 * position;
        std::memcpy(standard, entry, 3);
        std::memcpy(standard + 3, entry, 3);
        if (code >= 62 && code <= 68) { // F5 to F11
            standard[3] = 0x30;
            standard[4] = kMedia[code - 62];
            standard[5] = 0x00;
        }
    }
    return table;
}

void SimFirmware::FactoryReset() {
    RestoreFactoryState();
    ++factoryResets;
}

void SimFirmware::RestoreFactoryState() {
    keys = defaultKeys;
    colors.fill(0);
    for (int position = 0; position < kKeyPositionCount; ++position) {
        if (PositionToKeyCode(position) != 0)
            std::fill_n(colors.begin() + 3 * position, 3, uint8_t{255});
    }
    settings = DefaultSettings();
    macros.fill(0);
}

std::optional<SimFirmware::Reply> SimFirmware::HandleRequest(const uint8_t* request, size_t length) {
    if (length != HidReport::kSize)
        return std::nullopt;
    HidReport report;
    std::memcpy(report.data(), request, HidReport::kSize);
    if (report[HidReport::kReportId] != 0 || report[HidReport::kMarker] != HidReport::kRequestMarker ||
        report[HidReport::kChecksum] != report.ComputeChecksum() ||
        report[HidReport::kLength] > HidReport::kDataSize)
        return std::nullopt;

    Reply reply{};
    reply[0] = HidReport::kAcknowledged;
    // The reply header repeats the request's: command, reserved, checksum, length, offset, reserved.
    std::memcpy(reply.data() + 1, report.data() + HidReport::kCommand, 7);
    const size_t offset = report.GetOffset();
    const uint8_t* data = report.data() + HidReport::kData;
    const size_t dataLength = report[HidReport::kLength];
    uint8_t* out = reply.data() + HidReport::kReplyData;

    switch (report[HidReport::kCommand]) {
    case CmdBegin:
    case CmdEnd:
        break;
    case CmdReadSettings:
        CopyOut(settings, offset, out);
        break;
    case CmdWriteSettings:
        CopyIn(settings, offset, data, dataLength);
        break;
    case CmdReadKeys:
        CopyOut(keys, offset, out);
        break;
    case CmdReadDefaultKeys:
        CopyOut(defaultKeys, offset, out);
        break;
    case CmdWriteKeys:
        CopyIn(keys, offset, data, dataLength);
        break;
    case CmdWriteColors:
        CopyIn(colors, offset, data, dataLength);
        break;
    case CmdWriteMacros:
        CopyIn(macros, offset, data, dataLength);
        break;
    case CmdStreamColors:
        CopyIn(streamedColors, offset, data, dataLength);
        if (offset == 0)
            ++streamedFrames;
        break;
    case CmdFactoryReset:
        FactoryReset();
        break;
    default:
        return std::nullopt;
    }
    // The reply's checksum covers the same bytes as the request's (reply positions 4 to 63).
    unsigned sum = 0;
    for (size_t i = 4; i < reply.size(); ++i)
        sum += reply[i];
    reply[3] = static_cast<uint8_t>(sum);
    return reply;
}

} // namespace device::sim
