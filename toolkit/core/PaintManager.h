#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/FontCache.h"
#include "toolkit/core/ImageCache.h"
#include "toolkit/core/MControl.h"
#include "toolkit/core/MShadow.h"
#include "toolkit/platform/Win32Types.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tessel {

class MWindow;

/// How the background image is drawn: at its own size at (0, 0), or as a nine-grid frame over
/// the client area with the back border as corner size.
enum enumBackMode { BACK_MODE_IMAGE = 0, BACK_MODE_FRAME = 1 };

/// The kind of an overlay message; it only tags the message.
enum MsgLevel { MSG_INFO = 0, MSG_WARNING = 1, MSG_ERROR = 2 };

/// The bridge between one native window and its windowless controls: keeps the top-level areas
/// and controls, paints them into the window's ARGB picture, tracks the mouse, routes buttons,
/// wheel and keys, moves the focus with Tab, runs control timers, and shows the window's tooltip,
/// caret and message overlay. It owns its top-level controls and areas, the window's image and
/// font caches and its tooltip window. Everything runs on the window's thread.
class TESSEL_EXPORT PaintManager {
public:
    /// The system timer ids the manager keeps for itself. Control timers never use them.
    static constexpr UINT kCaretTimer = 6553;
    static constexpr UINT kMessageTimer = 66;
    static constexpr UINT kFadeTimer = 88;
    static constexpr UINT kProgressTimer = 99;
    static constexpr UINT kAnimationTimer = 6554;
    /// Control timer ids are taken in turn from 0 to this count minus 1.
    static constexpr UINT kControlTimerIds = 240;

    PaintManager();
    /// Deletes the controls and closes the tooltip window.
    virtual ~PaintManager();
    PaintManager(const PaintManager&) = delete;
    PaintManager& operator=(const PaintManager&) = delete;

    /// Takes the window and its owner object; nothing for a null or dead window.
    void Init(HWND hwnd, MWindow* owner);
    BOOL IsInitialised() const { return m_initialised; }
    /// Handles a message of the window; nonzero means handled (no default processing).
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    /// Tab and Shift+Tab move the focus; true when the message was consumed.
    BOOL PreTranslateMessage(const MSG* msg);
    /// The window went away: releases everything (as DestroyData).
    void OnDestroyMessage(HWND hwnd);
    /// Stops timers, deletes every control and area, clears the caches; only when initialised.
    void DestroyData();

