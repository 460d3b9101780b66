#include "tests/toolkit/CoreTestSupport.h"
#include "toolkit/core/PaintManager.h"
#include "toolkit/platform/VirtualKeys.h"

namespace tessel::test {
namespace {

using MControlTest = CoreTest;

TEST_F(MControlTest, ClickOnADisabledChildGoesToItsParentWhichTakesTheFocus) {
    TestPicture* parent = Add(10, {20, 20, 220, 120});
    auto* child = static_cast<TestPicture*>(
        parent->AddControl(std::make_unique<TestPicture>(parent, 11, CRect{40, 40, 100, 100})));
    child->SetEnabled(0);
    Press(50, 50);
    Release(50, 50);
    EXPECT_TRUE(child->events.empty() || child->events[0].rfind("move", 0) == 0);
    EXPECT_EQ(std::count(parent->events.begin(), parent->events.end(), "down 50,50"), 1);
    EXPECT_TRUE(parent->IsFocusControl());
    EXPECT_EQ(m_dialog.notes, (std::vector<TestDialog::Note>{{10, NM_PRESSED}, {10, NM_CLICKED}}));

    // The same press on the enabled child goes to the child, which takes the focus.
    child->SetEnabled(1);
    Screen().AdvanceClock(1000); // not a double click
    Press(50, 50);
    Release(50, 50);
    EXPECT_TRUE(child->IsFocusControl());
    EXPECT_TRUE(child->IsFocused());
    EXPECT_EQ(m_dialog.notes.back(), (TestDialog::Note{11, NM_CLICKED}));
}

// Each row: where the button goes down, where the mouse is dragged, where it comes up, and what
// the child sees of the drag and the release.
struct DragCase {
    const char* name;
    POINT press, drag, release;
    bool childSeesDrag;
    bool clicked;
};

class PressDragRelease : public CoreTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(PressDragRelease, MovesFollowThePressedChild) {
    const DragCase& c = GetParam();
    TestPicture* parent = Add(10, {20, 20, 300, 200});
    auto* child = static_cast<TestPicture*>(
        parent->AddControl(std::make_unique<TestPicture>(parent, 11, CRect{40, 40, 100, 100})));
    Press(c.press.x, c.press.y);
    child->events.clear();
    MoveTo(c.drag.x, c.drag.y);
    const std::string dragMove = "move " + std::to_string(c.drag.x) + "," + std::to_string(c.drag.y);
    EXPECT_EQ(std::count(child->events.begin(), child->events.end(), dragMove), c.childSeesDrag ? 1 : 0);
    Release(c.release.x, c.release.y);
    const bool clicked =
        std::count(m_dialog.notes.begin(), m_dialog.notes.end(), TestDialog::Note{11, NM_CLICKED});
    EXPECT_EQ(clicked, c.clicked);

