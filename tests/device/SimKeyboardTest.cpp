#include "device/sim/SimKeyboard.h"

#include "base/Clock.h"
#include "device/KeyPositionTable.h"
#include "model/KeyLayout.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace {

using device::HidReport;
using device::sim::SimFirmware;

HidReport Request(uint8_t command, uint8_t length = 0, uint16_t offset = 0) {
    HidReport report;
    report[HidReport::kMarker] = HidReport::kRequestMarker;
    report[HidReport::kCommand] = command;
    report[HidReport::kLength] = length;
    report[HidReport::kOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    report[HidReport::kOffsetHigh] = static_cast<uint8_t>(offset >> 8);
    report.SetChecksum();
    return report;
}

std::optional<SimFirmware::Reply> Handle(SimFirmware& firmware, const HidReport& report) {
    return firmware.HandleRequest(report.data(), HidReport::kSize);
}

TEST(KeyPositionTableTest, OneTableInBothDirections) {
    int pairs = 0;
    for (int position = 0; position < device::kKeyPositionCount; ++position) {
        uint32_t code = device::PositionToKeyCode(position);
        if (code == 0)
            continue;
        ++pairs;
        EXPECT_EQ(device::KeyCodeToPosition(code), position);
    }
    EXPECT_EQ(pairs, 109);
    EXPECT_EQ(device::KeyCodeToPosition(41), 0);   // Esc
    EXPECT_EQ(device::KeyCodeToPosition(255), 77); // Fn: column 12, row 5
    EXPECT_EQ(device::KeyCodeToPosition(212), 123);
    EXPECT_EQ(device::KeyCodeToPosition(50), -1); // non-US # has no position
    EXPECT_EQ(device::KeyCodeToPosition(100000), -1);
    EXPECT_EQ(device::PositionToKeyCode(126), 0u);
    EXPECT_EQ(device::PositionToKeyCode(127), 0u);
    EXPECT_EQ(device::PositionToKeyCode(128), 0u);
    EXPECT_EQ(device::PositionToKeyCode(-1), 0u);
    for (const model::KeyEntry& key : model::KeyLayout())
        EXPECT_GE(device::KeyCodeToPosition(key.code), 0) << key.code;
}

TEST(SimFirmwareTest, IgnoresMalformedRequests) {
    const std::pair<const char*, std::function<void(HidReport&)>> cases[] = {
        {"bad checksum", [](HidReport& r) { r[HidReport::kChecksum] ^= 1; }},
        {"bad marker", [](HidReport& r) { r[HidReport::kMarker] = 0x54; }},
        {"report id", [](HidReport& r) { r[HidReport::kReportId] = 1; }},
        {"length above 56",
         [](HidReport& r) {
             r[HidReport::kLength] = 57;
             r.SetChecksum();
         }},
        {"unknown command", [](HidReport& r) { r[HidReport::kCommand] = 0x42; }},
    };
    for (const auto& [name, spoil] : cases) {
        SimFirmware firmware;
        HidReport report = Request(device::CmdFactoryReset);
        spoil(report);
        EXPECT_FALSE(Handle(firmware, report)) << name;
        EXPECT_EQ(firmware.factoryResets, 0) << name;
    }
    SimFirmware firmware;
    EXPECT_FALSE(firmware.HandleRequest(Request(device::CmdBegin).data(), 64));
}

TEST(SimFirmwareTest, RepliesRepeatTheHeaderAndCarryReads) {
    SimFirmware firmware;
    auto reply = Handle(firmware, Request(device::CmdReadKeys, 40, 728));
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[0], 0xAA);
    EXPECT_EQ((*reply)[1], device::CmdReadKeys);
    EXPECT_EQ((*reply)[4], 40);
    EXPECT_EQ((*reply)[5], 728 & 0xFF);
    EXPECT_EQ((*reply)[6], 728 >> 8);
    EXPECT_EQ((*reply)[8], firmware.keys[728]);
    EXPECT_EQ((*reply)[63], 0); // past the end of the 768-byte table
}

