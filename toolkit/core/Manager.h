#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Win32Types.h"
#include "toolkit/platform/draw/Color.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessel {

class MWindow;

/// The host program's handle, kept for the program's own use; the toolkit needs none.
using HINSTANCE = void*;

/// Whose resources a lookup searches: the host program's (registered with Manager::AddResource)
/// or the toolkit library's own.
enum class ResourceModule { Program, Library };

/// The bytes of one resource; shared, so a lookup stays valid even if the program replaces the
/// resource later.
using ResourceBytes = std::shared_ptr<const std::vector<uint8_t>>;

/// Toolkit-wide settings and resources. The settings are meant to be written once at start-up,
/// before any window exists, but every call is safe from any thread; resources may be added at any
/// time from any thread.
class TESSEL_EXPORT Manager {
public:
    /// Sets the face name every control copies when it is made (empty names are ignored).
    static void SetFontName(const std::u16string& name);
    /// Sets the face name and the pixel size (sizes below 1 keep the current size).
    static void SetFont(const std::u16string& name, int size);
    /// The toolkit-wide face name, "HarmonyOS Sans SC" by default.
    static std::u16string GetFontName();
    /// The toolkit-wide font size in pixels, 20 by default.
    static int GetFontWidth();
    /// The selection colour (ARGB), 0xFFFF3300.
    static Argb GetSelectColor();
    /// The theme folder name, "theme1\"; informational only, no path is built from it.
    static std::u16string GetTheme();

    /// Registers a resource of the host program under an id and a type name ("PNG", "TTF"; the
    /// type is compared without regard to ASCII case), replacing any earlier one. The program
    /// calls this for the pictures it wants to load by id.
    static void AddResource(int id, const std::u16string& type, std::vector<uint8_t> bytes);
    /// Forgets every resource of the host program.
    static void ClearResources();
    /// The bytes of a resource of the program or of the library; null when there is none.
    static ResourceBytes FindResource(int id, const std::u16string& type, ResourceModule module);

    // Windows.

    /// Stores the host program's instance handle.
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    /// Starts the windowing layer; true when it runs.
    static bool InitGdiplus();
    /// Nothing to shut down; kept for symmetry with InitGdiplus.
    static void UnInitGdiplus() {}
    /// Gets, translates and dispatches messages of the calling thread until WM_QUIT, dropping
    /// any message taken while Alt and F4 are both held; returns the quit code.
    static int MessageLoop();
    /// True exactly when Alt and F4 are both held down.
    static BOOL PreTranslateMessage(const MSG* msg);
    /// The registry of live toolkit windows (observing).
    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    static bool HasWnd(MWindow* window);
};

} // namespace tessel
