#pragma once

#include "toolkit/TesselExport.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace tessel {

/// A font family known to a window: the name text is drawn with, and the installed family that
/// name resolves to.
class TESSEL_EXPORT FontFamily {
public:
    FontFamily(std::u16string name, std::u16string resolved)
        : m_name(std::move(name)), m_resolved(std::move(resolved)) {}

    /// The name to make Fonts with.
    const std::u16string& GetName() const { return m_name; }
    /// The family the name resolves to (after aliases); empty when unknown.
    const std::u16string& GetResolvedName() const { return m_resolved; }

private:
    std::u16string m_name;
    std::u16string m_resolved;
};

/// The font families of one window. Fonts it adds (the toolkit's faces, font files) are added for
/// the whole process and stay for it, as the font configuration cannot take one back; the cache
/// only forgets its families. Thread-safe.
class TESSEL_EXPORT FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    /// Makes the library's face with resource id 106 or 107 available to text drawing in this
    /// process; false for another id or when the toolkit's fonts cannot be loaded.
    bool AddGDITempFont(int resourceId);
    /// The family for the toolkit-wide face name (Manager::GetFontName), whatever `face` names,
    /// as every text of the toolkit is drawn in that face; null when no such family is installed
    /// or made available. Owned by the cache; valid until ClearTempFont or destruction.
    const FontFamily* FindTempFont(const std::u16string& face);
    /// Adds a font file for this process and caches a family under `face`; null when the file
    /// cannot be read. Ownership as for FindTempFont.
    const FontFamily* AddTempFont(const std::u16string& face, const std::filesystem::path& fileName);
    /// The same with a face of the library (resource id 106 or 107).
    const FontFamily* AddTempFont(const std::u16string& face, int resourceId);
    /// Forgets every cached family (fonts added to the process stay available).
    void ClearTempFont();

    /// Whether `face` names an installed family or an alias to one (rather than falling back to
    /// the default face).
    static bool FamilyExists(const std::u16string& face);

private:
    const FontFamily* Store(const std::u16string& face);

    std::mutex m_lock;
    std::map<std::u16string, std::unique_ptr<FontFamily>> m_families;
};

} // namespace tessel
