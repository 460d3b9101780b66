#include "io/ExchangeFile.h"

#include "base/Utf.h"

#include <algorithm>

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

bool LoadDocument(const std::filesystem::path& path, XmlDocument& document) {
    std::u16string text;
    return document.LoadFile(path, text) && document.SetText(text);
}

} // namespace io
