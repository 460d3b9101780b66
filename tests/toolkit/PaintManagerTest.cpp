#include "toolkit/core/PaintManager.h"

#include "tests/toolkit/CoreTestSupport.h"
#include "toolkit/platform/VirtualKeys.h"

#include <cstdlib>

namespace tessel::test {
namespace {

constexpr uint32_t kEvdevTab = 15, kEvdevShift = 42, kEvdevAlt = 56, kEvdevF4 = 62;

// Colour channels within one step (alpha 0xFE rounds when it is premultiplied).
void ExpectNear(Argb actual, Argb expected) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int(actual >> shift) & 0xFF, e = int(expected >> shift) & 0xFF;
        EXPECT_LE(std::abs(a - e), 1) << std::hex << actual << " vs " << expected;
    }
}

class PaintManagerTest : public CoreTest {
protected:
    /// Moves the clock in steps, handling what falls due at each.
    void Tick(int total, int step) {
        for (int t = 0; t < total; t += step) {
            Screen().AdvanceClock(step);
            Pump();
        }
    }
};

TEST_F(PaintManagerTest, HoverStateIsPaintedIntoTheWindow) {
    TestPicture* control = Add(10, {40, 40, 60, 60}); // 20 x 20
    Pump();
    auto shot = CaptureWindow(m_dialog.GetSafeHwnd());
    EXPECT_EQ(Unpremultiply(shot->PixelAt(50, 50)), TestPicture::kNormal);
    // The background: border colour on the edge, inner colour inside, both at alpha 0xFE.
    ExpectNear(Unpremultiply(shot->PixelAt(0, 0)), 0xFE575757);
    ExpectNear(Unpremultiply(shot->PixelAt(5, 5)), 0xFE060F10);

    MoveTo(45, 45);
    EXPECT_EQ(Pm().GetHoverControl(), control);
    shot = CaptureWindow(m_dialog.GetSafeHwnd());
    EXPECT_EQ(Unpremultiply(shot->PixelAt(40, 40)), TestPicture::kHover);
    EXPECT_EQ(Unpremultiply(shot->PixelAt(59, 59)), TestPicture::kHover);
    EXPECT_NE(Unpremultiply(shot->PixelAt(60, 60)), TestPicture::kHover);

    MoveTo(200, 200);
    EXPECT_EQ(Pm().GetHoverControl(), nullptr);
    shot = CaptureWindow(m_dialog.GetSafeHwnd());
    EXPECT_EQ(Unpremultiply(shot->PixelAt(50, 50)), TestPicture::kNormal);
}

TEST_F(PaintManagerTest, AnUpdateRepaintsOnlyTheControlAndWhatLiesAboveIt) {
    TestPicture* below = Add(10, {10, 10, 110, 110});
    TestPicture* above = Add(11, {100, 100, 150, 150});
    TestPicture* apart = Add(12, {200, 10, 250, 60});
    Pump();
    const int belowRebuilds = below->rebuilds, aboveRebuilds = above->rebuilds, apartDraws = apart->draws;
    below->UpdateControl(1);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(m_dialog.GetSafeHwnd(), &update));
    EXPECT_EQ(update, (RECT{10, 10, 150, 150}));
    Pump();
    EXPECT_EQ(below->rebuilds, belowRebuilds + 1);
    EXPECT_EQ(above->rebuilds, aboveRebuilds + 1); // painted over the changed pixels
    EXPECT_EQ(apart->draws, apartDraws);

    // An update of the top control leaves the one beneath its cache.
    above->UpdateControl(1);
    Pump();
    EXPECT_EQ(below->rebuilds, belowRebuilds + 1);
}

TEST_F(PaintManagerTest, DeletingTheHoveredControlInItsOwnClickHandlerIsSafe) {
    TestPicture* control = Add(10, {20, 20, 80, 80});
    m_dialog.onMessage = [&](UINT id, UINT code) {
        if (id == 10 && code == NM_CLICKED)
            Pm().RemoveControl(control);
        return 0;
    };
    Press(30, 30);
    EXPECT_EQ(Pm().GetHoverControl(), control);
    EXPECT_EQ(Pm().GetFocusControl(), control);
    Release(30, 30);
    EXPECT_EQ(m_dialog.GetControl(10), nullptr);
    EXPECT_EQ(Pm().GetHoverControl(), nullptr);
    EXPECT_EQ(Pm().GetFocusControl(), nullptr);
    EXPECT_FALSE(Pm().IsCaptured());
    MoveTo(40, 40);
    Pump();
}

