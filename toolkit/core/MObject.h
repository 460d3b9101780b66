#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Win32Types.h"
#include "toolkit/platform/draw/Geometry.h"

#include <algorithm>

namespace tessel {

class MControl;

/// Rectangles of controls are in window client coordinates; right and bottom are exclusive.
using CRect = RECT;
using CPoint = POINT;

/// The common part of two rectangles; an empty rectangle when they do not meet.
inline RECT IntersectRects(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? RECT{} : r;
}
/// The smallest rectangle holding both; an empty one is ignored.
inline RECT UnionRects(const RECT& a, const RECT& b) {
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}
inline IntRect ToIntRect(const RECT& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

/// Anything that can own controls: a window class or a control. Owners receive their controls'
/// notifications and update requests.
class TESSEL_EXPORT MObject {
public:
    virtual ~MObject() = default;

    /// True when GetClassNameW equals `name` exactly (case-sensitive); false for a null name.
    virtual bool IsClass(const char16_t* name) const;
    /// The class name, which is also the factory name; null by default.
    virtual const char16_t* GetClassNameW() const { return nullptr; }
    /// A further class tag for the program's dialogs; null by default.
    virtual const char16_t* GetObjectClass() const { return nullptr; }
    /// The name of the base class a program class stands for; null by default.
    virtual const char16_t* BaseObjectClassName() const { return nullptr; }
    /// A notification from a control with its id; ignored (0) by default.
    virtual LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    /// A control asks for `rect` to be repainted (`redraw`: its cached drawing is stale too);
    /// ignored (0) by default.
    virtual LRESULT OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control);
};

/// The notification codes controls send to their owner.
enum : UINT {
    NM_PRESSED = 1,
    NM_CLICKED = 2,
    NM_DBLCLICK = 3,
    NM_RCLICK = 5,
    NM_KEYCHECK = 7,
    NM_SCROLLED = 8,
    NM_SELECTED = 9,
    NM_FRAMESELECTED = 24,
    NM_TEXTCHANGED = 26,
    NM_COLORPICKED = 27,
    NM_SPINCHANGED = 28,
    NM_EDITEND = 29,
    NM_EDITBEGIN = 30,
    NM_ICONCLICKED = 31,
};

} // namespace tessel
