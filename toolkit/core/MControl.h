#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/MObject.h"
#include "toolkit/platform/draw/Graphics.h"
#include "toolkit/platform/draw/Surface.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tessel {

class PaintManager;

/// A position resolved against a span: type 0 from an edge, 1 from the centre, 2 in percent.
struct M_POSITION_ITEM {
    int type = 0;
    BOOL fromFarSide = 0;
    float value = 0;
};

/// The base of every windowless control: geometry, states, children and areas, input routing,
/// drawing with its caches, update requests and notifications.
///
/// Ownership: a control owns its areas and children and deletes them when they are removed or
/// when it is destroyed. Every other pointer it holds (parent, manager, hot child) only observes.
/// Threads: the window's thread. The area list is guarded by lock A, the child list by lock B;
/// traversals hold the lock across calls into children (parent lock before child lock).
class TESSEL_EXPORT MControl : public MObject {
public:
    MControl(MObject* parent, UINT id, const CRect& rect, BOOL visible, BOOL enabled, BOOL responsive);
    /// Deletes all areas and children and tells the manager to forget the control.
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    // MObject.
    /// "MControl"; each concrete control returns its own factory name.
    const char16_t* GetClassNameW() const override { return u"MControl"; }
    /// Passes an update request of a child on to this control's parent, so that children of a
    /// plain control get repainted too.
    LRESULT OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control) override;

    // Virtual operations, in this order.
    /// Prepares what needs the window; nothing by default.
    virtual void InitControl(PaintManager* manager);
    /// True when visible and the point lies inside the rectangle.
    virtual BOOL PtInRect(CPoint point) const;
    /// Draws the control itself (clipped to its rectangle and `clip`).
    virtual BOOL DrawControl(Graphics& g, const CRect& clip) = 0;
    /// Draws every visible child meeting `clip`; returns 1.
    virtual BOOL DrawSubControls(Graphics& g, const CRect& clip);
    /// Whether the control draws at a point; 0 by default.
    virtual BOOL IsDraw(CPoint point);
    /// Sets the cache-valid flag; clearing it clears it for every child and area meeting the
    /// control too.
    virtual void SetUpdate(BOOL valid, COLORREF background);
    /// Takes (1) or drops (0) the focus; dropping also drops it in every child.
    virtual void SetControlFocus(BOOL on);
    /// Hook for building sub-controls; nothing by default.
    virtual void InitUI(const CRect& rect);
    /// May move a mouse point into content coordinates; returns 0 (no change) by default.
    virtual BOOL OnMousePointChange(CPoint& point);
    /// Whether the control takes the mouse at a point inside it; 1 by default.
    virtual BOOL OnCheckMouseResponse(UINT flags, CPoint point);
    /// A window message offered to the control first; 0 (not handled) by default.
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    /// A notification from a child; 0 by default.
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    /// Stores the rectangle.
    virtual void SetControlRect(const CRect& rect);
    /// Stores the visibility.
    virtual void SetControlVisible(BOOL on);
    /// Shows or hides native windows the control keeps; nothing by default.
    virtual void SetControlWndVisible(BOOL on);
    /// Stores the enabled state.
    virtual void SetControlEnabled(BOOL on);
    /// A tick of one of the control's timers; 0 by default.
    virtual BOOL OnControlTimer();
    /// The picture offered when the control is dragged out; null by default. The caller owns it.
    virtual std::unique_ptr<Surface> GetControlDropBitmap();
    /// Handlers of the control's own input; each returns 0 (not handled) by default.
    virtual BOOL OnControlMouseMove(UINT flags, CPoint point);
    /// Sets the control's cursor when it has one and the point is inside; returns 1.
    virtual BOOL OnControlSetCursor(UINT flags, CPoint point);
    virtual BOOL OnControlLButtonDown(UINT flags, CPoint point);
    virtual BOOL OnControlLButtonUp(UINT flags, CPoint point);
    virtual BOOL OnControlLButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnControlScroll(UINT kind, UINT direction, CPoint point);
    virtual BOOL OnControlRButtonDown(UINT flags, CPoint point);
    virtual BOOL OnControlRButtonUp(UINT flags, CPoint point);
    virtual BOOL OnControlRButtonDblClk(UINT flags, CPoint point);
    /// 1 when the control has a hot key equal to (vk, modifiers); else 0.
    virtual BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers);
    /// Called after the window moved the control; nothing by default.
    virtual void OnPositionChange();
    /// Invalidates the control's rectangle in the window (all of it when layered); nothing
    /// without a manager or window.
    virtual void InvalidateRect(const RECT* rect, BOOL erase);

    // Geometry and relations.
    /// Stores the rectangle and, when visible, asks to repaint the old and new places.
    void SetRect(const CRect& rect);
    void SetRect(int x, int y, int width, int height);
    const CRect& GetRect() const { return m_rect; }
    UINT GetControlID() const { return m_id; }
    MObject* GetParantObject() const { return m_parent; }
    void SetParent(MObject* parent) { m_parent = parent; }
    PaintManager* GetManager() const { return m_manager; }
    /// Stores the manager and calls InitControl with it.
    void SetManager(PaintManager* manager);
    /// The children; they belong to this control.
    const std::vector<MControl*>& GetControls() const { return m_children; }
    const std::vector<MControl*>& GetAreas() const { return m_areas; }
    /// Takes ownership of a child (drawn above the control) and returns it, observing; the child's
    /// parent becomes this control and it shares the manager. Null for a null child.
    MControl* AddControl(std::unique_ptr<MControl> child);
    /// The same for an area (drawn beneath the control).
    MControl* AddArea(std::unique_ptr<MControl> area);

    // States.
    /// Shows or hides the control and repaints its place; nothing when unchanged.
    void SetVisible(BOOL on);
    /// The same, repainting only when `repaint` is nonzero.
    void SetVisible(BOOL on, BOOL repaint);
    /// True when a dialog is reached going up, else when every ancestor control is visible;
    /// false without a parent.
    BOOL IsParentVisible() const;
    /// Enables or disables the control and repaints it when visible; nothing when unchanged.
    void SetEnabled(BOOL on);
    BOOL IsVisible() const { return m_visible; }
    BOOL IsEnabled() const { return m_enabled; }
    BOOL IsDragDrop() const { return m_dragDrop; }
    void SetDragDrop(BOOL on) { m_dragDrop = on; }
    BOOL GetRresponse() const { return m_responsive; }
    void SetRresponse(BOOL on) { m_responsive = on; }
    BOOL IsTabStop() const { return m_tabStop; }
    void SetTabStop(BOOL on) { m_tabStop = on; }
    BOOL GetDblClk() const { return m_dblClk; }
    BOOL IsFocused() const { return m_focused; }
    /// True when the window's focus control is this one.
    BOOL IsFocusControl() const;
    BOOL IsKeyDown() const { return m_keyDown; }
    BOOL GetUpdate() const { return m_cacheValid; }
    BOOL IsRunTimer() const { return m_runTimer; }
    void SetRunTimer(BOOL on) { m_runTimer = on; }
    BOOL UseImageECM() const { return 0; }
    BOOL IsAnimating() const { return m_animating; }
    /// Sets the key (virtual key and modifier code 0, 16, 17, 18 or a sum) that OnControlKeyDown
    /// answers; vk 0 means none.
    void SetHotKey(UINT vk, UINT modifiers) {
        m_hotKey = vk;
        m_hotKeyModifiers = modifiers;
    }
    std::unique_ptr<Surface> GetDropBitmap() { return GetControlDropBitmap(); }
    MControl* GetHotChild() const { return m_hotChild; }

    // Tooltip and cursor.
    /// Stores the text shown when the mouse rests over the control.
    void SetTooltip(const char16_t* text) { m_tooltip = text ? text : u""; }
    /// Shows `text` in the window's tooltip now and makes this control its owner.
    void SetTooltip(const std::u16string& text, const CRect& rect);
    /// Hides the window's tooltip.
    void ClearTooltip();
    const std::u16string& GetTooltip() const { return m_tooltip; }
    UINT GetTooltipCtrlID() const { return 0; }
    void SetTooltipCtrlID(UINT) {}
    /// Keeps one of the cursors "arrow", "wait", "cross", "sizewe", "sizens", "hand", "help" as the
    /// control's cursor; any other name leaves it. Returns 0.
    int SetCursorEx(const char16_t* name);
    /// The IDC_ cursor of the control, 0 when it leaves the cursor alone.
    int GetCursor() const { return m_cursor; }

    // Updates and notifications.
    /// When visible or forced, asks the parent to repaint the control's rectangle.
    void UpdateControl(BOOL redraw, BOOL force = 0);
    void UpdateControl(const CRect& rect, BOOL redraw, BOOL force);
    /// When visible or forced, marks the control animating (or not) and asks for a repaint.
    void UpdateAControl(BOOL stopAnimating, BOOL force);
    /// Sends a notification with this control's id to the parent; its answer, 0 without one.
    LRESULT SendMessageW(UINT code, WPARAM wParam, LPARAM lParam);

    // Children.
    /// The first control with `id` among the children (each with its subtree), then the areas;
    /// hidden ones included. Null when none; observing.
    MControl* GetControl(UINT id) const;
    /// Deletes a child (it loses the window focus first); false when it is not a child.
    BOOL RemoveControl(MControl* child);
    /// Deletes every area and child.
    void RemoveAllControl();
    /// Registers the control with the manager's animation timer.
    void AddMTimer();

    // Input entry points, called by the owner.
    BOOL OnMouseMove(UINT flags, CPoint point);
    BOOL OnLButtonDown(UINT flags, CPoint point);
    BOOL OnLButtonUp(UINT flags, CPoint point);
    BOOL OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnRButtonDown(UINT flags, CPoint point);
    BOOL OnRButtonUp(UINT flags, CPoint point);
    BOOL OnRButtonDblClk(UINT flags, CPoint point);
    BOOL OnScroll(UINT kind, UINT direction, CPoint point);
    BOOL OnKeyDown(UINT vk, UINT repeat, UINT modifiers);
    BOOL OnKeyUp(UINT, UINT, UINT) { return 0; }
    BOOL OnTimer();
    void OnFocus(BOOL on) { SetControlFocus(on); }
    /// Draws areas, the control and its children where they meet `clip`.
    void Draw(Graphics& g, const CRect& clip);

    // Drawing caches for subclasses.
    /// Marks the cache valid and makes a new cache picture when the size changed. Returns the
    /// cache, owned by the control; null for sizes below 1.
    Surface* UpdateMemDC(Graphics& g, int width, int height);
    /// The same for the animation cache, which is made anew each time; sets the animating flag.
    Surface* UpdateAnimateDC(Graphics& g, int width, int height);
    Surface* GetMemDC() const { return m_cache.get(); }
    Surface* GetAnimateDC() const { return m_animateCache.get(); }

    /// Resolves a position item against the span from low to high.
    static int PositionItem2Value(const M_POSITION_ITEM& item, int low, int high);

    // Window-level focus helpers of a control: none.
    MControl* GetFocusControl() const { return nullptr; }
    MControl* GetNextFocusableControl() const { return nullptr; }
    MControl* GetPrevFocusableControl() const { return nullptr; }