TEST_F(PaintManagerTest, ReleaseOutsideReachesTheControlThenDropsTheHover) {
    TestPicture* control = Add(10, {20, 20, 80, 80});
    Press(30, 30);
    Release(200, 200);
    EXPECT_EQ(control->events.back(), "up 200,200");
    EXPECT_EQ(Pm().GetHoverControl(), nullptr);
    EXPECT_TRUE(std::none_of(m_dialog.notes.begin(), m_dialog.notes.end(),
                             [](const TestDialog::Note& n) { return n.code == NM_CLICKED; }));
}

TEST_F(PaintManagerTest, BackgroundPressDragsTheWindowUnlessDisabled) {
    Add(10, {20, 20, 80, 80});
    const int before = Screen().MoveDrags();
    Press(200, 200);
    Release(200, 200);
    EXPECT_EQ(Screen().MoveDrags(), before + 1);
    Press(30, 30);
    Release(30, 30);
    EXPECT_EQ(Screen().MoveDrags(), before + 1);
    m_dialog.EnableWndDrag(0);
    Press(200, 200);
    Release(200, 200);
    EXPECT_EQ(Screen().MoveDrags(), before + 1);
}

TEST_F(PaintManagerTest, DeactivationWhilePressedReleasesAtNowhere) {
    TestPicture* control = Add(10, {20, 20, 80, 80});
    Press(30, 30);
    SendMessageW(m_dialog.GetSafeHwnd(), WM_NCACTIVATE, 0, 0);
    EXPECT_EQ(control->events.back(), "up -1,-1");
    EXPECT_EQ(Pm().GetHoverControl(), nullptr);
    Screen().ReleaseButton(HeadlessBackend::Button::Left);
    Pump();
}

TEST_F(PaintManagerTest, WheelStepsAreWholeNotches) {
    TestPicture* control = Add(10, {20, 20, 80, 80});
    MoveTo(30, 30);
    Screen().Wheel(60);
    Pump();
    EXPECT_EQ(std::count(control->events.begin(), control->events.end(), "scroll 1,0"), 0);
    Screen().Wheel(-240);
    Pump();
    EXPECT_EQ(std::count(control->events.begin(), control->events.end(), "scroll 1,1"), 2);
    Screen().Wheel(120);
    Pump();
    EXPECT_EQ(std::count(control->events.begin(), control->events.end(), "scroll 1,0"), 1);
}

TEST_F(PaintManagerTest, TabMovesTheFocusAmongTabStopsAndWraps) {
    TestPicture* first = Add(10, {0, 0, 10, 10});
    TestPicture* skipped = Add(11, {20, 0, 30, 10});
    TestPicture* hidden = Add(12, {40, 0, 50, 10});
    TestPicture* disabled = Add(13, {60, 0, 70, 10});
    TestPicture* last = Add(14, {80, 0, 90, 10});
    for (MControl* c : {first, hidden, disabled, last})
        c->SetTabStop(1);
    hidden->SetVisible(0);
    disabled->SetEnabled(0);
    (void)skipped;
    SetFocus(m_dialog.GetSafeHwnd());

    Screen().Tap(kEvdevTab);
    Pump();
    EXPECT_EQ(Pm().GetFocusControl(), first);
    Screen().Tap(kEvdevTab);
    Pump();
    EXPECT_EQ(Pm().GetFocusControl(), last);
    Screen().Tap(kEvdevTab);
    Pump();
    EXPECT_EQ(Pm().GetFocusControl(), first);
    Screen().Key(kEvdevShift, true);
    Screen().Tap(kEvdevTab);
    Screen().Key(kEvdevShift, false);
    Pump();
    EXPECT_EQ(Pm().GetFocusControl(), last);
    EXPECT_TRUE(last->IsFocused());
    EXPECT_FALSE(first->IsFocused());
}

TEST_F(PaintManagerTest, AltF4DoesNotCloseAToolkitWindow) {
    SetFocus(m_dialog.GetSafeHwnd());
    Screen().Key(kEvdevAlt, true);
    Screen().Tap(kEvdevF4);
    Screen().Key(kEvdevAlt, false);
    Pump();
    EXPECT_TRUE(IsWindow(m_dialog.GetSafeHwnd()));
}

TEST_F(PaintManagerTest, KeysGoToTheHoverControlWithTheModifierCode) {
    TestPicture* a = Add(10, {0, 0, 50, 50});
    TestPicture* b = Add(11, {100, 0, 150, 50});
    b->acceptsKey = VK_RETURN;
    MoveTo(120, 20);
    SetFocus(m_dialog.GetSafeHwnd());
    Screen().Key(29, true); // left Ctrl
    Screen().Tap(28);       // Return
    Screen().Key(29, false);
    Pump();
    EXPECT_EQ(b->events.back(), "key 13,17");
    EXPECT_TRUE(std::none_of(a->events.begin(), a->events.end(),
                             [](const std::string& e) { return e.rfind("key 13", 0) == 0; }));
}

