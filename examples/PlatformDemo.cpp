// A borderless window drawn with the toolkit's drawing layer: shapes, an image, text in several
// alignments and ellipsis modes, a marker that follows the mouse, an edit window, and a modal
// dialog whose result is shown. Drag the top band to move the window; Escape quits.
//
//   platform_demo                       runs on the display (or headless with TESSEL_BACKEND)
//   platform_demo --snapshot out.png    runs headless, paints once and writes a picture

#include "base/Utf.h"
#include "toolkit/platform/EditWindow.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/draw/Graphics.h"
#include "toolkit/platform/draw/Surface.h"
#include "toolkit/platform/headless/HeadlessBackend.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace tessel;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr int kCaptionHeight = 28;
constexpr uintptr_t kEditId = 100;
const IntRect kDialogButton{440, 330, 170, 40};
const IntRect kEditRect{20, 330, 300, 28};

struct DemoState {
    POINT mouse{-100, -100};
    std::u16string typed;
    int dialogResult = -1;
    HWND edit = nullptr;
    std::unique_ptr<Surface> picture;
};
DemoState g_state;

std::unique_ptr<Surface> MakePicture() {
    // A small generated image: a checkerboard with a colour ramp, drawn as an image would be.
    std::unique_ptr<Surface> picture = Surface::Create(64, 64);
    for (int y = 0; y < 64; ++y) {
        uint32_t* row = picture->Row(y);
        for (int x = 0; x < 64; ++x) {
            bool dark = ((x / 8) + (y / 8)) % 2;
            uint32_t r = static_cast<uint32_t>(x * 4);
            uint32_t b = static_cast<uint32_t>(y * 4);
            row[x] = dark ? (0xFF000000 | r << 16 | b) : 0xFFFFFFFF;
        }
    }
    picture->MarkDirty();
    return picture;
}

