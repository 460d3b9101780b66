#include "model/ConfigIni.h"

#include "base/Utf.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

using base::operator""_u16;
using model::ConfigIni;
using namespace std::string_literals;
namespace config = model::config;

std::string Utf16LeWithBom(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

constexpr char kSample[] = "; comment\r\n"
                           "[OTHER]\r\n"
                           "VERSION=wrong section\r\n"
                           "[TEXT]\r\n"
                           "VID =3f51\r\n"
                           "PID=5A09\r\n"
                           "2052=\xE9\x94\xAE\xE7\x9B\x98\r\n"
                           "VERSION=  1.0.0  \r\n"
                           "LAN_ENGLISH=1\r\n"
                           "LAN_CHINESE =1\r\n"
                           "KB_IMAGE_X=-12px\r\n"
                           "CAPTION_Y=abc\r\n"
                           "MUSIC_AMPLITUDE=99999999999\r\n"
                           "VERSION=second\r\n";

// Windows editors save as UTF-8 (with or without BOM) or as UTF-16 LE with BOM; all read alike.
TEST(ConfigIniTest, ReadsEveryEncodingAlike) {
    std::string utf8 = kSample;
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, Utf16LeWithBom(base::ToUtf16(utf8)),
                                     utf8.substr(0, utf8.size() - 2)}) {
        ConfigIni ini = ConfigIni::FromBytes(bytes);
        EXPECT_EQ(ini.GetText(config::kVid), u"3f51");
        EXPECT_EQ(ini.GetText(u"2052"), u"\u952E\u76D8");
        EXPECT_EQ(ini.GetText(config::kVersion), u"1.0.0"); // trimmed; the first occurrence wins
        EXPECT_EQ(ini.GetInt(config::kLanEnglish), 1);
        EXPECT_EQ(ini.GetInt(config::kLanChinese), 1);
    }
}

TEST(ConfigIniTest, KeyNamesMatchExactlyWithTheirBlanks) {
    ConfigIni ini = ConfigIni::FromBytes(kSample);
    EXPECT_EQ(ini.GetText(config::kPid), u""); // the file says "PID" without the blank
    EXPECT_EQ(ini.GetText(u"VID"), u"");
    EXPECT_EQ(ini.GetInt(u"LAN_CHINESE"), 0);
    EXPECT_EQ(ini.GetText(u"OTHER", config::kVersion), u"wrong section");
}

TEST(ConfigIniTest, IntegersReadLeadingDigitsAndDefaultToZero) {
    ConfigIni ini = ConfigIni::FromBytes(kSample);
    EXPECT_EQ(ini.GetInt(config::kKbImageX), -12);
    EXPECT_EQ(ini.GetInt(config::kCaptionY), 0);
    EXPECT_EQ(ini.GetInt(config::kMusicAmplitude), 2147483647);
    EXPECT_EQ(ini.GetInt(config::kLanThai), 0);
}

TEST(ConfigIniTest, LongValuesAreCutAt259Units) {
    std::string longValue(1000, 'x');
    ConfigIni ini = ConfigIni::FromBytes("[TEXT]\nCOPYRIGHT=" + longValue + "\n");
    EXPECT_EQ(ini.GetText(config::kCopyright), std::u16string(259, u'x'));

    // A cut never leaves half a surrogate pair behind.
    std::string emoji;
    for (int i = 0; i < 200; ++i)
        emoji += "\xF0\x9F\x98\x80";
    ini = ConfigIni::FromBytes("[TEXT]\nCOPYRIGHT=" + emoji + "\n");
    EXPECT_EQ(ini.GetText(config::kCopyright).size(), 258u);
}

TEST(ConfigIniTest, MissingFileSectionOrGarbageGiveEmptyAndZero) {
    ConfigIni missing = ConfigIni::Load("/nonexistent/config.ini");
    EXPECT_EQ(missing.GetText(config::kVid), u"");
    EXPECT_EQ(missing.GetInt(config::kLanEnglish), 0);

    for (std::string bytes : {std::string("VID =3F51\nLAN_ENGLISH=1\n"), std::string("[TEXT\nVID =3F51\n"),
                              "\xFF\xFE\x00"s, "\x80\xC0[TE\0XT]=\n==\n["s}) {
        ConfigIni ini = ConfigIni::FromBytes(bytes);
        EXPECT_EQ(ini.GetText(config::kVid), u"");
        EXPECT_EQ(ini.GetInt(config::kLanEnglish), 0);
    }
}

TEST(ConfigIniTest, ShippedFileHasEveryKey) {
    ConfigIni ini = ConfigIni::Load(QUILLON_SOURCE_DIR "/assets/config.ini");
    EXPECT_EQ(ini.GetText(config::kVid).size(), 4u);
    EXPECT_EQ(ini.GetText(config::kPid).size(), 4u);
    for (auto language : {u"2052", u"1033", u"1049", u"1036", u"1054"})
        EXPECT_FALSE(ini.GetText(language).empty()) << base::ToUtf8(language);
    EXPECT_FALSE(ini.GetText(config::kVersion).empty());
    EXPECT_FALSE(ini.GetText(config::kCopyright).empty());
    for (auto key : {config::kMusicAmplitude, config::kKbImageX, config::kKbImageY, config::kCaptionY})
        EXPECT_GT(ini.GetInt(key), 0) << base::ToUtf8(key);
    for (auto key : {config::kLanChinese, config::kLanEnglish, config::kLanRussian, config::kLanFrench,
                     config::kLanThai})
        EXPECT_EQ(ini.GetInt(key), 1) << base::ToUtf8(key);
}

} // namespace
