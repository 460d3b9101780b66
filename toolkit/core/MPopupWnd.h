#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/MObject.h"
#include "toolkit/core/MWindow.h"
#include "toolkit/core/PaintManager.h"

#include <string>

namespace tessel {

/// A popup drawn by its paint manager (drop-down lists and the like) that closes itself when it
/// loses activation. Its notifications go to an owner object. The popup object is owned by
/// whoever made it and must outlive its window.
class TESSEL_EXPORT MPopupWnd : public MWindow, public MObject {
public:
    MPopupWnd();
    ~MPopupWnd() override;

    // MWindow.
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(const MSG* msg) override;
    /// Initialises the paint manager and calls InitUI with the client rectangle; returns 1.
    BOOL OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // MObject.
    const char16_t* GetClassNameW() const override { return u"MPopupWnd"; }
    /// Passes a control's notification to OnMessage.
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control) override;

    // Virtual operations, in this order.
    /// The owner object; observing.
    virtual MObject* GetParent() const { return m_owner; }
    virtual void InitUI(const CRect& client);
    virtual void UISize(const CRect& client);
    /// A notification of a control; 0 by default.
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    /// Posts WM_CLOSE with the same parameters; returns 1.
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    /// Posts WM_CLOSE.
    virtual void CloseWindow();
    /// Drops caption and frame; the only extended style left is WS_EX_TOOLWINDOW.
    virtual LRESULT OnCreate(const CREATESTRUCTW* create);
    virtual LRESULT OnSize(UINT type, int width, int height);
    /// Deactivation closes the popup.
    virtual LRESULT OnNcActivate(BOOL active);
    /// 1 by default; the window is then destroyed by default processing.
    virtual LRESULT OnClose();
    virtual LRESULT PostNcDestroy();

    void SetParent(MObject* owner) { m_owner = owner; }
    /// Calls the owner's OnBaseMessage(0, code, wParam, lParam); 0 without an owner.
    LRESULT SendMessageToParent(UINT code, WPARAM wParam, LPARAM lParam);
    MControl* CreateControl(const std::u16string& className, UINT id, const CRect& rect,
                            const char16_t* title = u"", BOOL visible = 1, BOOL enabled = 1);
    MControl* CreateArea(const std::u16string& className, UINT id, const CRect& rect,
                         const char16_t* title = u"", BOOL visible = 1, BOOL enabled = 1);
    MControl* GetControl(UINT id) const { return m_pm.GetControl(id); }
    BOOL LoadBKImage(const std::u16string& fileName) { return m_pm.LoadBKImage(fileName); }
    void SetBackMode(enumBackMode mode, int border) { m_pm.SetBackMode(mode, border); }
    void SetScrollResID(int vertical, int horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
    void SetLayeredWindow(BOOL on) { m_pm.SetLayeredWindow(on); }
    /// Applies the alpha (when not 255) or else the colour key (when not 0xF1F1F1).
    void SetupBackTranslucent();
    PaintManager& GetPaintManager() { return m_pm; }

protected:
    MObject* m_owner = nullptr;
    PaintManager m_pm;
    COLORREF m_colorKey = 0xF1F1F1;
    int m_alpha = 255;
};

} // namespace tessel
