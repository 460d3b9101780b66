#include "io/ExchangeFile.h"

#include "base/Utf.h"
#include "io/MacroFile.h"
#include "io/ProfileFile.h"
#include "tests/store/StoreTestSupport.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>

namespace {

using store::KeyAssignment;
using store::MacroStep;

// Every field an exported file carries, as one comparable line.
std::string Describe(const KeyAssignment& key) {
    return std::to_string(key.fn_layer) + " " + std::to_string(key.key_code) + " " +
           std::to_string(key.layout_value) + " [" + base::ToUtf8(key.layout_desc) + "] " +
           std::to_string(key.macro_type) + " " + std::to_string(key.macro_value) + " " +
           std::to_string(key.macro_value2) + " " + std::to_string(key.macro_value3) + " [" +
           base::ToUtf8(key.macro_desc) + "]";
}

class ExchangeFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_store.Open(m_folder.Folder(), u"kb_data")); }

    std::filesystem::path Path(const std::string& name) const { return m_folder.Root() / name; }

    KeyAssignment Key(int profile, int layer, int keyCode, int macroValue, std::u16string desc = u"") {
        KeyAssignment key;
        key.profile = profile;
        key.fn_layer = layer;
        key.key_code = keyCode;
        key.macro_type = 2;
        key.macro_value = macroValue;
        key.macro_value2 = 224;
        key.macro_desc = std::move(desc);
        return key;
    }

    // The assignments of a profile, both layers, described without their row ids.
    std::vector<std::string> Keys(int profile) {
        std::vector<KeyAssignment> keys;
        m_store.ListProfileKeyAssignments(profile, keys);
        std::vector<std::string> described;
        for (const KeyAssignment& key : keys) {
            described.push_back(Describe(key));
        }
        return described;
    }

    TempDataFolder m_folder;
    store::ProfileStore m_store;
};

