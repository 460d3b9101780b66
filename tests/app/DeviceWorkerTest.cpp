#include "device/sim/SimFirmware.h"
#include "tests/app/WorkerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using app::DeviceTask;
using device::HidReport;
using device::sim::SimFirmware;
using namespace workertest;

// Cycles are driven directly: each call is one pass of the task consumer.
class DeviceWorkerTest : public WorkerFixture {};

TEST_F(DeviceWorkerTest, KeyMapTaskWritesTheEncodedEntries) {
    Connect();
    const int first = store.AddEmptyMacro(u"one");
    store.AddEmptyMacro(u"two");
    const int third = store.AddEmptyMacro(u"three");
    store.SaveKeyAssignment(Key(0, 20, 2, 4, 224)); // Q: Ctrl + A
    store.SaveKeyAssignment(Key(1, 20, 2, 230));    // Q on the FN layer: right Alt alone
    store.SaveKeyAssignment(Key(0, 29, 5, 6));      // Z: scroll down
    store.SaveKeyAssignment(Key(0, 27, 3, third));  // X: the third macro
    store.SaveKeyAssignment(Key(0, 50, 2, 4));      // non-US #: no position, never written

    worker.QueueTask(DeviceTask::KeyMap);
    RunQueued();

    struct Expected {
        int keyCode;
        int layer;
        Entry entry;
    };
    const Expected written[] = {
        {20, 0, {0x10, 0x01, 0x04}},
        {20, 1, {0x10, 0x00, 0x40}},
        {29, 0, {0x21, 0x00, 0xFF}},
        {27, 0, {0x70, 0x02, 0x01}},
    };
    device::KeyTable expected = SimFirmware::DefaultKeyTable();
    for (const Expected& key : written) {
        const size_t offset = static_cast<size_t>(6 * device::KeyCodeToPosition(key.keyCode) + 3 * key.layer);
        std::copy(key.entry.begin(), key.entry.end(), expected.begin() + static_cast<long>(offset));
    }
    EXPECT_EQ(keyboard.GetFirmware().keys, expected); // every other key as the keyboard held it

    // Deleting the first macro moves the third one to position 1.
    store.DeleteMacro(first);
    worker.QueueTask(DeviceTask::KeyMap);
    RunQueued();
    EXPECT_EQ(EntryOf(keyboard.GetFirmware().keys, 27, 0), (Entry{0x70, 0x01, 0x01}));
}

TEST_F(DeviceWorkerTest, KeysOfMacrosThatDidNotFitKeepTheirEntry) {
    Connect();
    std::vector<int> ids;
    for (int i = 0; i < 33; ++i)
        ids.push_back(store.AddEmptyMacro(u"m" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26))));
    store.SaveKeyAssignment(Key(0, 6, 3, ids[31]));  // C: the 32nd macro, the last that fits
    store.SaveKeyAssignment(Key(0, 27, 3, ids[32])); // X: the 33rd

    worker.QueueTask(DeviceTask::Macros);
    worker.QueueTask(DeviceTask::KeyMap);
    RunQueued();

    const device::MacroArea sent = worker.GetLastMacroWrite();
    EXPECT_EQ(sent.sentMacroCount, 32);
    EXPECT_EQ(sent.macroCount, 33);
    EXPECT_FALSE(sent.IsComplete());
    const SimFirmware firmware = keyboard.GetFirmware();
    EXPECT_EQ(EntryOf(firmware.keys, 6, 0), (Entry{0x70, 31, 0x01}));
    EXPECT_EQ(EntryOf(firmware.keys, 27, 0), EntryOf(SimFirmware::DefaultKeyTable(), 27, 0));
}

TEST_F(DeviceWorkerTest, SettingsTaskCarriesTheLightAndGameMode) {
    Connect();
    store::LightSetting light;
    light.profile = 1;
    light.mode = 3;
    light.brightness = 60;
    light.speed = 1;
    light.direction = 2;
    light.colorful = 1;
    light.colorindex = 4;
    light.color_value = 0x00C0B0A0;
    store.AddLightSetting(light);
    store.SetCurrentLightModeId(3);
    store.SetConfigValue(u"disable_win", u"1");
    store.SetConfigValue(u"disable_altf4", u"1");

    worker.QueueTask(DeviceTask::SettingsBlock);
    RunQueued();

    std::array<uint8_t, 32> expected = SimFirmware().settings; // the keyboard's own bytes stay
    expected[2] = 3;                                           // light mode
    expected[3] = 60;                                          // brightness
    expected[4] = 3;                                           // speed 1, inverted
    expected[5] = 2;                                           // direction
    expected[6] = 1;                                           // colourful
    expected[7] = 4;                                           // colour index
    expected[8] = 0xA0;                                        // red
    expected[9] = 0xB0;                                        // green
    expected[10] = 0xC0;                                       // blue
    expected[17] = 0x05;                                       // Windows keys and Alt+F4 disabled
    EXPECT_EQ(keyboard.GetFirmware().settings, expected);
    EXPECT_EQ(Commands(keyboard), (std::vector<uint8_t>{device::CmdBegin, device::CmdReadSettings,
                                                        device::CmdWriteSettings, device::CmdEnd}));
}