    // Once released, a move outside leaves the child without hover.
    MoveTo(250, 150);
    EXPECT_EQ(parent->GetHotChild(), nullptr);
    EXPECT_FALSE(child->hover);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PressDragRelease,
    ::testing::Values(DragCase{"InsideStaysInside", {50, 50}, {60, 60}, {60, 60}, true, true},
                      DragCase{"DragOutsideTheChild", {50, 50}, {150, 150}, {60, 60}, true, true},
                      DragCase{"DragOutOfTheWindow", {50, 50}, {390, 290}, {390, 290}, true, false},
                      DragCase{"PressOutsideTheChild", {150, 150}, {60, 60}, {60, 60}, false, false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(MControlTest, HiddenControlsAreSkippedButFoundById) {
    TestPicture* parent = Add(10, {20, 20, 300, 200});
    parent->SetRunTimer(1);
    auto* hidden = static_cast<TestPicture*>(
        parent->AddControl(std::make_unique<TestPicture>(parent, 11, CRect{40, 40, 100, 100})));
    hidden->SetRunTimer(1);
    hidden->acceptsKey = VK_RETURN;
    hidden->SetVisible(0);

    EXPECT_EQ(m_dialog.GetControl(11), hidden);
    EXPECT_FALSE(hidden->PtInRect({50, 50}));

    Press(50, 50);
    Release(50, 50);
    EXPECT_TRUE(hidden->events.empty());
    EXPECT_EQ(std::count(parent->events.begin(), parent->events.end(), "down 50,50"), 1);

    parent->OnTimer();
    EXPECT_EQ(parent->timerTicks, 1);
    EXPECT_EQ(hidden->timerTicks, 0);

    EXPECT_FALSE(parent->OnKeyDown(VK_RETURN, 1, 0));
    EXPECT_TRUE(hidden->events.empty());

    const int drawsBefore = hidden->draws;
    InvalidateRect(m_dialog.GetSafeHwnd(), nullptr, 0);
    Pump();
    EXPECT_EQ(hidden->draws, drawsBefore);
    auto shot = CaptureWindow(m_dialog.GetSafeHwnd());
    ASSERT_TRUE(shot);
    EXPECT_EQ(Unpremultiply(shot->PixelAt(50, 50)), TestPicture::kHover); // the hovered parent shows through
}

TEST_F(MControlTest, SetVisibleWithTheCurrentValueDoesNothing) {
    TestPicture* control = Add(10, {20, 20, 60, 60});
    Pump();
    control->SetVisible(1);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(m_dialog.GetSafeHwnd(), &update));
    EXPECT_EQ(control->visibleStores, 0);

    control->SetVisible(0);
    EXPECT_EQ(control->visibleStores, 1);
    ASSERT_TRUE(GetUpdateRect(m_dialog.GetSafeHwnd(), &update));
    EXPECT_EQ(update, (RECT{20, 20, 60, 60}));
    control->SetVisible(0, 1);
    EXPECT_EQ(control->visibleStores, 1);
}

TEST_F(MControlTest, ParentVisibilityWalksUpToTheDialog) {
    TestPicture* top = Add(10, {0, 0, 100, 100});
    auto* child = static_cast<TestPicture*>(
        top->AddControl(std::make_unique<TestPicture>(top, 11, CRect{0, 0, 10, 10})));
    top->SetVisible(0);
    EXPECT_TRUE(top->IsParentVisible()); // directly on the dialog, hidden itself
    EXPECT_FALSE(child->IsParentVisible());
    top->SetVisible(1);
    EXPECT_TRUE(child->IsParentVisible());
    TestPicture orphan(nullptr, 1, {0, 0, 1, 1});
    EXPECT_FALSE(orphan.IsParentVisible());
}

TEST_F(MControlTest, CursorNamesAndHotKeys) {
    TestPicture* control = Add(10, {0, 0, 100, 100});
    control->SetCursorEx(u"hand");
    EXPECT_EQ(control->GetCursor(), IDC_HAND);
    control->SetCursorEx(u"Hand");
    control->SetCursorEx(u"pointer");
    EXPECT_EQ(control->GetCursor(), IDC_HAND);
    MoveTo(50, 50);
    EXPECT_EQ(Screen().CursorShape(), IDC_HAND);

    control->SetHotKey('S', 17);
    EXPECT_TRUE(control->MControl::OnControlKeyDown('S', 1, 17));
    EXPECT_FALSE(control->MControl::OnControlKeyDown('S', 1, 0));
}

TEST_F(MControlTest, PositionItemsResolveAgainstASpan) {
    struct Case {
        M_POSITION_ITEM item;
        int expected;
    } cases[] = {
        {{0, 0, 10.7f}, 110}, {{0, 1, 10.0f}, 190},  {{1, 0, 5.0f}, 155}, {{1, 1, 5.0f}, 145},
        {{2, 0, 25.0f}, 125}, {{2, 0, 150.0f}, 200}, {{3, 0, 1.0f}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MControl::PositionItem2Value(c.item, 100, 200), c.expected)
            << c.item.type << " " << c.item.value;
}

TEST_F(MControlTest, KeysGoDownToTheFocusedChild) {
    TestPicture* parent = Add(10, {20, 20, 300, 200});
    auto* a = static_cast<TestPicture*>(
        parent->AddControl(std::make_unique<TestPicture>(parent, 11, CRect{40, 40, 100, 100})));
    auto* b = static_cast<TestPicture*>(
        parent->AddControl(std::make_unique<TestPicture>(parent, 12, CRect{120, 40, 180, 100})));
    Press(130, 50);
    Release(130, 50);
    a->events.clear();
    b->events.clear();
    b->acceptsKey = 'A';
    EXPECT_TRUE(parent->OnKeyDown('A', 1, 0));
    EXPECT_TRUE(a->events.empty());
    EXPECT_EQ(b->events, (std::vector<std::string>{"key 65,0"}));
}

TEST_F(MControlTest, ScrollBarChildrenGetUntranslatedPoints) {
    // A container that scrolls its content by 100 pixels down.
    struct Scrolled : TestPicture {
        using TestPicture::TestPicture;
        BOOL OnMousePointChange(CPoint& point) override {
            point.y += 100;
            return 1;
        }
    };
    auto* panel = static_cast<TestPicture*>(m_dialog.GetPaintManager().AddControl(
        std::make_unique<Scrolled>(&m_dialog, 10, CRect{0, 0, 200, 200})));
    auto* bar = static_cast<TestPicture*>(
        panel->AddControl(std::make_unique<TestPicture>(panel, 1, CRect{180, 0, 200, 200})));
    auto* item = static_cast<TestPicture*>(
        panel->AddControl(std::make_unique<TestPicture>(panel, 5, CRect{0, 100, 100, 200})));
    Press(190, 20);
    Release(190, 20);
    EXPECT_EQ(bar->events.front(), "move 190,20");
    EXPECT_EQ(std::count(bar->events.begin(), bar->events.end(), "down 190,20"), 1);
    Press(20, 20);
    EXPECT_EQ(std::count(item->events.begin(), item->events.end(), "down 20,120"), 1);
    Release(20, 20);
}

} // namespace
} // namespace tessel::test
