#include "base/Text.h"

#include "base/Utf.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace base {

namespace {

template <typename Char>
Char ToLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <typename Char>
Char ToUpper(Char c) {
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

template <typename Char, typename Convert>
std::basic_string<Char> Converted(std::basic_string_view<Char> text, Convert convert) {
    std::basic_string<Char> out(text);
    for (Char& c : out)
        c = convert(c);
    return out;
}

} // namespace

char AsciiToLower(char c) {
    return ToLower(c);
}
char AsciiToUpper(char c) {
    return ToUpper(c);
}
char16_t AsciiToLower(char16_t c) {
    return ToLower(c);
}
char16_t AsciiToUpper(char16_t c) {
    return ToUpper(c);
}
std::string AsciiToLower(std::string_view text) {
    return Converted(text, ToLower<char>);
}
std::string AsciiToUpper(std::string_view text) {
    return Converted(text, ToUpper<char>);
}
std::u16string AsciiToLower(std::u16string_view text) {
    return Converted(text, ToLower<char16_t>);
}
std::u16string AsciiToUpper(std::u16string_view text) {
    return Converted(text, ToUpper<char16_t>);
}

bool IsAsciiBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

std::u16string_view TrimLeftBlanks(std::u16string_view text) {
    while (!text.empty() && IsAsciiBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    text = TrimLeftBlanks(text);
    while (!text.empty() && IsAsciiBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string_view TrimSpaces(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    return text;
}

int ParseLeadingInt(std::u16string_view text) {
    text = TrimLeftBlanks(text);
    const bool negative = !text.empty() && text.front() == u'-';
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+'))
        text.remove_prefix(1);
    // One past INT_MAX still fits, so INT_MIN is reached exactly; beyond it the value saturates.
    long long value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min(value * 10 + (c - u'0'), static_cast<long long>(INT_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int>(
        std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

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