protected:
    enum class Button { Left, Right };
    BOOL RouteButtonDown(Button button, UINT flags, CPoint point);
    BOOL RouteButtonUp(Button button, UINT flags, CPoint point);
    BOOL RouteButtonDblClk(Button button, UINT flags, CPoint point);
    /// The point a child receives: the untranslated one for the scroll bars (ids 1 and 2).
    static CPoint PointFor(const MControl* child, CPoint original, CPoint translated);
    /// Forgets a child that is going away (hot child).
    void ForgetChild(MControl* child);

    MObject* m_parent;
    PaintManager* m_manager = nullptr;
    UINT m_id;
    CRect m_rect;
    BOOL m_visible;
    BOOL m_enabled;
    BOOL m_dragDrop = 0;
    BOOL m_responsive;
    BOOL m_tabStop = 0;
    BOOL m_dblClk = 0;
    BOOL m_pressedInside = 0;
    BOOL m_keyDown = 0;
    BOOL m_focused = 0;
    UINT m_hotKey = 0;
    UINT m_hotKeyModifiers = 0;
    BOOL m_cacheValid = 0;
    BOOL m_animating = 0;
    BOOL m_runTimer = 0;
    std::vector<MControl*> m_areas;    // owned; lock A
    std::vector<MControl*> m_children; // owned; lock B
    mutable std::recursive_mutex m_lockA;
    mutable std::recursive_mutex m_lockB;
    MControl* m_hotChild = nullptr;
    std::unique_ptr<Surface> m_cache;
    std::unique_ptr<Surface> m_animateCache;
    std::u16string m_tooltip;
    int m_cursor = 0;
};

} // namespace tessel
