#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/MControl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessel {

/// Makes controls by class name. Each control class registers one maker under its class name;
/// this is the small factory the windows use until the full one with its panels exists.
class TESSEL_EXPORT ControlFactory {
public:
    using Maker = std::function<std::unique_ptr<MControl>(MObject* parent, UINT id, const CRect& rect,
                                                          const char16_t* title, BOOL visible, BOOL enabled)>;

    /// Registers (or replaces) the maker of a class; false for an empty name or no maker.
    static bool Register(const std::u16string& className, Maker maker);
    /// A new control of the class, owned by the caller; null for an unknown class.
    static std::unique_ptr<MControl> Create(const std::u16string& className, MObject* parent, UINT id,
                                            const CRect& rect, const char16_t* title, BOOL visible,
                                            BOOL enabled);
    /// The registered class names, sorted.
    static std::vector<std::u16string> ClassNames();
};

} // namespace tessel