TEST_F(PaintManagerTest, ControlTimersRestartAndNeverTakeTheManagersIds) {
    TestPicture* control = Add(10, {0, 0, 10, 10});
    EXPECT_TRUE(Pm().SetTimer(control, 1, 100));
    EXPECT_FALSE(Pm().SetTimer(control, 1, 100));
    Screen().AdvanceClock(100);
    Pump();
    EXPECT_EQ(control->timerTicks, 1);
    EXPECT_TRUE(Pm().KillTimer(control, 1));
    Screen().AdvanceClock(200);
    Pump();
    EXPECT_EQ(control->timerTicks, 1);
    EXPECT_TRUE(Pm().SetTimer(control, 1, 50));
    Screen().AdvanceClock(50);
    Pump();
    EXPECT_EQ(control->timerTicks, 2);

    // 240 ids less 0 and the three overlay ids: the rest fail, and the overlay timers still work.
    EXPECT_TRUE(Pm().KillTimer(control, 1));
    int started = 1;
    for (UINT user = 2; user < 400; ++user)
        started += Pm().SetTimer(control, user, 100000);
    EXPECT_EQ(started, 236);
    m_dialog.SetMessage(u"saved", {});
    EXPECT_EQ(Pm().GetOverlayAlpha(), 255);
    Tick(3050, 50);
    EXPECT_EQ(Pm().GetOverlayAlpha(), 245);
    const int ticks = control->timerTicks;
    Tick(50 * 25, 50);
    EXPECT_EQ(Pm().GetOverlayAlpha(), 0);
    EXPECT_EQ(control->timerTicks, ticks);

    // Removing the control stops all its timers.
    Pm().RemoveControl(control);
    EXPECT_FALSE(Pm().KillTimer(control, 1));
}

TEST_F(PaintManagerTest, ProgressAnimatesToItsTargetAndFades) {
    m_dialog.SetProgress(50, u"writing", {});
    EXPECT_EQ(Pm().GetShownProgress(), 0);
    Tick(10 * 25, 10);
    EXPECT_EQ(Pm().GetShownProgress(), 50);
    m_dialog.SetProgress(53, u"writing", {});
    EXPECT_EQ(Pm().GetShownProgress(), 53);
    m_dialog.SetProgress(100, u"done", {});
    Tick(10 * 24, 10);
    EXPECT_EQ(Pm().GetShownProgress(), 100);
    Tick(50 * 30, 50);
    EXPECT_EQ(Pm().GetOverlayAlpha(), 0);
}

TEST_F(PaintManagerTest, TooltipShowsOnceForItsControl) {
    TestPicture* control = Add(10, {20, 20, 80, 80});
    control->SetTooltip(u"Profile");
    MoveTo(30, 30);
    EXPECT_EQ(Pm().GetTooltipCtrlID(), 10u);
    EXPECT_EQ(Pm().GetTooltipText(), u"Profile");
    MoveTo(300, 250);
    EXPECT_EQ(Pm().GetTooltipCtrlID(), 0u);
    EXPECT_TRUE(Pm().GetTooltipText().empty());
}

TEST_F(PaintManagerTest, CaretBlinksOnlyForTheFocusedOwner) {
    TestPicture* edit = Add(10, {20, 20, 200, 60});
    edit->SetTextColor(0xFF00FF00);
    SetFocus(m_dialog.GetSafeHwnd());
    Pm().SetFocusControl(edit);
    Pm().CreateCaret(2, 16);
    Pm().SetCaretPos(edit, 30, 30);
    Pm().ShowCaret(1);
    Pump();
    auto shot = CaptureWindow(m_dialog.GetSafeHwnd());
    ExpectNear(Unpremultiply(shot->PixelAt(30, 35)), 0xFE00FF00);
    Screen().AdvanceClock(530);
    Pump();
    EXPECT_FALSE(Pm().IsCaretShownPhase());
    shot = CaptureWindow(m_dialog.GetSafeHwnd());
    EXPECT_EQ(Unpremultiply(shot->PixelAt(30, 35)), TestPicture::kNormal);
    // Removing the owner forgets it.
    Pm().RemoveControl(edit);
    EXPECT_EQ(Pm().GetCurrentCaretObject(), nullptr);
}

} // namespace
} // namespace tessel::test
