#include "toolkit/core/FontCache.h"

#include "toolkit/core/LibraryResources.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/draw/FontRegistry.h"

#include <algorithm>

namespace tessel {

namespace {

bool SameName(const std::u16string& a, const std::u16string& b) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

bool IsLibraryFace(int resourceId) {
    return resourceId == detail::kResFontOpenSans || resourceId == detail::kResFontDefaultFace;
}

} // namespace

bool FontCache::FamilyExists(const std::u16string& face) {
    if (face.empty())
        return false;
    const std::u16string resolved = FontRegistry::ResolveFamily(face);
    if (resolved.empty())
        return false;
    if (SameName(resolved, face))
        return true;
    // A name that matches nothing resolves to the default face; anything else is an alias.
    return resolved != FontRegistry::ResolveFamily(u"tessel-no-such-family");
}

bool FontCache::AddGDITempFont(int resourceId) {
    if (!IsLibraryFace(resourceId))
        return false;
    // Both faces come from the toolkit's fonts folder, registered once for the process.
    return FontRegistry::RegisterToolkitFonts();
}

const FontFamily* FontCache::FindTempFont(const std::u16string& /*face*/) {
    const std::u16string name = Manager::GetFontName();
    {
        std::lock_guard guard(m_lock);
        if (auto found = m_families.find(name); found != m_families.end())
            return found->second.get();
    }
    if (!FamilyExists(name))
        return nullptr;
    return Store(name);
}

const FontFamily* FontCache::AddTempFont(const std::u16string& face, const std::filesystem::path& fileName) {
    if (face.empty() || !FontRegistry::AddFontFile(fileName))
        return nullptr;
    return Store(face);
}

const FontFamily* FontCache::AddTempFont(const std::u16string& face, int resourceId) {
    if (face.empty() || !AddGDITempFont(resourceId))
        return nullptr;
    return Store(face);
}

const FontFamily* FontCache::Store(const std::u16string& face) {
    auto family = std::make_unique<FontFamily>(face, FontRegistry::ResolveFamily(face));
    std::lock_guard guard(m_lock);
    auto& slot = m_families[face];
    if (!slot)
        slot = std::move(family);
    return slot.get();
}

void FontCache::ClearTempFont() {
    std::lock_guard guard(m_lock);
    m_families.clear();
}

} // namespace tessel