    /// The window-level update request: marks the control stale when `redraw`, marks every
    /// visible control painted above it within `rect` stale, and invalidates the union.
    LRESULT OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control);
    /// Called by a control being destroyed: every pointer to it is dropped (hover, focus,
    /// caret owner, lists, timers).
    void ForgetControl(MControl* control);

    // Window.
    MWindow* GetMDialog() const { return m_owner; }
    HWND GetPaintWnd() const { return m_hwnd; }
    HWND GetToolTipWnd() const { return m_hwnd; }
    void Invalidate();
    void InvalidateRect(const CRect& rect, BOOL erase);
    BOOL GetClientRect(CRect& rect) const;
    BOOL GetWindowRect(CRect& rect) const;
    BOOL GetClientSize(int& width, int& height) const;
    void SetCapture();
    void ReleaseCapture();
    BOOL IsCaptured() const { return m_captured; }
    LRESULT SendMessageW(UINT message, WPARAM wParam, LPARAM lParam);

    // Appearance.
    /// Loads the background image from the images folder; false (no image) on failure.
    BOOL LoadBKImage(const std::u16string& fileName);
    BOOL LoadBKImage(int resourceId, const std::u16string& resourceType);
    void SetBackMode(enumBackMode mode, int border) {
        m_backMode = mode;
        m_backBorder = border;
    }
    /// Inner and border colours of the background without image (COLORREF).
    void SetBackColor(COLORREF inner, COLORREF border) {
        m_backColor = inner;
        m_borderColor = border;
    }
    COLORREF GetBackColor() const { return m_backColor; }
    void SetLayeredWindow(BOOL on);
    BOOL IsLayered() const { return m_layered; }
    void EnableWndDrag(BOOL on) { m_wndDrag = on; }
    void SetScrollResID(int vertical, int horizontal) {
        m_scrollV = vertical;
        m_scrollH = horizontal;
    }
    int GetScrollVID() const { return m_scrollV; }
    int GetScrollHID() const { return m_scrollH; }
    COLORREF GetDefaultEnabledColor() const { return m_defaultEnabledColor; }
    void SetDefaultEnabledColor(COLORREF c) { m_defaultEnabledColor = c; }
    void SetCaptionRect(const CRect& r) { m_captionRect = r; }
    const CRect& GetCaptionRect() const { return m_captionRect; }
    void SetWindowMaxSize(int w, int h) { m_maxSize = {w, h}; }
    SIZE GetWindowManSize() const { return m_maxSize; }
    void SetWindowMixSize(int w, int h) { m_minSize = {w, h}; }
    SIZE GetWindowMinSize() const { return m_minSize; }

    // Focus and hover.
    /// Moves the focus: the old control drops it, the new one takes it; nothing when equal.
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return m_focus; }
    /// The next visible, enabled tab-stop top-level control after the focus one, wrapping.
    MControl* GetNextFocusableControl() const;
    MControl* GetPrevFocusableControl() const;
    MControl* GetHoverControl() const { return m_hover; }

    // Control timers.
    /// Starts a timer for a control; its ticks call the control's OnTimer. 0 when the same timer
    /// already runs, when the window is missing, or when every id is in use.
    BOOL SetTimer(MControl* control, UINT userId, UINT ms);
    BOOL KillTimer(MControl* control, UINT userId);
    BOOL KillTimer(MControl* control);
    void ClearTimers();

    // Animation timer: periodic ticks on the window's thread for registered controls.
    BOOL SetMTimer(UINT ms);
    BOOL KillMTimer(UINT id);
    BOOL KillMTimer();
    void AddMTimer(MControl* control);
    void DeleteMTimer(MControl* control);

    // Tooltip.
    /// Shows `text` below `rect` (client coordinates); empty text hides the tooltip.
    void SetTooltip(const std::u16string& text, const CRect& rect);
    /// Hides the tooltip and forgets its owner.
    void ClearTooltip();
    UINT GetTooltipCtrlID() const { return m_tooltipOwner; }
    void SetTooltipCtrlID(UINT id) { m_tooltipOwner = id; }
    const std::u16string& GetTooltipText() const { return m_tooltipText; }

    // Caret of the text editors.
    BOOL CreateCaret(int width, int height);
    /// Moves the caret to (x, y) for `owner`, whose text colour it is drawn in.
    BOOL SetCaretPos(MControl* owner, int x, int y);
    BOOL ShowCaret(BOOL on);
    void DrawCaret(Graphics& g, const CRect& clip);
    MControl* GetCurrentCaretObject() const { return m_caretOwner; }
    BOOL IsCaretShownPhase() const { return m_caretPhase; }

    // Message and progress overlay.
    /// Shows a message for 3 s, then fades it out.
    void SetMessage(const std::u16string& text, const CRect& rect, MsgLevel level);
    /// Shows a progress bar with a text, moving to `percent`; fades out after 100.
    void SetProgress(int percent, const std::u16string& text, const CRect& rect);
    int GetOverlayAlpha() const { return m_overlayAlpha; }
    int GetShownProgress() const { return m_progress; }

    // Shadow.
    /// Makes the window's drop shadow (once) and shows it when `show`; the manager owns it.
    /// Null without a window.
    MShadow* CreateShadow(BOOL show);
    /// The shadow, null before CreateShadow; owned by the manager.
    MShadow* GetShadow() const { return m_shadow.get(); }

    // Lists.
    /// Makes a control of a registered class with the factory, as a top-level control with
    /// `parent` as owner of its notifications. Null for an unknown class; owned by the manager.
    MControl* CreateControl(const std::u16string& className, MObject* parent, UINT id, const CRect& rect,
                            const char16_t* title, BOOL visible, BOOL enabled);
    /// The same into the area list.
    MControl* CreateArea(const std::u16string& className, MObject* parent, UINT id, const CRect& rect,
                         const char16_t* title, BOOL visible, BOOL enabled);
    /// Takes ownership of a top-level control (attaching it to this manager); returns it, observing.
    MControl* AddControl(std::unique_ptr<MControl> control);
    MControl* AddArea(std::unique_ptr<MControl> area);
    /// The first control with `id` in the controls, then the areas, depth first; observing.
    MControl* GetControl(UINT id) const;
    const std::vector<MControl*>& GetControls() const { return m_controls; }
    const std::vector<MControl*>& GetAreas() const { return m_areas; }
    /// Deletes a top-level control; false when it is not one.
    BOOL RemoveControl(MControl* control);
    void ClearAreaControls();
    void ClearControls();
    void ClearAllControls();

    ImageCache& GetImageCache() { return m_images; }
    FontCache& GetFontCache() { return m_fonts; }

