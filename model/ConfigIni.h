#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// config.ini, the read-only settings file in the program's data folder: the keyboard's identity,
// a few texts and positions. It is never written by the program.
namespace model {

/// The key names the program reads; all live in section "TEXT". Three of them end in a blank, and
/// the file must spell them so.
namespace config {
inline constexpr std::u16string_view kSection = u"TEXT";
inline constexpr std::u16string_view kVid = u"VID ";
inline constexpr std::u16string_view kPid = u"PID ";
inline constexpr std::u16string_view kVersion = u"VERSION";
inline constexpr std::u16string_view kCopyright = u"COPYRIGHT";
inline constexpr std::u16string_view kMusicAmplitude = u"MUSIC_AMPLITUDE";
inline constexpr std::u16string_view kKbImageX = u"KB_IMAGE_X";
inline constexpr std::u16string_view kKbImageY = u"KB_IMAGE_Y";
inline constexpr std::u16string_view kCaptionY = u"CAPTION_Y";
inline constexpr std::u16string_view kLanChinese = u"LAN_CHINESE ";
inline constexpr std::u16string_view kLanEnglish = u"LAN_ENGLISH";
inline constexpr std::u16string_view kLanRussian = u"LAN_RUSSIAN";
inline constexpr std::u16string_view kLanFrench = u"LAN_FRENCH";
inline constexpr std::u16string_view kLanThai = u"LAN_THAI";
} // namespace config

/// An initialisation file held in memory. Reading never fails: a missing file, section or key
/// reads as empty text and 0, so the program still starts (without a keyboard identity).
class ConfigIni {
public:
    /// Longest text a value yields, in UTF-16 units; longer values are cut.
    static constexpr size_t kMaxTextLength = 259;

    ConfigIni() = default;

    /// Reads the file; a missing or unreadable file gives an empty ConfigIni.
    static ConfigIni Load(const std::filesystem::path& file);

    /// Parses the bytes of a file: UTF-8 with or without BOM, or UTF-16 with BOM.
    static ConfigIni FromBytes(std::string_view bytes);

    /// config.ini in the program's data folder.
    static std::filesystem::path DefaultPath();

    /// The value of the key in the section (names compared exactly, blanks included), trimmed
    /// of surrounding blanks and cut to kMaxTextLength units; empty when absent.
    std::u16string GetText(std::u16string_view section, std::u16string_view key) const;

    /// The value read as a decimal integer (leading sign and digits; the rest is ignored);
    /// 0 when absent or not a number. Out-of-range values saturate.
    int GetInt(std::u16string_view section, std::u16string_view key) const;

    /// Shorthands for section "TEXT", where every key of the program lives.
    std::u16string GetText(std::u16string_view key) const { return GetText(config::kSection, key); }
    int GetInt(std::u16string_view key) const { return GetInt(config::kSection, key); }

private:
    struct Entry {
        std::u16string section;
        std::u16string key;
        std::u16string value;
    };
    const Entry* Find(std::u16string_view section, std::u16string_view key) const;

    std::vector<Entry> m_entries;
};

} // namespace model
