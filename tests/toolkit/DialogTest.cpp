#include "tests/toolkit/CoreTestSupport.h"
#include "toolkit/core/MPopupWnd.h"
#include "toolkit/core/MShadow.h"
#include "toolkit/core/Manager.h"

namespace tessel::test {
namespace {

using DialogTest = CoreTest;

struct EndCase {
    const char* name;
    void (MDialog::*end)();
    UINT code;
};

class DialogEndCodes : public CoreTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(DialogEndCodes, EndTheModalLoopWithTheirCode) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(m_dialog.GetSafeHwnd(), u"modal", WS_POPUP, 0, RECT{0, 0, 200, 100}));
    (dialog.*GetParam().end)();
    EXPECT_EQ(dialog.ShowModal(), GetParam().code);
    EXPECT_FALSE(IsWindow(dialog.GetSafeHwnd()));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(m_dialog.GetSafeHwnd())); // the owner is enabled again
}

INSTANTIATE_TEST_SUITE_P(Table, DialogEndCodes,
                         ::testing::Values(EndCase{"OK", &MDialog::DoOK, 1},
                                           EndCase{"Cancel", &MDialog::DoCancel, 2},
                                           EndCase{"Close", &MDialog::DoClose, 2},
                                           EndCase{"Yes", &MDialog::DoYes, 6},
                                           EndCase{"No", &MDialog::DoNo, 7}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(DialogTest, ModalLoopWithoutAWindowReturnsMinusOne) {
    TestDialog dialog;
    EXPECT_EQ(dialog.ShowModal(), UINT(-1));
}

TEST_F(DialogTest, ClosingThroughTheWindowManagerEndsWithZero) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(m_dialog.GetSafeHwnd(), u"modal", WS_POPUP, 0, RECT{0, 0, 200, 100}));
    ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
    Screen().RequestClose(dialog.GetSafeHwnd());
    EXPECT_EQ(dialog.ShowModal(), 0u);
    EXPECT_FALSE(IsWindow(dialog.GetSafeHwnd()));
}

TEST_F(DialogTest, QuitInsideTheModalLoopEndsItAndIsPostedAgain) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(m_dialog.GetSafeHwnd(), u"modal", WS_POPUP, 0, RECT{0, 0, 200, 100}));
    PostQuitMessage(5);
    EXPECT_EQ(dialog.ShowModal(), 0u);
    EXPECT_TRUE(IsWindow(dialog.GetSafeHwnd()));
    EXPECT_TRUE(IsWindowEnabled(m_dialog.GetSafeHwnd()));
    MSG msg;
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(DialogTest, CenterWindowUsesTheWorkAreaWhenTheOwnerIsMinimised) {
    Screen().SetScreen({0, 0, 1920, 1080}, {0, 40, 1920, 1080});
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(m_dialog.GetSafeHwnd(), u"centred", WS_POPUP, 0, RECT{0, 0, 200, 100}));
    dialog.CenterWindow(nullptr);
    RECT rect;
    dialog.GetWindowRect(&rect);
    EXPECT_EQ(rect, (RECT{200, 200, 400, 300})); // centred on the visible owner (100, 100, 500, 400)

    ShowWindow(m_dialog.GetSafeHwnd(), SW_MINIMIZE);
    dialog.CenterWindow(nullptr);
    dialog.GetWindowRect(&rect);
    EXPECT_EQ(rect, (RECT{860, 510, 1060, 610}));

    // Kept inside the work area.
    ShowWindow(m_dialog.GetSafeHwnd(), SW_RESTORE);
    m_dialog.MoveWindow(-300, -10, 400, 100);
    dialog.CenterWindow(nullptr);
    dialog.GetWindowRect(&rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 40);
}

TEST_F(DialogTest, TranslucencyOnlyWhenAlphaOrColourKeyIsSet) {
    m_dialog.SetupBackTranslucent();
    EXPECT_FALSE(m_dialog.GetExStyle() & WS_EX_LAYERED);
    m_dialog.SetAlpha(200);
    m_dialog.SetupBackTranslucent();
    EXPECT_TRUE(m_dialog.GetExStyle() & WS_EX_LAYERED);
}

// The dialog's own handler sees a message before the paint manager hands it to the controls; a
// resize reaches UISize with the new client rectangle.
class OrderDialog : public TestDialog {
public:
    std::vector<std::string>* log = nullptr;
    RECT lastSize{};
    LRESULT OnLButtonDown(UINT, CPoint) override {
        log->push_back("dialog");
        return 1; // the result does not stop the paint manager
    }
    void UISize(const CRect& client) override { lastSize = client; }
};

