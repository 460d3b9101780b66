#pragma once

// What the full synchronisation asks of the pages once it has read the keyboard. The main window
// implements it; the calls come from the device worker's thread, in this order: FillProfileList,
// RefreshKeyPage, RefreshMacroList, RefreshLightModes, RefreshGameModeBoxes. An implementation
// may hand them to the UI thread as long as it keeps that order.
namespace device {

class PageRefresher {
public:
    virtual ~PageRefresher() = default;

    /// Refills the profile bar (creating the three default profiles when the store has none)
    /// and makes the standard layer current.
    virtual void FillProfileList() = 0;
    /// Redraws the key page for the current profile and layer.
    virtual void RefreshKeyPage() = 0;
    virtual void RefreshMacroList() = 0;
    virtual void RefreshLightModes() = 0;
    /// Ticks each game-mode box exactly when its stored setting is "1".
    virtual void RefreshGameModeBoxes(bool windowsKeysDisabled, bool altTabDisabled, bool altF4Disabled) = 0;
};

} // namespace device
