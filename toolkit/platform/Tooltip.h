#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Win32Types.h"

#include <string>

namespace tessel {

/// Makes a hidden tooltip popup owned by a window; destroyed with its owner or by DestroyWindow.
/// Returns null on failure.
TESSEL_EXPORT HWND CreateTooltipWindow(HWND owner);
/// Shows text in the tooltip just below a rectangle (screen coordinates), kept inside the work
/// area, without taking activation or input. An empty text hides it.
TESSEL_EXPORT BOOL ShowTooltip(HWND tooltip, const std::u16string& text, const RECT& near);
TESSEL_EXPORT BOOL HideTooltip(HWND tooltip);

/// Registers the tooltip class; done by InitPlatform.
TESSEL_EXPORT void RegisterTooltipClass();

} // namespace tessel