// Golden file: the exact bytes of an exported profile.
TEST_F(ExchangeFileTest, ProfileFileBytes) {
    int profile = m_store.AddProfile(u"Game");
    m_store.SaveKeyAssignment(Key(profile, 1, 5, 7, u"say \"hi\" & <go>"));
    m_store.SaveKeyAssignment(Key(profile, 0, 4, 5, u"Ctrl + B"));
    ASSERT_TRUE(io::WriteProfileFile(m_store, profile, u"Game 1", Path("p.xml")));
    EXPECT_EQ(ReadWholeFile(Path("p.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<profile>\r\n"
              "<profileinfo name=\"Game 1\"/>\r\n"
              "<keyitems>\r\n"
              "<item fn_layer=\"0\" key_code=\"4\" layout_value=\"0\" layout_desc=\"\" macro_type=\"2\" "
              "macro_value=\"5\" macro_value2=\"224\" macro_value3=\"0\" macro_desc=\"Ctrl + B\"/>\r\n"
              "<item fn_layer=\"1\" key_code=\"5\" layout_value=\"0\" layout_desc=\"\" macro_type=\"2\" "
              "macro_value=\"7\" macro_value2=\"224\" macro_value3=\"0\" "
              "macro_desc=\"say &quot;hi&quot; &amp; &lt;go&gt;\"/>\r\n"
              "</keyitems>\r\n"
              "</profile>\r\n");

    int empty = m_store.AddProfile(u"Empty");
    ASSERT_TRUE(io::WriteProfileFile(m_store, empty, u"Empty", Path("e.xml")));
    EXPECT_EQ(ReadWholeFile(Path("e.xml")), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                            "<profile>\r\n"
                                            "<profileinfo name=\"Empty\"/>\r\n"
                                            "<keyitems/>\r\n"
                                            "</profile>\r\n");
}

TEST_F(ExchangeFileTest, ProfileRoundTripMakesANewProfileEachTime) {
    int profile = m_store.AddProfile(u"Ünïcode \"q\" & co");
    m_store.SaveKeyAssignment(Key(profile, 0, 4, 5, u"a \"quote\" & an ampersand\r\nand a line"));
    m_store.SaveKeyAssignment(Key(profile, 1, 30, -3, u"\U0001F600"));
    m_store.SetCurrentProfile(profile);
    ASSERT_TRUE(io::WriteProfileFile(m_store, profile, u"Ünïcode \"q\" & co", Path("p.xml")));

    std::u16string name;
    int first = io::ReadProfileFile(m_store, Path("p.xml"), name);
    int second = io::ReadProfileFile(m_store, Path("p.xml"), name);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);
    EXPECT_EQ(name, u"Ünïcode \"q\" & co");
    EXPECT_EQ(Keys(first), Keys(profile));
    EXPECT_EQ(Keys(second), Keys(profile));
    EXPECT_EQ(m_store.GetCurrentProfile(), profile); // an import is never made current
}

// One assignment of every function type a key can have, each with the values the key page stores
// for it, comes back from an exported file unchanged.
TEST_F(ExchangeFileTest, EveryFunctionTypeRoundTrips) {
    struct Case {
        int keyCode, type, value, value2;
        std::u16string desc;
    };
    const Case cases[] = {
        {41, 1, 1, 0, u"Disable Key"},      // disabled
        {20, 2, 4, 224, u"Ctrl + A"},       // key with a modifier
        {230, 2, 230, 0, u"Right Alt"},     // a modifier alone
        {26, 3, 12, 0, u"My macro"},        // macro id
        {8, 5, 6, 0, u"Scroll Down"},       // mouse
        {21, 6, 5, 0, u"Volume +"},         // multimedia
        {23, 7, 3, 0, u"Lock Computer"},    // system shortcut
        {28, 8, 300, 0, u"my editor"},      // program: other-data id above one byte
        {24, 9, 7, 0, u"example.com"},      // website
        {12, 10, 8, 0, u"Best regards, 中"} // text
    };
    int profile = m_store.AddProfile(u"All");
    for (const Case& c : cases) {
        KeyAssignment key = Key(profile, c.keyCode % 2, c.keyCode, c.value, c.desc);
        key.macro_type = c.type;
        key.macro_value2 = c.value2;
        ASSERT_TRUE(m_store.SaveKeyAssignment(key)) << c.type;
    }
    ASSERT_TRUE(io::WriteProfileFile(m_store, profile, u"All", Path("all.xml")));
    std::u16string name;
    int imported = io::ReadProfileFile(m_store, Path("all.xml"), name);
    ASSERT_GT(imported, profile);
    // The file lists the standard layer first, so compare the rows as sets.
    std::vector<std::string> original = Keys(profile);
    std::vector<std::string> back = Keys(imported);
    std::sort(original.begin(), original.end());
    std::sort(back.begin(), back.end());
    EXPECT_EQ(back.size(), std::size(cases));
    EXPECT_EQ(back, original);
}

TEST_F(ExchangeFileTest, ProfileImportTakesValuesAsTheyAre) {
    std::ofstream(Path("p.xml"), std::ios::binary)
        << "<profile><profileinfo name='Odd'/><keyitems>"
           "<item fn_layer='0' key_code='4' macro_value='9'/>" // stored, other values 0
           "<item fn_layer='0' key_code='5'/>"                 // no macro_value: not stored
           "<item fn_layer='0' key_code='0' macro_value='1'/>" // key code 0: not stored
           "<item fn_layer='0' key_code='6' macro_value='1'/>" // replaced by the next
           "<item fn_layer='0' key_code=' 6xyz' macro_value='2' macro_desc='later'/>"
           "<note/><item fn_layer='1' key_code='7' macro_value='99999999999'/>"
           "</keyitems></profile>";
    std::u16string name;
    int profile = io::ReadProfileFile(m_store, Path("p.xml"), name);
    ASSERT_GT(profile, 0);
    EXPECT_EQ(name, u"Odd");
    std::vector<std::string> keys = Keys(profile);
    ASSERT_EQ(keys.size(), 3u);
    KeyAssignment expected[3];
    expected[0].key_code = 4;
    expected[0].macro_value = 9;
    expected[1].key_code = 6;
    expected[1].macro_value = 2;
    expected[1].macro_desc = u"later";
    expected[2].fn_layer = 1;
    expected[2].key_code = 7;
    expected[2].macro_value = INT_MAX;
    for (const KeyAssignment& key : expected) {
        EXPECT_NE(std::find(keys.begin(), keys.end(), Describe(key)), keys.end()) << Describe(key);
    }
}

TEST_F(ExchangeFileTest, BrokenOrForeignFilesImportNothing) {
    const char* files[] = {
        "<profile><profileinfo name='a'/></profile><profile/>", // two top-level elements
        "<profile><profileinfo name='a'/>",                     // unended
        "<macro><macroinfo name='a'/></macro>",                 // not a profile
        "",
    };
    std::u16string name;
    for (const char* bytes : files) {
        std::ofstream(Path("bad.xml"), std::ios::binary) << bytes;
        EXPECT_EQ(io::ReadProfileFile(m_store, Path("bad.xml"), name), 0) << bytes;
    }
    EXPECT_EQ(io::ReadProfileFile(m_store, Path("missing.xml"), name), 0);
    std::vector<store::ProfileEntry> profiles;
    m_store.ListProfiles(profiles);
    EXPECT_TRUE(profiles.empty());
}

TEST_F(ExchangeFileTest, AHugeProfileFileIsCutShort) {
    std::string bytes = "<profile><profileinfo name='big'/><keyitems>";
    for (int i = 0; i < io::kMaxProfileItems; ++i) {
        bytes += "<item key_code='4' macro_value='1'/>";
    }
    bytes += "<item key_code='5' macro_value='1'/></keyitems></profile>";
    std::ofstream(Path("big.xml"), std::ios::binary) << bytes;
    std::u16string name;
    int profile = io::ReadProfileFile(m_store, Path("big.xml"), name);
    ASSERT_GT(profile, 0);
    std::vector<KeyAssignment> keys;
    m_store.ListProfileKeyAssignments(profile, keys);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key_code, 4);
}

