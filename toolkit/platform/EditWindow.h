#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Win32Types.h"

#include <string>

namespace tessel {

/// The class name of the edit window, the stand-in for the system's edit control. Create it with
/// CreateWindowExW (styles ES_MULTILINE, ES_NUMBER, ES_PASSWORD, ES_READONLY, ES_CENTER, ES_RIGHT);
/// it understands WM_SETTEXT / WM_GETTEXT, EM_SETSEL / EM_GETSEL, EM_REPLACESEL, EM_LIMITTEXT,
/// EM_UNDO, WM_CUT / WM_COPY / WM_PASTE / WM_CLEAR and WM_SETFONT, and sends WM_COMMAND with
/// EN_CHANGE, EN_SETFOCUS, EN_KILLFOCUS and EN_MAXTEXT to its parent (or owner for a popup).
inline constexpr const char16_t* kEditClassName = u"Edit";

/// The font of an edit window, passed by pointer in WM_SETFONT's wParam (copied; the caller keeps
/// ownership).
struct EditFont {
    std::u16string face = u"Sans";
    /// Height of the font in pixels.
    int pixelSize = 13;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

/// Filled in by the parent when the edit window asks with WM_CTLCOLOREDIT (wParam: a pointer to
/// this struct, lParam: the edit window). A nonzero result makes the edit use the values.
struct EditColors {
    /// Text colour, ARGB.
    uint32_t text = 0xFF000000;
    /// Background colour, ARGB; ignored when transparent is set.
    uint32_t background = 0xFFFFFFFF;
    /// Leaves the background unpainted, so the parent's picture shows through.
    bool transparent = false;
};

/// Registers the edit window class; done by InitPlatform, harmless to repeat.
TESSEL_EXPORT void RegisterEditWindowClass();

} // namespace tessel
