#include "io/ExchangeFile.h"

#include "base/Utf.h"

#include <algorithm>
#include <climits>

namespace io {

std::filesystem::path ExportFilePath(const std::filesystem::path& folder, std::u16string_view name,
                                     uint64_t tick) {
    std::u16string safe(name);
    for (char16_t& c : safe) {
        if (c == u'/' || c == u'\0') {
            c = u'_';
        }
    }
    return folder / (base::ToUtf8(safe) + "-" + std::to_string(tick) + ".xml");
}

std::u16string FormatNumber(int value) {
    return base::ToUtf16(std::to_string(value));
}

int ParseNumber(std::u16string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == u' ' || (text[at] >= u'\t' && text[at] <= u'\r'))) {
        ++at;
    }
    bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = std::min(value * 10 + (text[at] - u'0'), static_cast<long long>(INT_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int>(
        std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

bool LoadDocument(const std::filesystem::path& path, XmlDocument& document) {
    std::u16string text;
    return document.LoadFile(path, text) && document.SetText(text);
}

} // namespace io
