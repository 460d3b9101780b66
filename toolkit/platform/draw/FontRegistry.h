#pragma once

#include "toolkit/TesselExport.h"

#include <filesystem>
#include <string>

typedef struct _PangoFontMap PangoFontMap;

namespace tessel {

/// Fonts and font configuration that only this process sees: font files are added to the
/// process's fontconfig set (never installed for the user), configuration files (aliases) are
/// parsed into it, and text drawing picks the changes up on its next layout.
class TESSEL_EXPORT FontRegistry {
public:
    /// Adds a font file (TTF, OTF, TTC) for this process; false when fontconfig cannot read it.
    static bool AddFontFile(const std::filesystem::path& path);

    /// Parses a fontconfig file (aliases, rules) into this process's configuration; false when
    /// it is missing or malformed.
    static bool LoadConfigFile(const std::filesystem::path& path);

    /// Registers the toolkit's own fonts once per process: every font file and every .conf file
    /// in the "fonts" folder beside the executable (or in the program's data folder). Returns
    /// whether the folder was found and everything in it loaded; later calls return the first
    /// result.
    static bool RegisterToolkitFonts();

    /// The family that text in `face` is actually drawn with (after aliases and fallbacks);
    /// empty if no font can be loaded at all.
    static std::u16string ResolveFamily(const std::u16string& face);

    /// The Pango font map for the calling thread, brought up to date with the fonts registered
    /// so far. Owned by the registry; valid until the thread ends.
    static PangoFontMap* FontMap();
};

} // namespace tessel