TEST_F(DialogTest, DialogHandlersRunBeforeTheControlsAndSizesReachUISize) {
    std::vector<std::string> log;
    OrderDialog dialog;
    dialog.log = &log;
    ASSERT_TRUE(dialog.Create(nullptr, u"order", WS_POPUP | WS_VISIBLE, 0, RECT{600, 100, 800, 300}));
    auto* control = static_cast<TestPicture*>(dialog.GetPaintManager().AddControl(
        std::make_unique<TestPicture>(&dialog, 5, CRect{0, 0, 100, 100})));
    Screen().MoveMouse(610, 110);
    Pump();
    Screen().PressButton(HeadlessBackend::Button::Left);
    Pump();
    log.push_back(control->events.back());
    Screen().ReleaseButton(HeadlessBackend::Button::Left);
    Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"dialog", "down 10,10"}));

    dialog.MoveWindow(600, 100, 300, 250);
    EXPECT_EQ(dialog.lastSize, (RECT{0, 0, 300, 250}));
    dialog.ShowWindow(SW_MINIMIZE);
    EXPECT_EQ(dialog.lastSize, (RECT{0, 0, 300, 250}));
    EXPECT_TRUE(Manager::HasWnd(&dialog));
    dialog.DestroyWindow();
    EXPECT_FALSE(Manager::HasWnd(&dialog));
}

TEST_F(DialogTest, CreateDropsCaptionAndFrame) {
    TestDialog dialog;
    ASSERT_TRUE(
        dialog.Create(nullptr, u"styled", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, RECT{0, 0, 100, 100}));
    EXPECT_FALSE(dialog.GetStyle() & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(dialog.GetStyle() & WS_CLIPCHILDREN);
    EXPECT_TRUE(dialog.IsClass(u"MDialog"));
    EXPECT_FALSE(dialog.IsClass(u"mdialog"));
}

TEST_F(DialogTest, UnknownControlClassGivesNull) {
    EXPECT_EQ(m_dialog.CreateControl(u"NoSuchControl", 1, {0, 0, 10, 10}), nullptr);
    MControl* area = m_dialog.CreateArea(u"TestPicture", 2, {0, 0, 10, 10});
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->GetManager(), &m_dialog.GetPaintManager());
    EXPECT_EQ(m_dialog.GetControl(2), area);
}

class Dropdown : public MPopupWnd {
public:
    int destroyed = 0;
    LRESULT PostNcDestroy() override {
        ++destroyed;
        return 0;
    }
};

TEST_F(DialogTest, APopupClosesWhenItLosesActivation) {
    Dropdown popup;
    popup.SetParent(&m_dialog);
    ASSERT_TRUE(
        popup.Create(m_dialog.GetSafeHwnd(), u"list", WS_POPUP | WS_VISIBLE, 0, RECT{120, 120, 220, 220}));
    EXPECT_EQ(popup.GetExStyle(), WS_EX_TOOLWINDOW);
    Screen().ActivateWindow(popup.GetSafeHwnd());
    Pump();
    EXPECT_TRUE(IsWindow(popup.GetSafeHwnd()));
    Screen().ActivateWindow(m_dialog.GetSafeHwnd());
    Pump();
    EXPECT_EQ(popup.GetSafeHwnd(), nullptr);
    EXPECT_EQ(popup.destroyed, 1);

    EXPECT_EQ(popup.SendMessageToParent(NM_SELECTED, 3, 0), 0);
    EXPECT_EQ(m_dialog.notes.back(), (TestDialog::Note{0, NM_SELECTED}));
}

TEST_F(DialogTest, ShadowParametersOutsideTheirRangeChangeNothing) {
    EXPECT_FALSE(m_dialog.SetSize(4)); // no shadow yet
    ASSERT_NE(m_dialog.CreateShadow(1), nullptr);
    struct Case {
        BOOL (MDialog::*set)(int);
        int value;
        BOOL accepted;
    } cases[] = {
        {&MDialog::SetSize, -35, 1},     {&MDialog::SetSize, 35, 1},      {&MDialog::SetSize, 36, 0},
        {&MDialog::SetSize, -36, 0},     {&MDialog::SetSharpness, 0, 1},  {&MDialog::SetSharpness, -1, 0},
        {&MDialog::SetSharpness, 36, 0}, {&MDialog::SetDarkness, 255, 1}, {&MDialog::SetDarkness, 256, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ((m_dialog.*c.set)(c.value), c.accepted) << c.value;
    EXPECT_TRUE(m_dialog.SetPosition(-35, 35));
    EXPECT_FALSE(m_dialog.SetPosition(0, 36));
}

TEST_F(DialogTest, ShadowFollowsItsOwner) {
    MShadow* shadow = m_dialog.CreateShadow(1);
    ASSERT_NE(shadow, nullptr);
    m_dialog.SetSize(4);
    m_dialog.SetPosition(3, 5);
    Pump();
    const HWND window = shadow->GetSafeHwnd();
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{99, 101, 507, 409}));
    EXPECT_TRUE(IsWindowVisible(window));

    m_dialog.MoveWindow(200, 150, 400, 300);
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{199, 151, 607, 459}));
    m_dialog.ShowWindow(SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(window));
    m_dialog.ShowWindow(SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(window));

    m_dialog.DestroyWindow();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogTest, AltF4HeldMakesTheLoopDropTheMessage) {
    MSG msg{};
    EXPECT_FALSE(Manager::PreTranslateMessage(&msg));
    Manager::SetInstance(reinterpret_cast<HINSTANCE>(0x1234));
    EXPECT_EQ(Manager::GetInstance(), reinterpret_cast<HINSTANCE>(0x1234));
}

} // namespace
} // namespace tessel::test
