#include "toolkit/platform/EditWindow.h"

#include "tests/toolkit/PlatformTestSupport.h"
#include "toolkit/platform/Tooltip.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/draw/Surface.h"

namespace tessel::test {
namespace {

// evdev codes used below
constexpr uint32_t kA = 30, kB = 48, kC = 46, kV = 47, kX = 45, kZ = 44, kEnter = 28, kBackspace = 14;
constexpr uint32_t kLeft = 105, kRight = 106, kHome = 102, kEnd = 107, kShift = 42, kCtrl = 29;
constexpr uint32_t kDigit1 = 2;

class EditWindowTest : public PlatformTest {
protected:
    HWND MakeEdit(DWORD style, int width = 200, int height = 24) {
        m_parent = MakeWindow(100, 100, 400, 300);
        HWND edit = CreateWindowExW(0, kEditClassName, u"", WS_CHILD | WS_VISIBLE | style, 10, 10, width,
                                    height, m_parent, 42, nullptr);
        SetFocus(edit);
        Pump();
        Forget();
        return edit;
    }
    void Type(const std::u16string& text) {
        for (char16_t c : text) {
            uint32_t code = c >= u'0' && c <= u'9' ? kDigit1 + (c == u'0' ? 9 : c - u'1') : kA;
            Screen().Tap(code, c);
        }
        Pump();
    }
    void Chord(uint32_t modifier, uint32_t key, char32_t character = 0) {
        Screen().Key(modifier, true);
        Screen().Tap(key, character);
        Screen().Key(modifier, false);
        Pump();
    }
    std::vector<UINT> Notifications(UINT code = 0) const {
        std::vector<UINT> codes;
        for (const Seen& seen : SeenOf(m_parent, WM_COMMAND)) {
            if (LOWORD(seen.wParam) == 42 && (code == 0 || HIWORD(seen.wParam) == code)) {
                codes.push_back(HIWORD(seen.wParam));
            }
        }
        return codes;
    }
    std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    HWND m_parent = nullptr;
};

TEST_F(EditWindowTest, TypedTextArrivesWithChangeAndFocusNotificationsToTheParent) {
    HWND edit = MakeEdit(ES_AUTOHSCROLL);
    Type(u"ab");
    Screen().Tap(kBackspace, 8);
    Pump();
    EXPECT_EQ(GetWindowTextW(edit), u"a");
    EXPECT_EQ(Notifications(EN_CHANGE).size(), 3u);
    SetFocus(m_parent);
    EXPECT_EQ(Notifications(EN_KILLFOCUS).size(), 1u);
    // Composed text from the input method goes in like typing.
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    Screen().Compose(u"日本");
    Pump();
    EXPECT_EQ(GetWindowTextW(edit), u"日本");
}

TEST_F(EditWindowTest, CompositionInProgressIsShownButNotTypedUntilCommitted) {
    HWND edit = MakeEdit(0, 200, 24);
    auto inkInEdit = [this]() {
        Pump();
        std::unique_ptr<Surface> shown = CaptureWindow(m_parent);
        int dark = 0;
        for (int x = 14; x < 200; ++x) {
            for (int y = 10; y < 34; ++y) {
                dark += (shown->PixelAt(x, y) & 0xFF) < 0x80;
            }
        }
        return dark;
    };
    int before = inkInEdit();
    Screen().Preedit(u"nihao");
    EXPECT_GT(inkInEdit(), before + 20);
    EXPECT_EQ(GetWindowTextW(edit), u"");
    EXPECT_TRUE(Notifications(EN_CHANGE).empty());
    Screen().Preedit(u"");
    Screen().Compose(u"你好");
    Pump();
    EXPECT_EQ(GetWindowTextW(edit), u"你好");
}

TEST_F(EditWindowTest, DigitsOnlyAndTheLengthLimitHoldForTypingAndPasting) {
    HWND edit = MakeEdit(ES_NUMBER);
    SendMessageW(edit, EM_LIMITTEXT, 4, 0);
    Type(u"1a2");
    EXPECT_EQ(GetWindowTextW(edit), u"12");
    SetClipboardText(u"3x45");
    Chord(kCtrl, kV);
    EXPECT_EQ(GetWindowTextW(edit), u"1234");
    EXPECT_EQ(Notifications(EN_MAXTEXT).size(), 1u);
    Type(u"6");
    EXPECT_EQ(GetWindowTextW(edit), u"1234");
    EXPECT_EQ(Notifications(EN_MAXTEXT).size(), 2u);
}

TEST_F(EditWindowTest, KeyboardSelectionWithClipboardAndUndo) {
    HWND edit = MakeEdit(0);
    SetWindowTextW(edit, u"hello world");
    Screen().Tap(kHome);
    Screen().Key(kShift, true);
    Chord(kCtrl, kRight);
    Screen().Key(kShift, false);
    Pump();
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 6}));
    Chord(kCtrl, kC, U'c');
    EXPECT_EQ(GetClipboardText(), u"hello ");
    Chord(kCtrl, kX, U'x');
    EXPECT_EQ(GetWindowTextW(edit), u"world");
    Screen().Tap(kEnd);
    Chord(kCtrl, kV, U'v');
    EXPECT_EQ(GetWindowTextW(edit), u"worldhello ");
    Chord(kCtrl, kZ, U'z');
    EXPECT_EQ(GetWindowTextW(edit), u"world");
    Chord(kCtrl, kA, U'a');
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 5}));
    Screen().Tap(kLeft);
    Pump();
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 0}));
}

