#pragma once

#include "toolkit/core/ControlFactory.h"
#include "toolkit/core/MControlFont.h"
#include "toolkit/core/MDialog.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/headless/HeadlessBackend.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessel::test {

/// A plain control for tests: fills its rectangle with a colour per state (normal, hover,
/// pressed, disabled), and notes every input it gets as text ("down 5,5").
class TestPicture : public MControlFont {
public:
    static constexpr Argb kNormal = 0xFF204060;
    static constexpr Argb kHover = 0xFF30A050;
    static constexpr Argb kPressed = 0xFFC03020;
    static constexpr Argb kDisabled = 0xFF808080;

    TestPicture(MObject* parent, UINT id, const CRect& rect, const char16_t* title = u"", BOOL visible = 1,
                BOOL enabled = 1);
    const char16_t* GetClassNameW() const override { return u"TestPicture"; }

    BOOL DrawControl(Graphics& g, const CRect& clip) override;
    BOOL OnControlMouseMove(UINT flags, CPoint point) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint point) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint point) override;
    BOOL OnControlRButtonDown(UINT flags, CPoint point) override;
    BOOL OnControlScroll(UINT kind, UINT direction, CPoint point) override;
    BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) override;
    BOOL OnControlTimer() override;
    void SetControlVisible(BOOL on) override;
    /// Passes children's notifications on to the owner, as a container does.
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;

    /// Every input seen, in order.
    std::vector<std::string> events;
    int draws = 0;
    int rebuilds = 0;
    int visibleStores = 0;
    int timerTicks = 0;
    bool hover = false;
    bool pressed = false;
    /// Keys this control answers (0: none).
    UINT acceptsKey = 0;
    /// Whether moves over it are taken (as a hovering control does).
    BOOL takesMoves = 1;
};

/// A dialog that notes the notifications it gets and may act on them.
class TestDialog : public MDialog {
public:
    LRESULT OnMessage(UINT id, UINT code, WPARAM, LPARAM) override {
        notes.push_back({id, code});
        return onMessage ? onMessage(id, code) : 0;
    }
    struct Note {
        UINT id;
        UINT code;
        bool operator==(const Note&) const = default;
    };
    std::vector<Note> notes;
    std::function<LRESULT(UINT, UINT)> onMessage;
};

/// A headless screen with a dialog at (100, 100), 400 x 300 client pixels.
class CoreTest : public ::testing::Test {
protected:
    static constexpr int kLeft = 100;
    static constexpr int kTop = 100;

    void SetUp() override;
    void TearDown() override;
    HeadlessBackend& Screen() { return *HeadlessBackend::Active(); }
    void Pump();
    /// A test control as a top-level control of the dialog.
    TestPicture* Add(UINT id, const CRect& rect);
    /// Mouse actions at client coordinates of the dialog.
    void MoveTo(int x, int y);
    void Press(int x, int y);
    void Release(int x, int y);
    PaintManager& Pm() { return m_dialog.GetPaintManager(); }

    TestDialog m_dialog;
};

} // namespace tessel::test
