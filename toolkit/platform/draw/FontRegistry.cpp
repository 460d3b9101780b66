#include "toolkit/platform/draw/FontRegistry.h"

#include "base/Log.h"
#include "base/ProgramPaths.h"
#include "base/Utf.h"
#include "toolkit/platform/draw/CairoHandles.h"

#include <atomic>
#include <fontconfig/fontconfig.h>
#include <mutex>
#include <pango/pangofc-fontmap.h>
#include <vector>

namespace tessel {

namespace {

// Fontconfig's current configuration is shared by the whole process but is not safe to change
// from two threads at once.
std::mutex g_fontconfigLock;
// Bumped at every change, so each thread's font map knows when to drop its cached matches.
std::atomic<unsigned> g_generation{0};

struct ThreadFontMap {
    draw::FontMapPtr map;
    unsigned generation = 0;
};

} // namespace

bool FontRegistry::AddFontFile(const std::filesystem::path& path) {
    std::lock_guard lock(g_fontconfigLock);
    FcConfig* config = FcConfigGetCurrent();
    if (!config || !FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str()))) {
        base::LogWarning("draw", "cannot add font file " + path.string());
        return false;
    }
    ++g_generation;
    return true;
}

bool FontRegistry::LoadConfigFile(const std::filesystem::path& path) {
    std::lock_guard lock(g_fontconfigLock);
    std::error_code ec;
    FcConfig* config = FcConfigGetCurrent();
    // A missing file is refused here, whatever fontconfig's own handling of one is.
    if (!config || !std::filesystem::is_regular_file(path, ec) ||
        !FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(path.c_str()), FcTrue)) {
        base::LogWarning("draw", "cannot load font configuration " + path.string());
        return false;
    }
    ++g_generation;
    return true;
}

bool FontRegistry::RegisterToolkitFonts() {
    static const bool result = [] {
        std::vector<std::filesystem::path> candidates;
        if (auto dir = base::ExecutableDir(); !dir.empty())
            candidates.push_back(dir / "fonts");
        if (auto dir = base::ProgramDataDir(); !dir.empty())
            candidates.push_back(dir / "fonts");
        std::error_code ec;
        for (const auto& folder : candidates) {
            if (!std::filesystem::is_directory(folder, ec))
                continue;
            std::vector<std::filesystem::path> fonts, configs;
            for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
                const auto ext = entry.path().extension();
                if (ext == ".ttf" || ext == ".otf" || ext == ".ttc")
                    fonts.push_back(entry.path());
                else if (ext == ".conf")
                    configs.push_back(entry.path());
            }
            // Font files first, so that aliases may name the families they bring.
            bool ok = true;
            for (const auto& f : fonts)
                ok = AddFontFile(f) && ok;
            for (const auto& c : configs)
                ok = LoadConfigFile(c) && ok;
            return ok;
        }
        base::LogWarning("draw", "the toolkit's fonts folder was not found; using installed fonts");
        return false;
    }();
    return result;
}

PangoFontMap* FontRegistry::FontMap() {
    // Pango font maps are not thread-safe, so each thread that draws text has its own.
    thread_local ThreadFontMap current;
    const unsigned generation = g_generation.load();
    if (!current.map) {
        std::lock_guard lock(g_fontconfigLock);
        FcConfigGetCurrent(); // make sure the configuration exists before Pango takes it
        current.map.reset(pango_cairo_font_map_new());
        current.generation = generation;
    } else if (current.generation != generation) {
        std::lock_guard lock(g_fontconfigLock);
        if (PANGO_IS_FC_FONT_MAP(current.map.get()))
            pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(current.map.get()));
        current.generation = generation;
    }
    return current.map.get();
}

std::u16string FontRegistry::ResolveFamily(const std::u16string& face) {
    PangoFontMap* map = FontMap();
    draw::PangoContextPtr context(pango_font_map_create_context(map));
    draw::FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), base::ToUtf8(face).c_str());
    pango_font_description_set_absolute_size(description.get(), 16 * PANGO_SCALE);
    PangoFont* font = pango_font_map_load_font(map, context.get(), description.get());
    if (!font)
        return {};
    draw::FontDescriptionPtr loaded(pango_font_describe(font));
    g_object_unref(font);
    const char* family = pango_font_description_get_family(loaded.get());
    return family ? base::ToUtf16(family) : std::u16string();
}

} // namespace tessel