void PaintMain(HWND hwnd) {
    PAINTSTRUCT paint;
    Surface* surface = BeginPaint(hwnd, &paint);
    if (!surface) {
        return;
    }
    Graphics g(*surface);
    Font font(u"Open Sans", 14);
    Font title(u"Open Sans", 16, FontWeightBold);
    g.Clear(0xFF20242C);
    g.FillRect(IntRect{0, 0, kWidth, kCaptionHeight}, 0xFF3A6EA5);
    g.DrawText(u"Tessel demo - drag here to move, Esc quits", IntRect{10, 0, kWidth - 20, kCaptionHeight},
               title, 0xFFFFFFFF, DT_SINGLELINE | DT_VCENTER);

    // Shapes.
    g.FillRect(IntRect{20, 50, 80, 60}, 0xFFE04040);
    g.FillEllipse(Brush::Solid(0xFF40C060), RectF(120, 50, 80, 60));
    g.FillRoundedRectangle(Brush::LinearGradient(220, 50, 300, 110, 0xFF4060E0, 0xFFE0E040),
                           RectF(220, 50, 80, 60), 10, 10);
    g.DrawLine(Pen{0xFFFFFFFF, 3}, 320, 50, 400, 110);
    // An image, once plain and once half transparent.
    g.DrawImage(*g_state.picture, 420, 48);
    g.DrawImage(*g_state.picture, 500, 48, 128);

    // Text in several alignments and ellipsis modes, each in a framed box.
    const struct {
        const char16_t* text;
        uint32_t format;
    } samples[] = {
        {u"Left aligned", DT_LEFT | DT_SINGLELINE | DT_VCENTER},
        {u"Centred", DT_CENTER | DT_SINGLELINE | DT_VCENTER},
        {u"Right aligned", DT_RIGHT | DT_SINGLELINE | DT_VCENTER},
        {u"An end ellipsis cuts this long sentence short",
         DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS},
        {u"A word ellipsis cuts this long sentence short",
         DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS},
    };
    int y = 130;
    for (const auto& sample : samples) {
        IntRect box{20, y, 260, 30};
        g.DrawRectangle(Pen{0xFF60708A, 1}, RectF(box.x + 0.5, box.y + 0.5, box.width - 1, box.height - 1));
        g.DrawText(sample.text, IntRect{box.x + 4, box.y, box.width - 8, box.height}, font, 0xFFE8E8E8,
                   sample.format);
        y += 36;
    }

    // What was typed and what the dialog answered.
    g.DrawText(u"Typed: " + g_state.typed, IntRect{300, 130, 320, 30}, font, 0xFFE8E8E8, DT_SINGLELINE);
    std::u16string answer = g_state.dialogResult < 0
                                ? u"Dialog: not run"
                                : u"Dialog result: " + base::ToUtf16(std::to_string(g_state.dialogResult));
    g.DrawText(answer, IntRect{300, 166, 320, 30}, font, 0xFFE8E8E8, DT_SINGLELINE);

    g.FillRect(kDialogButton, 0xFF5A8A3A);
    g.DrawText(u"Open dialog", kDialogButton, font, 0xFFFFFFFF, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    // The marker that follows the mouse.
    g.FillEllipse(Brush::Solid(0xFFFFC000), RectF(g_state.mouse.x - 6, g_state.mouse.y - 6, 12, 12));
    EndPaint(hwnd, &paint);
}

// The modal dialog: "OK" on the left half, "Cancel" on the right; Enter is OK, Escape cancels.
LRESULT DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (Surface* surface = BeginPaint(hwnd, &paint)) {
            Graphics g(*surface);
            Font font(u"Open Sans", 14);
            g.Clear(0xFFF0F0F0);
            g.DrawText(u"A modal dialog", IntRect{0, 10, 300, 30}, font, 0xFF000000,
                       DT_CENTER | DT_SINGLELINE);
            g.FillRect(IntRect{20, 80, 120, 40}, 0xFF3A6EA5);
            g.FillRect(IntRect{160, 80, 120, 40}, 0xFF8A3A3A);
            g.DrawText(u"OK", IntRect{20, 80, 120, 40}, font, 0xFFFFFFFF,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            g.DrawText(u"Cancel", IntRect{160, 80, 120, 40}, font, 0xFFFFFFFF,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_LBUTTONUP:
        if (GET_Y_LPARAM(lParam) >= 80 && GET_Y_LPARAM(lParam) < 120) {
            PostMessageW(hwnd, WM_CLOSE, GET_X_LPARAM(lParam) < 150 ? IDOK : IDCANCEL, 0);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            PostMessageW(hwnd, WM_CLOSE, wParam == VK_RETURN ? IDOK : IDCANCEL, 0);
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

/// Runs a modal dialog the way the toolkit's dialogs do: the owner is disabled, the loop runs
/// until the dialog is gone, and its result is the wParam of the WM_CLOSE that ended it.
int RunDialog(HWND owner) {
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    HWND dialog = CreateWindowExW(0, u"DemoDialog", u"Tessel dialog", WS_POPUP, ownerRect.left + 170,
                                  ownerRect.top + 120, 300, 140, owner, 0, nullptr);
    if (!dialog) {
        return -1;
    }
    ShowWindow(dialog, SW_SHOW);
    EnableWindow(owner, 0);
    int result = 0;
    MSG msg;
    while (IsWindow(dialog)) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == dialog) {
            result = static_cast<int>(msg.wParam);
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EnableWindow(owner, 1);
    SetFocus(owner);
    return result;
}

LRESULT MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_state.edit =
            CreateWindowExW(0, kEditClassName, u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, kEditRect.x,
                            kEditRect.y, kEditRect.width, kEditRect.height, hwnd, kEditId, nullptr);
        return g_state.edit ? 0 : -1;
    case WM_PAINT:
        PaintMain(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        g_state.mouse = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        InvalidateRect(hwnd, nullptr, 0);
        return 0;
    case WM_LBUTTONDOWN:
        if (GET_Y_LPARAM(lParam) < kCaptionHeight) {
            // A press on the top band moves the window, as a caption would.
            POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &screen);
            SendMessageW(hwnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION),
                         MAKELPARAM(screen.x, screen.y));
        }
        return 0;
    case WM_LBUTTONUP:
        if (kDialogButton.Contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
            g_state.dialogResult = RunDialog(hwnd);
            std::printf("dialog result %d\n", g_state.dialogResult);
            std::fflush(stdout);
            InvalidateRect(hwnd, nullptr, 0);
        } else {
            SetFocus(hwnd);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
            g_state.typed = GetWindowTextW(g_state.edit);
            std::printf("typed %s\n", base::ToUtf8(g_state.typed).c_str());
            std::fflush(stdout);
            InvalidateRect(hwnd, nullptr, 0);
        }
        return 0;
    case WM_CTLCOLOREDIT: {
        auto* colors = reinterpret_cast<EditColors*>(wParam);
        colors->background = 0xFFFFFFFF;
        colors->text = 0xFF101010;
        return 1;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostQuitMessage(0);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* snapshot = argc == 3 && std::strcmp(argv[1], "--snapshot") == 0 ? argv[2] : nullptr;
    if (!InitPlatform(snapshot ? BackendKind::Headless : BackendKind::Automatic)) {
        std::fprintf(stderr, "no windowing backend could start\n");
        return 1;
    }
    g_state.picture = MakePicture();
    WNDCLASSW mainClass;
    mainClass.lpfnWndProc = MainProc;
    mainClass.lpszClassName = u"DemoMain";
    RegisterClassW(mainClass);
    WNDCLASSW dialogClass;
    dialogClass.lpfnWndProc = DialogProc;
    dialogClass.lpszClassName = u"DemoDialog";
    RegisterClassW(dialogClass);

    HWND main = CreateWindowExW(0, u"DemoMain", u"Tessel demo", WS_POPUP | WS_VISIBLE, 40, 40, kWidth,
                                kHeight, nullptr, 0, nullptr);
    if (!main) {
        std::fprintf(stderr, "the window could not be made\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    if (snapshot) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        bool saved = HeadlessBackend::Active()->SavePng(main, snapshot);
        DestroyWindow(main);
        return saved ? 0 : 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (IsWindow(main)) {
        DestroyWindow(main);
    }
    return static_cast<int>(msg.wParam);
}
