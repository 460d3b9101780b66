#include "model/ConfigIni.h"

#include "base/ProgramPaths.h"
#include "base/Text.h"
#include "base/Utf.h"

#include <fstream>

namespace model {

namespace {

// config.ini is a few hundred bytes; anything far larger is not ours, and reading only its start
// keeps a stray huge file from exhausting memory.
constexpr size_t kMaxFileBytes = 1 << 20;

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    // An odd last byte cannot be part of a unit and is dropped.
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto first = static_cast<unsigned char>(bytes[i]);
        auto second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

std::u16string Decode(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return DecodeUtf16(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return base::ToUtf16(bytes);
}

} // namespace

ConfigIni ConfigIni::Load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::string bytes(kMaxFileBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return FromBytes(bytes);
}

std::filesystem::path ConfigIni::DefaultPath() {
    return base::ProgramDataDir() / "config.ini";
}

ConfigIni ConfigIni::FromBytes(std::string_view bytes) {
    ConfigIni ini;
    std::u16string text = Decode(bytes);
    std::u16string_view rest = text;
    std::u16string section;
    bool inSection = false;
    while (!rest.empty()) {
        size_t end = rest.find_first_of(u"\r\n");
        std::u16string_view line = rest.substr(0, end);
        rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);

        std::u16string_view content = base::TrimLeftBlanks(line);
        if (content.empty() || content.front() == u';' || content.front() == u'#')
            continue;
        if (content.front() == u'[') {
            size_t close = content.find(u']');
            inSection = close != std::u16string_view::npos;
            if (inSection)
                section = std::u16string(content.substr(1, close - 1));
            continue;
        }
        size_t equals = content.find(u'=');
        if (!inSection || equals == std::u16string_view::npos)
            continue;
        // The key keeps its trailing blanks: "VID " and "VID" are different keys.
        std::u16string_view value = base::TrimBlanks(content.substr(equals + 1));
        if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
            value = value.substr(1, value.size() - 2);
        ini.m_entries.push_back({section, std::u16string(content.substr(0, equals)), std::u16string(value)});
    }
    return ini;
}

const ConfigIni::Entry* ConfigIni::Find(std::u16string_view section, std::u16string_view key) const {
    // The first occurrence wins, as with the system's own reader of such files.
    for (const Entry& entry : m_entries) {
        if (entry.section == section && entry.key == key)
            return &entry;
    }
    return nullptr;
}

std::u16string ConfigIni::GetText(std::u16string_view section, std::u16string_view key) const {
    const Entry* entry = Find(section, key);
    if (!entry)
        return {};
    std::u16string value = entry->value.substr(0, kMaxTextLength);
    // Never leave half of a surrogate pair at the cut.
    if (value.size() == kMaxTextLength && value.back() >= 0xD800 && value.back() <= 0xDBFF)
        value.pop_back();
    return value;
}

int ConfigIni::GetInt(std::u16string_view section, std::u16string_view key) const {
    const Entry* entry = Find(section, key);
    return entry ? base::ParseLeadingInt(entry->value) : 0;
}

} // namespace model
