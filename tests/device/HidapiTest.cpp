#include "base/Clock.h"
#include "device/DeviceList.h"
#include "device/HidapiTransport.h"
#include "device/HotplugMonitor.h"

#include <gtest/gtest.h>

namespace {

// This machine has no such keyboard: the real enumeration must run and find none, without error.
TEST(HidapiTest, RealEnumerationFindsNoKeyboard) {
    auto transport = device::HidapiTransport::Create();
    ASSERT_TRUE(transport);
    for (const auto& info : transport->Enumerate())
        EXPECT_NE(info.path.find("&mi_"), std::string::npos) << info.path;
    device::DeviceList list(*transport, base::Clock::System());
    list.AddFilter(0x3F51, 0x5A09, "vid_3f51&pid_5a09&mi_02");
    EXPECT_FALSE(list.Rescan());
    EXPECT_TRUE(list.IsOpen());
    EXPECT_FALSE(transport->Open("/nonexistent/hidraw#vid_3f51&pid_5a09&mi_02"));
}

TEST(HotplugMonitorTest, NamesComeFromTheSysfsPath) {
    const std::pair<const char*, const char*> cases[] = {
        {"/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2/0003:3F51:5A09.0005/hidraw/hidraw3",
         "VID_3F51&PID_5A09&MI_02"},
        {"/sys/devices/pci0000:00/0000:00:14.0/usb3/3-1/3-1.4/3-1.4:1.0/0003:046d:c52b.000A/hidraw/hidraw0",
         "VID_046D&PID_C52B&MI_00"},
        {"/sys/devices/virtual/misc/uhid/0005:3F51:5A09.0001/hidraw/hidraw1", "VID_3F51&PID_5A09"},
        {"/sys/devices/virtual/block/loop0", ""},
        {"", ""},
        {"/0003:3F51:5A0G.0005/hidraw", ""},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(device::HotplugNameFromSyspath(path), name) << path;
}

TEST(HotplugMonitorTest, StartsAndStopsWhereUdevIsReachable) {
    // Containers may have no udev socket; then Create gives null, which the program survives.
    auto monitor = device::HotplugMonitor::Create([](device::DeviceChange, const std::string&) {});
    monitor.reset();
    SUCCEED();
}

} // namespace