TEST_F(DeviceWorkerTest, KeyColorsTaskSendsTheCustomColours) {
    Connect();
    auto color = [](int lightId, int keyCode, int rgb) {
        store::KeyColor c;
        c.profile = 1;
        c.light_id = lightId;
        c.key_code = keyCode;
        c.key_rgb = rgb;
        return c;
    };
    store.AddKeyColors({color(0, 20, 0x00030201), color(0, 41, 0x000000FF), color(0, 50, 0x00FFFFFF),
                        color(5, 26, 0x00FFFFFF)}); // the last belongs to another mode

    worker.QueueTask(DeviceTask::KeyColors);
    RunQueued();

    std::array<uint8_t, 384> expected{};
    expected[0] = 0xFF; // Esc at position 0: red
    expected[24] = 1;   // Q at position 8: red, green, blue
    expected[25] = 2;
    expected[26] = 3;
    EXPECT_EQ(keyboard.GetFirmware().colors, expected);
    EXPECT_EQ(Commands(keyboard), Framed(device::CmdWriteColors, 7));
}

TEST_F(DeviceWorkerTest, MacrosTaskSendsTheAreaInChunks) {
    Connect();
    const int macro = store.AddEmptyMacro(u"A");
    auto step = [](int macroId, int index, int type, int delay) {
        store::MacroStep s;
        s.macro_id = macroId;
        s.record_index = index;
        s.type = type;
        s.value = 'A';
        s.delay_time = delay;
        return s;
    };
    store.AddMacroSteps({step(macro, 0, 2, 0), step(macro, 1, 3, 50)});

    worker.QueueTask(DeviceTask::Macros);
    RunQueued();
    std::vector<HidReport> chunks = ReportsWith(keyboard, device::CmdWriteMacros);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0][HidReport::kLength], 56);
    EXPECT_EQ(chunks[1][HidReport::kLength], 16);
    EXPECT_EQ(chunks[1].GetOffset(), 56);
    const std::array<uint8_t, 8> steps = {0x01, 0x00, 0x42, 0x04, 0x32, 0x00, 0x82, 0x04};
    const SimFirmware firmware = keyboard.GetFirmware();
    EXPECT_EQ(firmware.macros[0], 64);
    EXPECT_TRUE(std::equal(steps.begin(), steps.end(), firmware.macros.begin() + 64));

    // Ten more steps make 112 bytes: three chunks, the third a full one of zeros.
    const int second = store.AddEmptyMacro(u"B");
    std::vector<store::MacroStep> more;
    for (int i = 0; i < 10; ++i)
        more.push_back(step(second, i, i % 2 == 0 ? 2 : 3, 5));
    store.AddMacroSteps(more);
    keyboard.ClearReceived();
    worker.QueueTask(DeviceTask::Macros);
    RunQueued();
    chunks = ReportsWith(keyboard, device::CmdWriteMacros);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[2][HidReport::kLength], 56);
    EXPECT_EQ(chunks[2].GetOffset(), 112);
    EXPECT_TRUE(std::all_of(chunks[2].bytes.begin() + HidReport::kData, chunks[2].bytes.end(),
                            [](uint8_t b) { return b == 0; }));
}

TEST_F(DeviceWorkerTest, FactoryResetSendsOneResetAndReadsBothTablesAfterTheWait) {
    Connect();
    worker.QueueTask(DeviceTask::InitialSync);
    RunQueued();
    ASSERT_TRUE(worker.IsSynchronised());
    keyboard.ClearReceived();
    const uint64_t before = workerClock.NowMs();

    worker.QueueTask(DeviceTask::FactoryReset);
    RunQueued();

    // The worker's own waits: 2500 ms for the reset, 8 ms after each chunk of the current table.
    EXPECT_EQ(workerClock.NowMs() - before, 2500u + 14 * 8);
    std::vector<uint8_t> expected{device::CmdFactoryReset, device::CmdBegin};
    expected.insert(expected.end(), 14, device::CmdReadKeys);
    expected.insert(expected.end(), 14, device::CmdReadDefaultKeys);
    expected.push_back(device::CmdEnd);
    EXPECT_EQ(Commands(keyboard), expected);
    EXPECT_TRUE(worker.IsSynchronised()); // untouched by the reset
}

