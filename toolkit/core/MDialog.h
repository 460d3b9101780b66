#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/MObject.h"
#include "toolkit/core/MWindow.h"
#include "toolkit/core/PaintManager.h"

#include <string>

namespace tessel {

/// The message that ends a modal dialog; wParam carries the end code.
constexpr UINT WM_MDIALOG_END = WM_USER + 66;

/// A skinned top-level window drawn by its paint manager: the base of every dialog. The dialog
/// object is owned by the program and must outlive its window; the paint manager it holds owns
/// the controls.
class TESSEL_EXPORT MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    // MWindow.
    /// Runs the dialog's own handler, then the paint manager, then default processing.
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    /// Tab and Shift+Tab move the focus between the controls.
    BOOL PreTranslateMessage(const MSG* msg) override;
    /// Initialises the paint manager and calls InitUI with the client rectangle; returns 1.
    BOOL OnInitDialog() override;
    /// Releases what the paint manager holds, then PostNcDestroy.
    void OnDestroyMessage(HWND hwnd) override;

    // MObject.
    const char16_t* GetClassNameW() const override { return u"MDialog"; }
    /// Passes a control's notification to OnMessage.
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    /// Passes an update request to the paint manager.
    LRESULT OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control) override;

    // Virtual operations, in this order.
    /// The screen point below a control where a balloon points: type 0 left, 1 centre, 2 right.
    virtual POINT GetAirBladderPoint(MControl* control, int type);
    /// Minimises the window.
    virtual void OnMinimize();
    /// Restores a maximised window, else maximises it.
    virtual void OnMaximize();
    /// Where the dialog builds its controls; nothing by default.
    virtual void InitUI(const CRect& client);
    /// Where the dialog lays its controls out after a resize; nothing by default.
    virtual void UISize(const CRect& client);
    /// A notification of a control; 0 by default.
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    /// Message 1090: posts WM_CLOSE with the same parameters; returns 1.
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    /// Drops the caption and the sizing frame.
    virtual LRESULT OnCreate(const CREATESTRUCTW* create);
    /// Applies the translucency, calls UISize and repaints.
    virtual LRESULT OnSize(UINT type, int width, int height);
    virtual LRESULT OnMouseMove(UINT flags, CPoint point);
    virtual LRESULT OnMouseLeave();
    virtual LRESULT OnMouseHover(UINT flags, CPoint point);
    virtual LRESULT OnMouseWheel(UINT flags, int delta, CPoint point);
    virtual LRESULT OnLButtonDown(UINT flags, CPoint point);
    virtual LRESULT OnLButtonUp(UINT flags, CPoint point);
    virtual LRESULT OnLButtonDblClk(UINT flags, CPoint point);
    virtual LRESULT OnRButtonDown(UINT flags, CPoint point);
    virtual LRESULT OnRButtonUp(UINT flags, CPoint point);
    virtual LRESULT OnRButtonDblClk(UINT flags, CPoint point);
    virtual LRESULT OnKeyDown(UINT vk, UINT repeat, UINT flags);
    virtual LRESULT OnNcHitTest(CPoint screenPoint);
    virtual LRESULT OnGetMinMaxInfo(MINMAXINFO* info);
    virtual LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcActivate(BOOL active);
    /// 1 by default.
    virtual LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    /// 1 by default.
    virtual LRESULT OnWindowPosChanged(WINDOWPOS* pos);
    virtual LRESULT OnPaint();
    virtual void OnTimer(UINT id);
    virtual LRESULT OnNcPaint();
    /// 1 by default; the window is then destroyed by default processing.
    virtual LRESULT OnClose();
    virtual LRESULT OnDestroy();
    /// Called last, after the window is gone; 0 by default.
    virtual LRESULT PostNcDestroy();

    // Controls.
    /// Makes a control of a registered class into the control list with this dialog as parent;
    /// null for an unknown class. Owned by the paint manager.
    MControl* CreateControl(const std::u16string& className, UINT id, const CRect& rect,
                            const char16_t* title = u"", BOOL visible = 1, BOOL enabled = 1);
    /// The same into the area list (drawn beneath the controls).
    MControl* CreateArea(const std::u16string& className, UINT id, const CRect& rect,
                         const char16_t* title = u"", BOOL visible = 1, BOOL enabled = 1);
    MControl* GetControl(UINT id) const { return m_pm.GetControl(id); }
    const std::vector<MControl*>& GetControls() const { return m_pm.GetControls(); }
    void SetFocusControl(MControl* control) { m_pm.SetFocusControl(control); }
    PaintManager& GetPaintManager() { return m_pm; }

    // Ending.
    /// Post message 1090 with the end code 1, 2, 2, 6 or 7.
    void DoOK() { PostMessageW(WM_MDIALOG_END, IDOK, 0); }
    void DoCancel() { PostMessageW(WM_MDIALOG_END, IDCANCEL, 0); }
    void DoClose() { PostMessageW(WM_MDIALOG_END, IDCANCEL, 0); }
    void DoYes() { PostMessageW(WM_MDIALOG_END, IDYES, 0); }
    void DoNo() { PostMessageW(WM_MDIALOG_END, IDNO, 0); }

    // Appearance, kept by the paint manager.
    BOOL LoadBKImage(const std::u16string& fileName) { return m_pm.LoadBKImage(fileName); }
    BOOL LoadBKImage(int resourceId, const std::u16string& type) {
        return m_pm.LoadBKImage(resourceId, type);
    }
    void SetBackMode(enumBackMode mode, int border) { m_pm.SetBackMode(mode, border); }
    void SetScrollResID(int vertical, int horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
    void SetLayeredWindow(BOOL on) { m_pm.SetLayeredWindow(on); }
    void EnableWndDrag(BOOL on) { m_pm.EnableWndDrag(on); }
    void SetTooltip(const std::u16string& text, const CRect& rect) { m_pm.SetTooltip(text, rect); }
    void ClearTooltip() { m_pm.ClearTooltip(); }
    void SetTooltipCtrlID(UINT id) { m_pm.SetTooltipCtrlID(id); }
    UINT GetTooltipCtrlID() const { return m_pm.GetTooltipCtrlID(); }
    BOOL SetMTimer(UINT ms) { return m_pm.SetMTimer(ms); }
    BOOL KillMTimer(UINT id) { return m_pm.KillMTimer(id); }
    /// Shows a message; an empty rectangle means a 200-pixel box centred at the bottom, moved
    /// down by the message offset.
    void SetMessage(const std::u16string& text, const CRect& rect, MsgLevel level = MSG_INFO);
    void SetProgress(int percent, const std::u16string& text, const CRect& rect) {
        m_pm.SetProgress(percent, text, rect);
    }
    void SetMessageOffset(int offset) { m_messageOffset = offset; }

    /// Makes the drop shadow (owned by the paint manager) and shows it when `show`.
    MShadow* CreateShadow(BOOL show) { return m_pm.CreateShadow(show); }
    /// Shadow parameters; 0 without a shadow or outside the accepted range.
    BOOL SetSize(int size) { return m_pm.GetShadow() ? m_pm.GetShadow()->SetSize(size) : 0; }
    BOOL SetSharpness(int sharpness) {
        return m_pm.GetShadow() ? m_pm.GetShadow()->SetSharpness(sharpness) : 0;
    }
    BOOL SetDarkness(int darkness) { return m_pm.GetShadow() ? m_pm.GetShadow()->SetDarkness(darkness) : 0; }
    BOOL SetPosition(int x, int y) { return m_pm.GetShadow() ? m_pm.GetShadow()->SetPosition(x, y) : 0; }
    BOOL SetShadowColor(COLORREF color) { return m_pm.GetShadow() ? m_pm.GetShadow()->SetColor(color) : 0; }
    BOOL SetShadowImage(const Surface* image, int corner) {
        return m_pm.GetShadow() ? m_pm.GetShadow()->SetShadowImage(image, corner) : 0;
    }
    /// Shows or hides the shadow.
    void SetShadowShow(BOOL show) {
        if (MShadow* shadow = m_pm.GetShadow())
            show ? shadow->ShowShadow() : shadow->DisableShadow();
    }

    /// Applies the alpha (when not 255) or else the colour key (when not 0xFFFFFF).
    void SetupBackTranslucent();
    void SetAlpha(uint8_t alpha) { m_alpha = alpha; }
    void SetColorKey(COLORREF key) { m_colorKey = key; }

protected:
    PaintManager m_pm;
    COLORREF m_colorKey = 0xFFFFFF;
    int m_alpha = 255;
    int m_messageOffset = 0;
    CRect m_clientRect;
};

} // namespace tessel
