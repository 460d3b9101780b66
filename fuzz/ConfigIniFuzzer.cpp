#include "model/ConfigIni.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto ini = model::ConfigIni::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    namespace config = model::config;
    for (auto key :
         {config::kVid, config::kPid, config::kVersion, config::kCopyright, std::u16string_view(u"2052")}) {
        auto text = ini.GetText(key);
        if (text.size() > model::ConfigIni::kMaxTextLength)
            __builtin_trap();
    }
    for (auto key : {config::kMusicAmplitude, config::kKbImageX, config::kLanChinese, config::kLanThai})
        (void)ini.GetInt(key);
    return 0;
}