TEST_F(DeviceWorkerTest, WithoutKeyboardOnlyMusicAndArrivalRun) {
    keyboard.Unplug();
    Connect();
    store.SaveKeyAssignment(Key(0, 26, 2, 5));
    for (int task = 1; task <= 8; ++task) {
        if (task != 3)
            worker.QueueTask(static_cast<DeviceTask>(task));
    }
    RunQueued();
    EXPECT_EQ(music.restarts, 1);
    EXPECT_FALSE(worker.IsSynchronised());
    EXPECT_TRUE(pages.GetCalls().empty());
    EXPECT_EQ(store.GetDeviceIndex(), -1);

    // An arrival that finds nothing refreshes the pages but leaves the store alone and the
    // synchronisation to the next arrival.
    worker.QueueTask(DeviceTask::DeviceArrived);
    RunQueued();
    EXPECT_EQ(pages.GetCalls().size(), 5u);
    EXPECT_FALSE(worker.IsSynchronised());
    store::KeyAssignment kept;
    EXPECT_TRUE(store.GetKeyAssignment(1, 0, 26, kept));

    // Plugging in queues the arrival: wait, rescan, synchronise once.
    keyboard.Plug();
    ASSERT_EQ(worker.GetQueue().GetSize(), 1u);
    const uint64_t before = workerClock.NowMs();
    RunQueued();
    EXPECT_EQ(workerClock.NowMs() - before, 1000u + 14 * 8);
    EXPECT_EQ(store.GetDeviceIndex(), 0);
    EXPECT_TRUE(worker.IsSynchronised());
    EXPECT_EQ(pages.GetCalls().size(), 10u);
    EXPECT_FALSE(store.GetKeyAssignment(1, 0, 26, kept)); // the keyboard holds the default there

    keyboard.Unplug();
    keyboard.Plug();
    RunQueued();
    EXPECT_EQ(store.GetDeviceIndex(), 0);
    EXPECT_EQ(pages.GetCalls().size(), 10u); // no second synchronisation
}

TEST_F(DeviceWorkerTest, EveryQueuedTaskRunsInOrder) {
    Connect();
    for (int i = 0; i < 3; ++i)
        worker.QueueTask(DeviceTask::SettingsBlock); // one per slider step
    worker.QueueTask(DeviceTask::KeyColors);
    for (int cycle = 0; cycle < 3; ++cycle) {
        worker.Cycle();
        EXPECT_EQ(ReportsWith(keyboard, device::CmdWriteSettings).size(), static_cast<size_t>(cycle + 1));
    }
    EXPECT_TRUE(ReportsWith(keyboard, device::CmdWriteColors).empty());
    worker.Cycle();
    EXPECT_EQ(ReportsWith(keyboard, device::CmdWriteColors).size(), 7u);
}

TEST_F(DeviceWorkerTest, SilentKeyboardNeverStopsTheWorker) {
    Connect();
    keyboard.SetSilent(true);
    worker.QueueTask(DeviceTask::InitialSync);
    worker.QueueTask(DeviceTask::SettingsBlock);
    worker.QueueTask(DeviceTask::KeyMap);
    RunQueued();
    EXPECT_FALSE(worker.IsSynchronised());
    EXPECT_TRUE(ReportsWith(keyboard, device::CmdWriteSettings).empty());

    keyboard.SetSilent(false);
    worker.QueueTask(DeviceTask::InitialSync);
    worker.QueueTask(DeviceTask::SettingsBlock);
    RunQueued();
    EXPECT_TRUE(worker.IsSynchronised());
    EXPECT_EQ(ReportsWith(keyboard, device::CmdWriteSettings).size(), 1u);
}

TEST_F(DeviceWorkerTest, MusicPageStreamsFramesWhenNothingIsQueued) {
    Connect();
    frames.SetFrame({{{20, 0x00FFFFFF}}, true});
    auto streamed = [&] { return keyboard.GetFirmware().streamedFrames; };

    worker.Cycle(); // not on the music page
    EXPECT_EQ(frames.GetTaken(), 0);

    worker.SetCurrentPage(app::DeviceWorker::kMusicPage);
    worker.Cycle();
    EXPECT_EQ(streamed(), 1);
    worker.QueueTask(DeviceTask::SettingsBlock); // a task interrupts the stream for one cycle
    worker.Cycle();
    EXPECT_EQ(streamed(), 1);
    worker.Cycle();
    EXPECT_EQ(streamed(), 2);

    frames.SetFrame({{{20, 0x00000001}}, false}); // all black: taken but not sent
    worker.Cycle();
    EXPECT_EQ(frames.GetTaken(), 3);
    EXPECT_EQ(streamed(), 2);

    frames.SetFrame({{{20, 0x00FFFFFF}}, true});
    worker.SetWindowVisible(false);
    worker.Cycle();
    EXPECT_EQ(frames.GetTaken(), 3);
}

} // namespace
