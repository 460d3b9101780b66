#include "device/DeviceSync.h"

#include "base/Clock.h"
#include "device/DeviceList.h"
#include "tests/device/SyncTestSupport.h"

#include <gtest/gtest.h>

namespace {

using device::HidReport;
using device::sim::SimKeyboard;
using namespace synctest;

// The procedures against a simulated keyboard on one manual clock, without a worker, so the
// time they take is exact.
class DeviceSyncTest : public testing::Test {
protected:
    DeviceSyncTest() {
        list.AddFilter(kVid, kPid, "vid_3f51&pid_5a09&mi_02");
        EXPECT_TRUE(list.Rescan());
        EXPECT_TRUE(store.Open(folder.Folder(), u"kb"));
        store.InsertConfigDefaults();
    }
    uint64_t Elapsed() const { return clock.NowMs() - start; }

    TempDataFolder folder;
    base::ManualClock clock{1000};
    uint64_t start = clock.NowMs();
    SimKeyboard keyboard{clock, kVid, kPid};
    device::DeviceList list{keyboard, clock};
    store::ProfileStore store;
    RecordingPages pages;
    device::DeviceSync sync{list, store, clock, pages};
};

TEST_F(DeviceSyncTest, ReconcileDropsOnlyWhatTheKeyboardDoesNotHold) {
    // Q is remapped on the keyboard; W, and E on the FN layer, are stored but the keyboard
    // holds its defaults there; non-US # has no position; W of profile 2 is not current.
    store.SaveKeyAssignment(Key(0, 20, 2, 4, 224));
    ASSERT_TRUE(sync.WriteKeyTable());
    store.SaveKeyAssignment(Key(0, 26, 2, 5));
    store.SaveKeyAssignment(Key(1, 8, 6, 1));
    store.SaveKeyAssignment(Key(0, 50, 2, 6));
    store::KeyAssignment other = Key(0, 26, 2, 7);
    other.profile = 2;
    store.SaveKeyAssignment(other);
    keyboard.ClearReceived();
    const uint64_t before = clock.NowMs();

    EXPECT_TRUE(sync.FullSynchronisation());

    std::vector<store::KeyAssignment> kept;
    store.ListProfileKeyAssignments(1, kept);
    std::vector<std::pair<int, int>> keys; // layer, key code
    for (const store::KeyAssignment& key : kept)
        keys.emplace_back(key.fn_layer, key.key_code);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{0, 20}, {0, 50}}));
    store::KeyAssignment unused;
    EXPECT_TRUE(store.GetKeyAssignment(2, 0, 26, unused));

    EXPECT_EQ(store.GetKeyTable(), keyboard.GetFirmware().keys); // the cache holds what was read
    std::vector<uint8_t> expected{device::CmdBegin};
    expected.insert(expected.end(), 14, device::CmdReadKeys);
    expected.insert(expected.end(), 14, device::CmdReadDefaultKeys);
    expected.push_back(device::CmdEnd);
    EXPECT_EQ(Commands(keyboard), expected); // nothing written
    // Begin and end take 12 ms each; each read 10 ms, a 50 ms drain of stale replies and 2 ms;
    // and 8 ms after each chunk of the current table.
    EXPECT_EQ(clock.NowMs() - before, 2u * 12 + 28u * (10 + 50 + 2) + 14u * 8);
    EXPECT_EQ(pages.GetCalls(),
              (std::vector<std::string>{"profiles", "keys", "macros", "lights", "game 000"}));
}

TEST_F(DeviceSyncTest, IncompleteReadKeepsStoredFunctionsAndTheCache) {
    const std::pair<const char*, std::function<void()>> failures[] = {
        {"refusing keyboard", [&] { keyboard.SetRefusing(true); }},
        {"no keyboard found", [&] { list.CloseAll(); }},
    };
    store::ProfileStore::KeyTable cached{};
    cached.fill(0x5A);
    for (const auto& [name, fail] : failures) {
        SCOPED_TRACE(name);
        store.SaveKeyAssignment(Key(0, 26, 2, 5)); // held nowhere but in the store
        store.SetKeyTable(cached);
        fail();
        EXPECT_FALSE(sync.FullSynchronisation());
        store::KeyAssignment kept;
        EXPECT_TRUE(store.GetKeyAssignment(1, 0, 26, kept));
        EXPECT_EQ(store.GetKeyTable(), cached);
        EXPECT_EQ(pages.GetCalls().back(), "game 000"); // the pages are still refreshed
    }
}

TEST_F(DeviceSyncTest, LateRepliesAreNotTakenForTheNextChunk) {
    // Keys across the table, all held by the keyboard, so none may be forgotten.
    const store::KeyAssignment held[] = {Key(0, 20, 2, 4, 224), Key(1, 8, 2, 5), Key(0, 79, 2, 6),
                                         Key(1, 82, 2, 7)};
    for (const store::KeyAssignment& key : held)
        store.SaveKeyAssignment(key);
    ASSERT_TRUE(sync.WriteKeyTable());
    store::ProfileStore::KeyTable cached{};
    cached.fill(0x5A);
    store.SetKeyTable(cached);
    // 250 ms late: the ladder's retry makes a second reply that arrives during the next chunk's
    // exchange.
    keyboard.SetReplyDelay(250);

    const bool whole = sync.FullSynchronisation();

    if (whole)
        EXPECT_EQ(store.GetKeyTable(), keyboard.GetFirmware().keys);
    else
        EXPECT_EQ(store.GetKeyTable(), cached);
    for (const store::KeyAssignment& key : held) {
        store::KeyAssignment kept;
        EXPECT_TRUE(store.GetKeyAssignment(1, key.fn_layer, key.key_code, kept)) << key.key_code;
    }
}

