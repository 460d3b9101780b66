#pragma once

#include "device/HidReport.h"

#include <array>
#include <cstdint>
#include <optional>

// The keyboard's side of the configuration protocol: its memory (key tables, colours, settings,
// macros, streamed colours) and its answer to each request.
namespace device::sim {

class SimFirmware {
public:
    static constexpr size_t kKeyTableSize = 768;
    static constexpr size_t kColorTableSize = 384;
    static constexpr size_t kSettingsSize = 32;
    static constexpr size_t kMacroAreaSize = 3584;

    using Reply = std::array<uint8_t, HidReport::kReplySize>;

    SimFirmware();

    /// Handles one request as written to the interface (report id first). A request that is not
    /// 65 bytes, lacks the 0x00 report id or the 0x55 marker, has a bad checksum, a length above 56
    /// or an unknown command is ignored: no reply. Otherwise the reply acknowledges (0xAA), repeats
    /// the request's header and, for reads, carries the data.
    std::optional<Reply> HandleRequest(const uint8_t* request, size_t length);

    /// Puts every table back to the state the keyboard leaves the factory with.
    void FactoryReset();

    /// The key table of a keyboard with nothing remapped: each key sends its own code on both
    /// layers, except the FN layer's F5 to F11, which are media keys.
    static std::array<uint8_t, kKeyTableSize> DefaultKeyTable();

    std::array<uint8_t, kKeyTableSize> keys{};
    std::array<uint8_t, kKeyTableSize> defaultKeys{};
    std::array<uint8_t, kColorTableSize> colors{};
    std::array<uint8_t, kColorTableSize> streamedColors{};
    /// Bytes 0, 1, 11 to 16 and 18 to 31 are the keyboard's own; the host carries them over.
    std::array<uint8_t, kSettingsSize> settings{};
    std::array<uint8_t, kMacroAreaSize> macros{};
    int factoryResets = 0;
    int streamedFrames = 0;

private:
    void RestoreFactoryState();
};

} // namespace device::sim