TEST(SimFirmwareTest, DefaultKeyTableEncodesEachKeyAsItself) {
    auto table = SimFirmware::DefaultKeyTable();
    auto entry = [&](uint32_t code, int layer) {
        const uint8_t* p = table.data() + 6 * device::KeyCodeToPosition(code) + 3 * layer;
        return std::array<uint8_t, 3>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(entry(4, 0), (std::array<uint8_t, 3>{0x10, 0x00, 0x04}));   // A
    EXPECT_EQ(entry(230, 0), (std::array<uint8_t, 3>{0x10, 0x00, 0x40})); // right Alt: its modifier bit
    EXPECT_EQ(entry(62, 1), (std::array<uint8_t, 3>{0x30, 0xCD, 0x00}));  // Fn+F5: play/pause
    EXPECT_EQ(entry(62, 0), (std::array<uint8_t, 3>{0x10, 0x00, 62}));
    EXPECT_EQ(table[6 * 126], 0); // no key there
}

TEST(SimFirmwareTest, WritesStayInsideTheirTablesAndResetRestores) {
    SimFirmware firmware;
    HidReport write = Request(device::CmdWriteMacros, 56, 3570); // 14 bytes fit, 42 would spill over
    write.bytes.fill(0x5A);
    write[HidReport::kReportId] = 0;
    write[HidReport::kMarker] = 0x55;
    write[HidReport::kCommand] = device::CmdWriteMacros;
    write[HidReport::kLength] = 56;
    write[HidReport::kOffsetLow] = 3570 & 0xFF;
    write[HidReport::kOffsetHigh] = 3570 >> 8;
    write[8] = 0;
    write.SetChecksum();
    ASSERT_TRUE(Handle(firmware, write));
    EXPECT_EQ(firmware.macros[3583], 0x5A);
    EXPECT_EQ(firmware.macros[3569], 0x00);

    HidReport settings = Request(device::CmdWriteSettings, 32, 0);
    settings[HidReport::kData + 2] = 7;
    settings.SetChecksum();
    ASSERT_TRUE(Handle(firmware, settings));
    EXPECT_EQ(firmware.settings[2], 7);
    EXPECT_EQ(firmware.settings[0], 0); // the host did not carry the keyboard's byte over

    ASSERT_TRUE(Handle(firmware, Request(device::CmdFactoryReset)));
    EXPECT_EQ(firmware.factoryResets, 1);
    EXPECT_EQ(firmware.macros[3583], 0);
    EXPECT_EQ(firmware.settings[0], 0xA0);
    EXPECT_EQ(firmware.keys, firmware.defaultKeys);
}

TEST(SimKeyboardTest, EnumeratesThreeInterfacesOfItsIds) {
    base::ManualClock clock;
    device::sim::SimKeyboard keyboard(clock, 0x3F51, 0x5A09);
    auto interfaces = keyboard.Enumerate();
    ASSERT_EQ(interfaces.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(interfaces[i].interfaceNumber, i);
        EXPECT_NE(interfaces[i].path.find(device::InterfaceTag(0x3F51, 0x5A09, i)), std::string::npos);
    }
    EXPECT_EQ(interfaces[1].usagePage, 0xFF00);
    EXPECT_EQ(interfaces[1].usage, 0);
    EXPECT_TRUE(keyboard.Enumerate(0x1111, 0x2222).empty());
    EXPECT_FALSE(keyboard.Open("sim:keyboard/other"));
    keyboard.Unplug();
    EXPECT_TRUE(keyboard.Enumerate().empty());
    EXPECT_FALSE(keyboard.Open(interfaces[2].path));
}

TEST(SimKeyboardTest, WritesEachReceivedReportToTheTranscript) {
    auto file = std::filesystem::temp_directory_path() / ("quillon-transcript-" + std::to_string(getpid()));
    std::filesystem::remove(file);
    setenv("QUILLON_SIM_TRANSCRIPT", file.c_str(), 1);
    {
        base::ManualClock clock;
        device::sim::SimKeyboard keyboard(clock, 0x3F51, 0x5A09);
        auto connection = keyboard.Open(keyboard.Enumerate()[2].path);
        HidReport report = Request(device::CmdBegin);
        connection->Write(report.data(), HidReport::kSize);
        report = Request(device::CmdReadSettings, 32);
        connection->Write(report.data(), HidReport::kSize);
    }
    unsetenv("QUILLON_SIM_TRANSCRIPT");
    std::ifstream in(file);
    std::string first, second, third;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_FALSE(std::getline(in, third));
    EXPECT_EQ(first.size(), 65u * 3 - 1);
    EXPECT_EQ(first.substr(0, 15), "00 55 01 00 00 ");
    EXPECT_EQ(second.substr(0, 18), "00 55 05 00 20 20 ");
    std::filesystem::remove(file);
}

} // namespace
