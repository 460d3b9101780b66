#include "base/Text.h"

#include "base/Utf.h"

#include <cstdio>

namespace base {

std::string EscapeForLog(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t plainStart = 0;
    auto flushPlain = [&](size_t end) { out += ToUtf8(text.substr(plainStart, end - plainStart)); };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        char escape[8] = {};
        if (c == u'\\')
            std::snprintf(escape, sizeof escape, "\\\\");
        else if (c == u'\n')
            std::snprintf(escape, sizeof escape, "\\n");
        else if (c == u'\r')
            std::snprintf(escape, sizeof escape, "\\r");
        else if (c == u'\t')
            std::snprintf(escape, sizeof escape, "\\t");
        else if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
        else if (c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
                 c == 0x200E || c == 0x200F || c == 0x061C)
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
        else
            continue;
        flushPlain(i);
        out += escape;
        plainStart = i + 1;
    }
    flushPlain(text.size());
    return out;
}

} // namespace base