TEST_F(EditWindowTest, MouseDragSelectsAndDoubleClickSelectsAWord) {
    HWND edit = MakeEdit(0, 300);
    SetWindowTextW(edit, u"alpha beta");
    RECT rect;
    GetWindowRect(edit, &rect);
    int y = rect.top + 12;
    Screen().MoveMouse(rect.left + 1, y);
    Screen().PressButton(HeadlessBackend::Button::Left);
    Pump();
    Screen().MoveMouse(rect.right + 50, y); // outside: capture keeps the drag going
    Pump();
    Screen().ReleaseButton(HeadlessBackend::Button::Left);
    Pump();
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 10}));
    EXPECT_EQ(GetCapture(), nullptr);

    Screen().AdvanceClock(1000);
    Screen().Click(rect.left + 3, y);
    Screen().Click(rect.left + 3, y);
    Pump();
    EXPECT_EQ(Selection(edit), (std::pair<DWORD, DWORD>{0, 5}));
}

TEST_F(EditWindowTest, LineBreaksOnlyInMultiLineEdits) {
    for (DWORD style : {DWORD(0), ES_MULTILINE}) {
        SCOPED_TRACE(style);
        HWND edit = MakeEdit(style, 200, 80);
        Type(u"a");
        Screen().Tap(kEnter, U'\r');
        Type(u"b");
        SetClipboardText(u"c\r\nd");
        Chord(kCtrl, kV, U'v');
        EXPECT_EQ(GetWindowTextW(edit), style ? u"a\r\nbc\r\nd" : u"abc");
        DestroyWindow(m_parent);
    }
}

TEST_F(EditWindowTest, PaintsTheParentsColoursAndText) {
    HWND edit = MakeEdit(0, 120, 24);
    Hooks()[m_parent] = [](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_CTLCOLOREDIT) {
            return false;
        }
        auto* colors = reinterpret_cast<EditColors*>(wParam);
        colors->background = 0xFF222527;
        colors->text = 0xFFFFFFFF;
        result = 1;
        return true;
    };
    EditFont font;
    font.pixelSize = 18;
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(&font), 1);
    SetWindowTextW(edit, u"MMMMMM");
    Pump();
    std::unique_ptr<Surface> shown = CaptureWindow(m_parent);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->PixelAt(10 + 118, 10 + 1), 0xFF222527u);
    int bright = 0;
    for (int x = 10; x < 130; ++x) {
        for (int y = 10; y < 34; ++y) {
            bright += (shown->PixelAt(x, y) & 0xFF) > 0xC0;
        }
    }
    EXPECT_GT(bright, 20);
}

// The toolkit's own faces (here the "HarmonyOS Sans SC" alias its font folder sets up) exist only in
// its font map; an edit window must find them there, whatever was drawn before it.
TEST_F(EditWindowTest, TextUsesTheToolkitsFaces) {
    HWND edit = MakeEdit(0, 160, 30);
    SetWindowTextW(edit, u"Wag 42");
    auto shownIn = [&](const char16_t* face) {
        EditFont font;
        font.face = face;
        font.pixelSize = 20;
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(&font), 1);
        Pump();
        std::unique_ptr<Surface> shown = CaptureWindow(edit);
        std::vector<uint32_t> pixels;
        for (int y = 0; shown && y < shown->Height(); ++y)
            pixels.insert(pixels.end(), shown->Row(y), shown->Row(y) + shown->Width());
        return pixels;
    };
    const auto alias = shownIn(u"HarmonyOS Sans SC");
    ASSERT_FALSE(alias.empty());
    EXPECT_EQ(alias, shownIn(u"Noto Sans CJK SC"));
    EXPECT_NE(alias, shownIn(u"DejaVu Sans")); // the comparison does tell faces apart
}

using TooltipTest = PlatformTest;

TEST_F(TooltipTest, ShowsBelowTheRectangleInsideTheWorkAreaWithoutActivation) {
    Screen().SetScreen(RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040});
    HWND owner = MakeWindow(100, 100, 400, 300);
    HWND tip = CreateTooltipWindow(owner);
    ASSERT_NE(tip, nullptr);
    ASSERT_TRUE(ShowTooltip(tip, u"Hint", RECT{200, 200, 260, 220}));
    RECT rect;
    GetWindowRect(tip, &rect);
    EXPECT_EQ(rect.left, 200);
    EXPECT_GE(rect.top, 220);
    EXPECT_GT(rect.Width(), 10);
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(GetActiveWindow(), owner);

    ShowTooltip(tip, u"Hint", RECT{1900, 1030, 1920, 1040});
    GetWindowRect(tip, &rect);
    EXPECT_LE(rect.right, 1920);
    EXPECT_LE(rect.bottom, 1030);
    EXPECT_TRUE(HideTooltip(tip));
    EXPECT_FALSE(IsWindowVisible(tip));
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(tip));
}

using FileDialogTest = PlatformTest;

TEST_F(FileDialogTest, TheTestAnswersWhileTheOwnerIsDisabled) {
    HWND owner = MakeWindow(0, 0, 100, 100);
    FileDialogRequest request;
    request.owner = owner;
    request.filters = {{u"Profiles", {u"*.xml"}}};
    std::u16string result;
    EXPECT_FALSE(ShowFileDialog(request, result));
    bool ownerDisabled = false;
    Screen().SetFileDialogAnswerer([&](const FileDialogRequest& asked, std::u16string& answer) {
        ownerDisabled = !IsWindowEnabled(asked.owner);
        answer = u"/tmp/" + asked.filters[0].patterns[0].substr(1);
        return true;
    });
    EXPECT_TRUE(ShowFileDialog(request, result));
    EXPECT_EQ(result, u"/tmp/.xml");
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    Screen().SetFileDialogAnswerer(nullptr);
}

} // namespace
} // namespace tessel::test