TEST_F(DeviceSyncTest, KeyTableIsNotWrittenWithoutTheKeyboardsTable) {
    store.SaveKeyAssignment(Key(0, 20, 2, 4, 224));
    keyboard.SetRefusing(true);
    EXPECT_FALSE(sync.WriteKeyTable());
    EXPECT_TRUE(ReportsWith(keyboard, device::CmdWriteKeys).empty());

    // Once the keyboard answers, the first write reads the table before writing over it.
    keyboard.SetRefusing(false);
    keyboard.ClearReceived();
    EXPECT_TRUE(sync.WriteKeyTable());
    std::vector<uint8_t> expected{device::CmdBegin};
    expected.insert(expected.end(), 14, device::CmdReadKeys);
    expected.insert(expected.end(), 14, device::CmdWriteKeys);
    expected.push_back(device::CmdEnd);
    EXPECT_EQ(Commands(keyboard), expected);
    EXPECT_EQ(EntryOf(keyboard.GetFirmware().keys, 20, 0), (Entry{0x10, 0x01, 0x04}));
}

TEST_F(DeviceSyncTest, SettingsBlockIsOnlyWrittenOverAWholeRead) {
    keyboard.SetRefusing(true);
    EXPECT_FALSE(sync.WriteSettingsBlock());
    EXPECT_TRUE(ReportsWith(keyboard, device::CmdWriteSettings).empty());
    EXPECT_EQ(keyboard.GetFirmware().settings, device::sim::SimFirmware().settings);

    // Without a stored setting for the current mode, the keyboard's light fields stay.
    keyboard.SetRefusing(false);
    store.SetCurrentLightModeId(9);
    store.SetConfigValue(u"disable_altf4", u"1");
    EXPECT_TRUE(sync.WriteSettingsBlock());
    std::array<uint8_t, 32> expected = device::sim::SimFirmware().settings;
    expected[2] = 9;     // light mode
    expected[17] = 0x04; // Alt+F4 disabled
    EXPECT_EQ(keyboard.GetFirmware().settings, expected);
}

TEST_F(DeviceSyncTest, MusicFrameIsStreamedUnlessBlackAndStopsAtTheFirstFailure) {
    FrameSource frames;
    frames.SetFrame({{{20, 0x000000FF}, {41, 0x00010101}}, false});
    EXPECT_FALSE(sync.SendMusicFrame(frames));
    EXPECT_TRUE(keyboard.GetReceivedReports().empty());

    frames.SetFrame({{{20, 0x00332211}, {50, 0x00FFFFFF}}, true});
    EXPECT_TRUE(sync.SendMusicFrame(frames));
    EXPECT_EQ(Commands(keyboard), Framed(device::CmdStreamColors, 7));
    device::sim::SimFirmware firmware = keyboard.GetFirmware();
    EXPECT_EQ(firmware.streamedFrames, 1);
    EXPECT_EQ(firmware.streamedColors[24], 0x11); // Q at position 8: red, green, blue
    EXPECT_EQ(firmware.streamedColors[26], 0x33);

    keyboard.ClearReceived();
    keyboard.SetSilent(true);
    EXPECT_FALSE(sync.SendMusicFrame(frames));
    EXPECT_EQ(Commands(keyboard), (std::vector<uint8_t>{device::CmdBegin, device::CmdStreamColors}));
}

TEST_F(DeviceSyncTest, FactoryResetReadsBothTables2500msLater) {
    store.SaveKeyAssignment(Key(0, 20, 2, 4, 224));
    sync.WriteKeyTable();
    keyboard.ClearReceived();
    const uint64_t before = clock.NowMs();
    uint64_t refreshedAt = 0;
    pages.onCall = [&](const std::string& call) {
        if (call == "profiles")
            refreshedAt = clock.NowMs();
    };

    sync.FactoryReset();

    // One acknowledged exchange (10 ms before the write, 2 before the read), then the wait.
    EXPECT_EQ(refreshedAt - before, 12u + 2500);
    std::vector<uint8_t> expected{device::CmdFactoryReset, device::CmdBegin};
    expected.insert(expected.end(), 14, device::CmdReadKeys);
    expected.insert(expected.end(), 14, device::CmdReadDefaultKeys);
    expected.push_back(device::CmdEnd);
    EXPECT_EQ(Commands(keyboard), expected);
    EXPECT_EQ(keyboard.GetFirmware().factoryResets, 1);
    store::KeyAssignment gone;
    EXPECT_FALSE(store.GetKeyAssignment(1, 0, 20, gone)); // the reset keyboard holds only defaults
}

TEST_F(DeviceSyncTest, SilentKeyboardMakesProceduresSlowButTheyEnd) {
    keyboard.SetSilent(true);
    EXPECT_FALSE(sync.WriteKeyColors());
    // Begin, 7 chunks and end, each through the whole ladder of 434 ms.
    EXPECT_EQ(Elapsed(), 9u * 434);
    EXPECT_EQ(ReportsWith(keyboard, device::CmdWriteColors).size(), 7u * 3); // three writes each
}

TEST_F(DeviceSyncTest, StopRequestCutsProceduresShort) {
    sync.SetStopRequested(true);
    sync.FactoryReset();
    EXPECT_TRUE(keyboard.GetReceivedReports().empty());
    EXPECT_EQ(Elapsed(), 0u);

    sync.SetStopRequested(false);
    EXPECT_TRUE(sync.WriteKeyColors());
}

} // namespace
