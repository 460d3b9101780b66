#pragma once

#include "device/HidReport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace store {
struct LightSetting;
}

// The requests the program sends on the configuration interface and what it reads from their
// replies. Builders fill a zeroed report; the exchange sets the checksum.
namespace device {

inline constexpr size_t kKeyTableSize = 768;      ///< 128 positions x (standard + FN entry)
inline constexpr size_t kKeyColorTableSize = 384; ///< 128 positions x red, green, blue
inline constexpr size_t kSettingsBlockSize = 32;
inline constexpr size_t kMacroAreaMaxSize = 3584;  ///< what the keyboard can hold
inline constexpr size_t kMacroAreaHeaderSize = 64; ///< room for 32 16-bit offsets

using KeyTable = std::array<uint8_t, kKeyTableSize>;
using KeyColorTable = std::array<uint8_t, kKeyColorTableSize>;

/// One key's colour: its key code and a COLORREF (0x00BBGGRR, red in the low byte).
struct KeyColorValue {
    uint32_t keyCode = 0;
    uint32_t color = 0;
};

HidReport BuildBegin();
HidReport BuildEnd();
HidReport BuildFactoryReset();
/// Asks for the 32-byte settings block (length 32, offset 0).
HidReport BuildSettingsRead();

/// The fields of the settings block that the program sets; the other bytes are the keyboard's.
struct SettingsBlockFields {
    uint8_t lightMode = 0;
    uint8_t brightness = 0;
    uint8_t speed = 0; ///< as the keyboard counts it: 4 minus the stored speed
    uint8_t direction = 0;
    uint8_t colorful = 0;
    uint8_t colorIndex = 0;
    uint32_t color = 0; ///< COLORREF
    uint8_t gameModeBits = 0;
};

/// Game-mode bits of the settings block: 0x01 Windows keys, 0x02 Alt+Tab, 0x04 Alt+F4 disabled.
uint8_t GameModeBits(bool windowsKeysDisabled, bool altTabDisabled, bool altF4Disabled);

/// The block fields for a light mode and its stored setting. The stored speed (0 to 4) is sent
/// inverted; a speed outside 0 to 4 is taken as the nearest end.
SettingsBlockFields SettingsFromLight(int lightMode, const store::LightSetting& light, uint8_t gameModeBits);

/// True when a settings-read reply can be written back: acknowledged, it answers a settings read,
/// and it carries the 32-byte block at offset 0. A keyboard that answered anything else has not told us its
/// own bytes, and writing the block would overwrite them with whatever the buffer holds.
bool IsSettingsReply(const HidReport& reply);

/// The settings write: the read reply moved into request positions (reply byte k to request
/// byte k + 1), marked as a settings write, with the program's fields set. Length and offset are
/// therefore the ones the keyboard returned; every byte it keeps for itself goes back unchanged.
HidReport BuildSettingsWrite(const HidReport& reply, const SettingsBlockFields& fields);

/// How many 56-byte chunks move a block of this length. The rule always adds one chunk after
/// the last whole one, so a length that is a multiple of 56 ends with a full chunk of zeros;
/// at the macro area's full size that chunk would land past the area and is left out.
size_t BlockChunkCount(size_t blockLength);

/// Chunk `index` of a block transfer: length 56 (the remainder for the last chunk), offset
/// 56 x index little-endian, and the block's bytes from that offset (none for reads; bytes past
/// the block are 0).
HidReport BuildBlockChunk(size_t index, uint8_t command, size_t blockLength,
                          std::span<const uint8_t> block = {});

/// True when a reply answers chunk `index` of a read with this command: acknowledged, and its
/// header repeats the command and the chunk's offset. A late reply to the previous chunk would
/// otherwise be taken for this one and shift the table by a chunk.
bool IsChunkReply(const HidReport& reply, uint8_t command, size_t index);

/// Copies the 56 data bytes of a read reply for chunk `index` to offset 56 x index of the
/// table; bytes that would fall past its end are not part of the table and are dropped.
void CopyChunkReply(const HidReport& reply, size_t index, std::span<uint8_t> table);

/// The key colour table: each colour at its key's position (red, green, blue); keys without a
/// position are left out, positions without a colour stay black, and a later colour for the same
/// key wins.
KeyColorTable BuildKeyColorTable(std::span<const KeyColorValue> colors);

/// The three bytes of a key's entry in a key table: position 0 to 127, layer 0 (standard) or 1 (FN).
std::span<uint8_t, 3> KeyTableEntry(std::span<uint8_t, kKeyTableSize> table, int position, int layer);

} // namespace device
