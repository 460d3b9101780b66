#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The 65-byte report in which every command travels to the keyboard's configuration interface,
// and the 64-byte reply that comes back (the zero report id removed, so reply byte k is request
// byte k + 1).
namespace device {

/// Command codes of the configuration interface (request byte 2).
enum HidCommand : uint8_t {
    CmdBegin = 0x01,
    CmdEnd = 0x02,
    CmdReadSettings = 0x05,
    CmdWriteSettings = 0x06,
    CmdReadKeys = 0x07,
    CmdReadDefaultKeys = 0x08,
    CmdWriteKeys = 0x09,
    CmdWriteColors = 0x0B,
    CmdWriteMacros = 0x0D,
    CmdStreamColors = 0xDD,
    CmdFactoryReset = 0xEE,
};

struct HidReport {
    static constexpr size_t kSize = 65;      ///< request length, report id included
    static constexpr size_t kReplySize = 64; ///< reply length as the HID layer delivers it
    static constexpr size_t kDataSize = 56;  ///< bytes of the data field

    // Request positions.
    static constexpr size_t kReportId = 0;
    static constexpr size_t kMarker = 1;
    static constexpr size_t kCommand = 2;
    static constexpr size_t kChecksum = 4;
    static constexpr size_t kLength = 5;
    static constexpr size_t kOffsetLow = 6;
    static constexpr size_t kOffsetHigh = 7;
    static constexpr size_t kData = 9;
    /// First byte of the data field in a reply.
    static constexpr size_t kReplyData = 8;

    static constexpr uint8_t kRequestMarker = 0x55;
    static constexpr uint8_t kAcknowledged = 0xAA;

    std::array<uint8_t, kSize> bytes{};

    uint8_t& operator[](size_t position) { return bytes[position]; }
    uint8_t operator[](size_t position) const { return bytes[position]; }
    uint8_t* data() { return bytes.data(); }
    const uint8_t* data() const { return bytes.data(); }

    /// The low 8 bits of the sum of positions 5 to 64 (length, offset, reserved, data field).
    uint8_t ComputeChecksum() const;
    void SetChecksum() { bytes[kChecksum] = ComputeChecksum(); }
    uint16_t GetOffset() const { return static_cast<uint16_t>(bytes[kOffsetLow] | bytes[kOffsetHigh] << 8); }

    /// True when the buffer holds a reply that acknowledges the request.
    bool IsAcknowledged() const { return bytes[0] == kAcknowledged; }
};

} // namespace device
