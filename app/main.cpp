#include "base/Clock.h"
#include "base/Log.h"
#include "base/Utf.h"
#include "device/DeviceConnection.h"
#include "device/HidapiTransport.h"
#include "device/sim/SimKeyboard.h"
#include "model/ConfigIni.h"
#include "toolkit/core/Tessel.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum class KeyboardSource { Real, Simulated, SimulatedIfAbsent };

void PrintUsage() {
    std::printf("usage: quillon [--simulate | --simulate-if-absent]\n"
                "  --simulate            run against the simulated keyboard\n"
                "  --simulate-if-absent  use the simulated keyboard when no keyboard is plugged in\n");
}

// Connects through the transport and prints the state; true when a keyboard was found.
bool ConnectAndReport(device::HidTransport& transport, const model::ConfigIni& config) {
    device::DeviceConnection connection(transport, base::Clock::System(), {});
    connection.SetUp(config);
    std::optional<device::OpenedDeviceInfo> info = connection.GetDeviceList().GetOpenedInfo(0);
    if (!connection.IsConnected() || !info)
        return false;
    std::printf("keyboard connected: %s %s (release 0x%04x)\n", base::ToUtf8(info->manufacturer).c_str(),
                base::ToUtf8(info->product).c_str(), info->releaseNumber);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    KeyboardSource source = KeyboardSource::Real;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--simulate") == 0) {
            source = KeyboardSource::Simulated;
        } else if (std::strcmp(argv[i], "--simulate-if-absent") == 0) {
            if (source != KeyboardSource::Simulated)
                source = KeyboardSource::SimulatedIfAbsent;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage();
            return 0;
        } else {
            std::fprintf(stderr, "quillon: unknown option %s\n", argv[i]);
            PrintUsage();
            return 2;
        }
    }

    std::printf("Quillon (Tessel %s)\n", tessel::Version());
    model::ConfigIni config = model::ConfigIni::Load(model::ConfigIni::DefaultPath());
    if (config.GetText(model::config::kVid).empty())
        base::LogWarning("app", "config.ini gives no keyboard vendor id; no keyboard can be found");

    bool connected = false;
    if (source != KeyboardSource::Simulated) {
        if (std::unique_ptr<device::HidapiTransport> transport = device::HidapiTransport::Create())
            connected = ConnectAndReport(*transport, config);
    }
    if (!connected && source != KeyboardSource::Real) {
        auto vendorId = static_cast<uint16_t>(device::ParseHex(config.GetText(model::config::kVid)));
        auto productId = static_cast<uint16_t>(device::ParseHex(config.GetText(model::config::kPid)));
        device::sim::SimKeyboard keyboard(base::Clock::System(), vendorId, productId);
        connected = ConnectAndReport(keyboard, config);
    }
    if (!connected)
        std::printf("no keyboard found\n");
    return 0;
}
