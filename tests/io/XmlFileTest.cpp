#include "base/Utf.h"
#include "io/XmlDocument.h"
#include "io/XmlEncoding.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

class XmlFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("xml-file-test-" + std::to_string(getpid()) + "-" +
                                             testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all);
        fs::remove_all(m_dir);
    }

    fs::path Write(const std::string& name, const std::string& bytes) {
        fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Loads a file and returns its text, failing the test when loading fails.
    std::u16string Load(const std::string& bytes) {
        io::XmlDocument document;
        std::u16string text;
        EXPECT_TRUE(document.LoadFile(Write("in.xml", bytes), text));
        return text;
    }

    fs::path m_dir;
};

const std::string kDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<macro name=\"\xC3\xA9t\xC3\xA9\"/>\r\n";

std::string ToUtf16Bytes(const std::u16string& text, bool bigEndian) {
    std::string bytes;
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST_F(XmlFileTest, DecodesByMarkDeclarationAndFirstByte) {
    const std::u16string expected = base::ToUtf16(kDocument);
    const std::u16string utf16 = base::ToUtf16(
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<macro name=\"\xC3\xA9t\xC3\xA9\"/>\r\n");
    EXPECT_EQ(Load(kDocument), expected);
    EXPECT_EQ(Load("\xEF\xBB\xBF" + kDocument), expected);
    EXPECT_EQ(Load("\xFF\xFE" + ToUtf16Bytes(utf16, false)), utf16);
    EXPECT_EQ(Load("\xFE\xFF" + ToUtf16Bytes(utf16, true)), utf16);
    EXPECT_EQ(Load(ToUtf16Bytes(utf16, false)), utf16); // no mark, recognised by its zero bytes
    EXPECT_EQ(Load("<?xml version='1.0' encoding='ISO-8859-1'?><a v='\xE9t\xE9'/>"),
              u"<?xml version='1.0' encoding='ISO-8859-1'?><a v='\u00e9t\u00e9'/>");
    EXPECT_EQ(Load("<html><head><meta charset=\"windows-1251\"></head></html>\xC4"),
              u"<html><head><meta charset=\"windows-1251\"></head></html>\u0414");
    EXPECT_EQ(Load("<a v='\xC3\xA9'/>"), u"<a v='\u00e9'/>"); // no declaration, first byte "<"
    EXPECT_EQ(Load("<metadata charset='x'>\xC3\xA9</metadata>"), u"<metadata charset='x'>\u00e9</metadata>");
    EXPECT_EQ(Load("<a>x\0y</a>\0"s), u"<a>xy</a>");
}

TEST_F(XmlFileTest, DamagedBytesAreReplacedAndRecorded) {
    struct Case {
        std::string bytes;
        std::u16string text;
        const char* diagnostic;
    };
    const Case cases[] = {
        {"<a v='\xFF'/>", u"<a v='\uFFFD'/>", "conversion_loss"},
        {"<a/>\xE2\x82", u"<a/>\uFFFD", "truncation_error"},
        {"\xFF\xFE<\0a\0/\0>\0!"s, u"<a/>", "truncation_error"},
        {"<?xml version='1.0' encoding='SHIFT_JIS'?><a/>\x81",
         u"<?xml version='1.0' encoding='SHIFT_JIS'?><a/>", "truncation_error"},
        {"<?xml version='1.0' encoding='UTF-8'?><a>\0\0</a>"s,
         u"<?xml version='1.0' encoding='UTF-8'?><a></a>", "nulls_removed"},
    };
    for (const Case& c : cases) {
        io::XmlResultLog log;
        std::u16string text;
        EXPECT_TRUE(io::DecodeXmlBytes(c.bytes, text, log)) << c.diagnostic;
        EXPECT_EQ(text, c.text) << c.diagnostic;
        EXPECT_TRUE(log.Has(c.diagnostic)) << c.diagnostic;
    }
}

TEST_F(XmlFileTest, RefusesWhatItCannotReadCleanly) {
    io::XmlDocument document;
    std::u16string text = u"stale";
    EXPECT_FALSE(document.LoadFile(m_dir / "missing.xml", text));
    EXPECT_EQ(text, u"");
    EXPECT_TRUE(document.GetResultLog().Has("file_error"));

    EXPECT_FALSE(
        document.LoadFile(Write("bad.xml", "<?xml version='1.0' encoding='no-such-set'?><a/>"), text));
    EXPECT_EQ(text, u"");

    fs::path fifo = m_dir / "fifo.xml";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(document.LoadFile(fifo, text)); // would block forever if it were read
    EXPECT_FALSE(document.LoadFile(m_dir, text));

    fs::path huge = m_dir / "huge.xml";
    std::ofstream(huge).close();
    fs::resize_file(huge, io::XmlDocument::kMaxFileSize + 1);
    EXPECT_FALSE(document.LoadFile(huge, text));
}

TEST_F(XmlFileTest, SavesInTheDeclaredEncodingWithoutAMark) {
    io::XmlDocument document;
    document.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    document.AppendElement(u"macro");
    document.SetAttribute(u"name", u"\u00e9t\u00e9");
    fs::path path = m_dir / "out.xml";
    ASSERT_TRUE(document.SaveFile(document.GetText(), path));
    EXPECT_EQ(Read(path), kDocument);

    // Other declared encodings; a character the encoding lacks becomes a reference.
    ASSERT_TRUE(document.SaveFile(u"<?xml version='1.0' encoding='ISO-8859-1'?><a v='\u00e9\u20ac'/>", path));
    EXPECT_EQ(Read(path), "<?xml version='1.0' encoding='ISO-8859-1'?><a v='\xE9&#8364;'/>");
    ASSERT_TRUE(document.SaveFile(u"<?xml version='1.0' encoding='UTF-16'?><a/>", path));
    EXPECT_EQ(Read(path), ToUtf16Bytes(u"<?xml version='1.0' encoding='UTF-16'?><a/>", false));
    std::u16string back;
    ASSERT_TRUE(document.LoadFile(path, back));
    EXPECT_EQ(back, u"<?xml version='1.0' encoding='UTF-16'?><a/>");

    document.SetFlags(io::kXmlWriteByteOrderMark);
    ASSERT_TRUE(document.SaveFile(u"<a/>", path));
    EXPECT_EQ(Read(path), "\xEF\xBB\xBF<a/>");
}

TEST_F(XmlFileTest, AFailedSaveLeavesNoFileBehind) {
    io::XmlDocument document;
    EXPECT_FALSE(document.SaveFile(u"<?xml version='1.0' encoding='no-such-set'?><a/>", m_dir / "a.xml"));
    EXPECT_FALSE(document.SaveFile(u"<a/>", m_dir / "no-folder" / "a.xml"));
    if (getuid() != 0) { // root writes anywhere
        fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(document.SaveFile(u"<a/>", m_dir / "a.xml"));
        fs::permissions(m_dir, fs::perms::owner_all);
    }
    EXPECT_TRUE(fs::is_empty(m_dir));
}

} // namespace
