// A sample dialog of the toolkit core: a dialog drawn by its paint manager with an area and a few
// plain swatch controls that change colour on hover and press. Clicking "OK" ends the dialog with
// 1, "Cancel" or Escape with 2; the result is printed.
//
//   core_demo                       runs on the display (or headless with TESSEL_BACKEND)
//   core_demo --snapshot out.png    runs headless, paints once and writes a picture

#include "toolkit/core/MControlFont.h"
#include "toolkit/core/MDialog.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/headless/HeadlessBackend.h"

#include <cstdio>
#include <cstring>
#include <memory>

using namespace tessel;

namespace {

constexpr int kLeft = 60, kTop = 60, kWidth = 480, kHeight = 320;
constexpr UINT kOk = 101, kCancel = 102;

/// A filled rectangle with a centred title; lighter while hovered, darker while pressed.
class Swatch : public MControlFont {
public:
    Swatch(MObject* parent, UINT id, const CRect& rect, const char16_t* title, Argb color)
        : MControlFont(parent, id, rect, title, 1, 1, 1), m_color(color) {
        SetAlignment(1, 4);
    }
    const char16_t* GetClassNameW() const override { return u"Swatch"; }

    BOOL DrawControl(Graphics& g, const CRect&) override {
        const Argb color = m_pressed ? 0xFF202830 : m_hover ? 0xFF5A8AC0 : m_color;
        g.FillRect(ToIntRect(m_rect), color);
        if (!m_title.empty())
            g.DrawText(m_title, ToIntRect(m_rect), Font(u"DejaVu Sans", 16), 0xFFFFFFFF,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return 1;
    }
    BOOL OnControlMouseMove(UINT, CPoint point) override {
        const bool inside = m_rect.Contains(point);
        if (inside != m_hover) {
            m_hover = inside;
            UpdateControl(1);
        }
        return 1;
    }
    BOOL OnControlLButtonDown(UINT, CPoint) override {
        m_pressed = true;
        UpdateControl(1);
        return 1;
    }
    BOOL OnControlLButtonUp(UINT, CPoint point) override {
        const bool click = m_pressed && m_rect.Contains(point);
        m_pressed = false;
        UpdateControl(1);
        if (click)
            SendMessageW(NM_CLICKED, 0, 0);
        return 1;
    }

private:
    Argb m_color;
    bool m_hover = false;
    bool m_pressed = false;
};

class SampleDialog : public MDialog {
public:
    void InitUI(const CRect& client) override {
        m_pm.SetBackColor(RGB(0x24, 0x28, 0x30), RGB(0x60, 0x68, 0x78));
        m_pm.AddArea(std::make_unique<Swatch>(this, 10, CRect{0, 0, client.right, 40}, u"", 0xFF303846));
        m_pm.AddControl(std::make_unique<Swatch>(this, 11, CRect{30, 70, 150, 170}, u"", 0xFFC04040));
        m_pm.AddControl(std::make_unique<Swatch>(this, 12, CRect{180, 70, 300, 170}, u"", 0xFF40A060));
        m_pm.AddControl(std::make_unique<Swatch>(this, 13, CRect{330, 70, 450, 170}, u"", 0xFFD0A030));
        m_pm.AddControl(std::make_unique<Swatch>(this, kOk, CRect{200, 250, 320, 290}, u"OK", 0xFF3A6EA5));
        m_pm.AddControl(
            std::make_unique<Swatch>(this, kCancel, CRect{340, 250, 460, 290}, u"Cancel", 0xFF505860));
    }
    LRESULT OnMessage(UINT id, UINT code, WPARAM, LPARAM) override {
        if (code == NM_CLICKED && id == kOk)
            DoOK();
        else if (code == NM_CLICKED && id == kCancel)
            DoCancel();
        return 0;
    }
    BOOL PreTranslateMessage(const MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
            DoCancel();
            return 1;
        }
        return MDialog::PreTranslateMessage(msg);
    }
};

} // namespace

int main(int argc, char** argv) {
    const char* snapshot = argc == 3 && std::strcmp(argv[1], "--snapshot") == 0 ? argv[2] : nullptr;
    if (!InitPlatform(snapshot ? BackendKind::Headless : BackendKind::Automatic)) {
        std::fprintf(stderr, "no windowing backend could start\n");
        return 1;
    }
    SampleDialog dialog;
    if (!dialog.Create(nullptr, u"Tessel sample dialog", WS_POPUP, 0,
                       RECT{kLeft, kTop, kLeft + kWidth, kTop + kHeight})) {
        std::fprintf(stderr, "the dialog could not be made\n");
        return 1;
    }
    if (snapshot) {
        dialog.ShowWindow(SW_SHOW);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        const bool saved = HeadlessBackend::Active()->SavePng(dialog.GetSafeHwnd(), snapshot);
        return saved ? 0 : 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    const UINT result = dialog.ShowModal(SW_SHOW);
    std::printf("result %u\n", result);
    std::fflush(stdout);
    return 0;
}