TEST_F(ExchangeFileTest, MacroRoundTripKeepsStepOrder) {
    store::Macro macro;
    macro.name = u"M<1>";
    macro.play_times = 3;
    macro.delay_type = 2;
    macro.delay_time = 15;
    macro.link_count = 4;
    int id = m_store.AddMacro(macro);
    std::vector<MacroStep> steps;
    for (int i = 0; i < 4; ++i) {
        MacroStep step;
        step.macro_id = id;
        step.record_index = i;
        step.type = 2 + i;                    // key pressed, key released, mouse button down, mouse button up
        step.value = step.type >= 4 ? 1 : 65; // left button, or the virtual key of A
        step.delay_time = 10 * i;
        step.desc = u"step \"" + base::ToUtf16(std::to_string(i)) + u"\" & more";
        steps.push_back(step);
    }
    ASSERT_TRUE(m_store.AddMacroSteps(steps));
    ASSERT_TRUE(io::WriteMacroFile(m_store, id, u"M<1>", Path("m.xml")));
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<macro>\r\n"
        "<macroinfo name=\"M&lt;1&gt;\" times=\"3\" type=\"2\" delaytime=\"15\"/>\r\n"
        "<macroitems>\r\n"
        "<item desc=\"step &quot;0&quot; &amp; more\" type=\"2\" value=\"65\" delay_time=\"0\"/>\r\n";
    EXPECT_EQ(ReadWholeFile(Path("m.xml")).substr(0, head.size()), head);

    std::u16string name;
    int imported = io::ReadMacroFile(m_store, Path("m.xml"), name);
    ASSERT_GT(imported, id);
    EXPECT_EQ(name, u"M<1>");
    store::Macro back;
    ASSERT_TRUE(m_store.GetMacro(imported, back));
    EXPECT_EQ(back.name, u"M<1>");
    EXPECT_EQ(back.play_times, 3);
    EXPECT_EQ(back.delay_type, 2);
    EXPECT_EQ(back.delay_time, 15);
    EXPECT_EQ(back.link_count, 0);
    std::vector<MacroStep> read;
    m_store.ListMacroSteps(imported, read);
    ASSERT_EQ(read.size(), steps.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].record_index, static_cast<int>(i));
        EXPECT_EQ(read[i].desc, steps[i].desc);
        EXPECT_EQ(read[i].type, steps[i].type);
        EXPECT_EQ(read[i].value, steps[i].value);
        EXPECT_EQ(read[i].delay_time, steps[i].delay_time);
    }
    EXPECT_FALSE(io::WriteMacroFile(m_store, 999, u"none", Path("none.xml")));
}

TEST_F(ExchangeFileTest, MacroWithoutItemsOrInfo) {
    std::u16string name;
    std::ofstream(Path("a.xml"), std::ios::binary) << "<macro><macroinfo name='A' times='2'/></macro>";
    int withoutItems = io::ReadMacroFile(m_store, Path("a.xml"), name);
    ASSERT_GT(withoutItems, 0);
    std::vector<MacroStep> steps;
    EXPECT_EQ(m_store.ListMacroSteps(withoutItems, steps), 0);

    std::ofstream(Path("b.xml"), std::ios::binary)
        << "<macro><macroitems><item desc='x' value='4'/></macroitems></macro>";
    int withoutInfo = io::ReadMacroFile(m_store, Path("b.xml"), name);
    ASSERT_GT(withoutInfo, 0);
    store::Macro macro;
    ASSERT_TRUE(m_store.GetMacro(withoutInfo, macro));
    EXPECT_EQ(macro.name, u"");
    EXPECT_EQ(macro.play_times, 0);
    m_store.ListMacroSteps(withoutInfo, steps);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].value, 4);
}

// Numbers are read with base::ParseLeadingInt (tested with base).
TEST(ExchangeFileNamingTest, NumbersAndFileNames) {
    EXPECT_EQ(io::FormatNumber(-5), u"-5");
    EXPECT_EQ(io::ExportFilePath("/home/u", u"Game/Work", 12345),
              std::filesystem::path("/home/u/Game_Work-12345.xml"));
}

} // namespace