private:
    void Paint();
    void PaintBackground(Graphics& g, const CRect& client);
    void PaintOverlay(Graphics& g);
    LRESULT OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseLeave();
    LRESULT OnButtonDown(bool left, UINT flags, CPoint point);
    LRESULT OnButtonUp(bool left, UINT flags, CPoint point);
    LRESULT OnButtonDblClk(bool left, UINT flags, CPoint point);
    LRESULT OnNcActivate(BOOL active);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(UINT vk);
    LRESULT OnTimer(UINT id);
    void OnOverlayTimer(UINT id);
    void StartFade();
    bool IsTopLevel(const MControl* control) const;
    MControl* TopLevelAncestor(MControl* control) const;
    void KillSystemTimer(UINT id);
    static UINT ModifierCode();

    struct TimerEntry {
        MControl* control;
        UINT userId;
        UINT systemId;
        bool killed;
    };

    MWindow* m_owner = nullptr;
    BOOL m_initialised = 0;
    HWND m_hwnd = nullptr;
    COLORREF m_backColor = 0x100F06;
    COLORREF m_borderColor = 0x575757;
    CRect m_captionRect;
    SIZE m_maxSize;
    SIZE m_minSize;
    BOOL m_layered = 0;
    const ImgResInfo* m_backImage = nullptr; // owned by m_images
    enumBackMode m_backMode = BACK_MODE_IMAGE;
    int m_backBorder = 4;

    std::u16string m_overlayText;
    MsgLevel m_overlayLevel = MSG_INFO;
    int m_overlayAlpha = 0;
    int m_progress = 0;
    int m_progressTarget = 0;
    CRect m_overlayRect;

    UINT m_animationTimer = 0;
    UINT m_timerCounter = 4096;
    BOOL m_active = 0;
    BOOL m_tracking = 0;
    BOOL m_leftPressed = 0;
    BOOL m_leftDblClk = 0;
    BOOL m_rightPressed = 0;
    BOOL m_rightDblClk = 0;
    BOOL m_captured = 0;
    BOOL m_wndDrag = 1;
    int m_scrollV = 102;
    int m_scrollH = 101;
    COLORREF m_defaultEnabledColor = 0x808080;
    MControl* m_hover = nullptr;
    MControl* m_focus = nullptr;
    UINT m_hoverTime = 400;
    UINT m_tooltipOwner = 0;
    HWND m_tooltip = nullptr;
    std::u16string m_tooltipText;

    std::vector<MControl*> m_areas;      // owned
    std::vector<MControl*> m_controls;   // owned
    std::vector<MControl*> m_animations; // observing
    mutable std::recursive_mutex m_areaLock;
    mutable std::recursive_mutex m_controlLock;
    std::recursive_mutex m_animationLock;

    CRect m_caretRect;
    BOOL m_caretPhase = 0;
    BOOL m_caretEnabled = 0;
    MControl* m_caretOwner = nullptr;

    ImageCache m_images;
    FontCache m_fonts;
    std::vector<TimerEntry> m_timers;
    std::unique_ptr<MShadow> m_shadow;
    std::recursive_mutex m_timerLock;
};

} // namespace tessel
