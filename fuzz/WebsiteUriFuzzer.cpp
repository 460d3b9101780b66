// Feeds arbitrary UTF-16 text to the website rule and checks that whatever it hands to the
// desktop is an http or https address without control characters.
#include "model/OtherDataAction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string typed;
    for (size_t i = 0; i + 1 < size; i += 2)
        typed += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    const std::u16string uri = model::WebsiteUri(typed);
    if (uri.empty())
        return 0;
    auto startsWith = [&uri](std::u16string_view prefix) {
        if (uri.size() < prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            char16_t c = uri[i];
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c + 32);
            if (c != prefix[i])
                return false;
        }
        return true;
    };
    if (!startsWith(u"http://") && !startsWith(u"https://"))
        std::abort();
    for (char16_t c : uri)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            std::abort();
    return 0;
}
