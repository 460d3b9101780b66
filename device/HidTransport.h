#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// HID access behind a small interface, so the program runs the same against the real keyboard
// (hidapi) and against the simulated one.
namespace device {

/// One HID interface found by an enumeration.
struct HidInterfaceInfo {
    /// Opens the interface with HidTransport::Open. Every path carries "vid_xxxx&pid_xxxx&mi_NN"
    /// (lower-case hexadecimal), so interfaces are matched by the same rules on every transport.
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t releaseNumber = 0;
    int interfaceNumber = -1;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

/// An opened interface; closed when destroyed.
class HidConnection {
public:
    virtual ~HidConnection() = default;

    /// Writes one report (report id first); returns the bytes written, or -1 on failure.
    virtual int Write(const uint8_t* data, size_t length) = 0;

    /// Reads one report of at most `capacity` bytes, waiting up to `timeoutMs`; returns the bytes
    /// read, 0 when nothing came in time, -1 on failure (for example, the device is gone).
    virtual int Read(uint8_t* buffer, size_t capacity, int timeoutMs) = 0;

    virtual std::u16string GetManufacturerString() = 0;
    virtual std::u16string GetProductString() = 0;
};

class HidTransport {
public:
    virtual ~HidTransport() = default;

    /// Every HID interface of the system in enumeration order, or those of one vendor and product
    /// when both are non-zero. Errors give an empty list.
    virtual std::vector<HidInterfaceInfo> Enumerate(uint16_t vendorId = 0, uint16_t productId = 0) = 0;

    /// Opens the interface of an enumerated path; null when it cannot be opened. The connection
    /// must not outlive the transport.
    virtual std::unique_ptr<HidConnection> Open(const std::string& path) = 0;
};

/// Builds the "vid_xxxx&pid_xxxx&mi_NN" part that every transport puts into its paths.
std::string InterfaceTag(uint16_t vendorId, uint16_t productId, int interfaceNumber);

} // namespace device
