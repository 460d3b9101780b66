#include "device/DeviceModel.h"
#include "model/ConfigIni.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// The rule must follow the ids of config.ini and open only interfaces 1 and 2, to the seat's user.
TEST(UdevRuleTest, OpensOnlyTheConfiguredKeyboardsConfigurationAndVendorInterfaces) {
    std::ifstream in(QUILLON_SOURCE_DIR "/packaging/70-quillon.rules");
    ASSERT_TRUE(in);
    std::stringstream rules;
    rules << in.rdbuf();
    const std::string text = rules.str();

    auto config = model::ConfigIni::Load(QUILLON_SOURCE_DIR "/assets/config.ini");
    char kernels[64];
    std::snprintf(kernels, sizeof kernels, "KERNELS==\"0003:%04X:%04X.*\"",
                  device::ParseHex(config.GetText(model::config::kVid)),
                  device::ParseHex(config.GetText(model::config::kPid)));
    EXPECT_NE(text.find(kernels), std::string::npos) << kernels;
    EXPECT_NE(text.find("ATTRS{bInterfaceNumber}==\"01\", TAG+=\"uaccess\""), std::string::npos);
    EXPECT_NE(text.find("ATTRS{bInterfaceNumber}==\"02\", TAG+=\"uaccess\""), std::string::npos);
    EXPECT_EQ(text.find("\"00\""), std::string::npos);
    EXPECT_EQ(text.find("MODE"), std::string::npos);
}

} // namespace
