// Feeds arbitrary replies to the report exchange (any length, any content, timeouts and errors),
// arbitrary event reports to the listener's parser, and arbitrary requests to the simulated
// keyboard.
#include "base/Clock.h"
#include "device/DeviceEventListener.h"
#include "device/DeviceList.h"
#include "device/sim/SimFirmware.h"

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

class ScriptedTransport : public device::HidTransport {
public:
    explicit ScriptedTransport(FuzzedDataProvider& input) : m_input(input) {}

    class Connection : public device::HidConnection {
    public:
        explicit Connection(FuzzedDataProvider& input) : m_input(input) {}
        int Write(const uint8_t*, size_t length) override {
            return m_input.ConsumeBool() ? static_cast<int>(length) : -1;
        }
        // Honours the capacity, as a transport must, but may claim more bytes than it gave.
        int Read(uint8_t* buffer, size_t capacity, int) override {
            int claimed = m_input.ConsumeIntegralInRange<int>(-2, 200);
            std::vector<uint8_t> bytes =
                m_input.ConsumeBytes<uint8_t>(m_input.ConsumeIntegralInRange<size_t>(0, 80));
            std::copy_n(bytes.begin(), std::min(bytes.size(), capacity), buffer);
            return claimed;
        }
        std::u16string GetManufacturerString() override { return u"m"; }
        std::u16string GetProductString() override { return u"p"; }

    private:
        FuzzedDataProvider& m_input;
    };

    std::vector<device::HidInterfaceInfo> Enumerate(uint16_t, uint16_t) override {
        return {{"x/" + device::InterfaceTag(1, 2, 2), 1, 2, 0, 2, 0xFF00, 1}};
    }
    std::unique_ptr<device::HidConnection> Open(const std::string&) override {
        return std::make_unique<Connection>(m_input);
    }

private:
    FuzzedDataProvider& m_input;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    base::ManualClock clock;
    ScriptedTransport transport(input);
    device::DeviceList list(transport, clock);
    list.AddFilter(1, 2, "mi_02");
    list.Rescan();

    device::sim::SimFirmware firmware;
    while (input.remaining_bytes() > 0) {
        device::HidReport report;
        std::vector<uint8_t> request = input.ConsumeBytes<uint8_t>(device::HidReport::kSize);
        std::copy(request.begin(), request.end(), report.bytes.begin());
        switch (input.ConsumeIntegralInRange<int>(0, 4)) {
        case 0:
            list.SendReport(report, 0);
            break;
        case 1:
            list.QueryReport(report, 0);
            break;
        case 2:
            list.SendReportFast(report, 0);
            break;
        case 3:
            (void)device::ParseEventReport(request.data(), request.size());
            break;
        case 4:
            (void)firmware.HandleRequest(request.data(), request.size());
            break;
        }
    }
    return 0;
}
