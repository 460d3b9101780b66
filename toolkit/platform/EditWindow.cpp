#include "toolkit/platform/EditWindow.h"

#include "base/Utf.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/draw/CairoHandles.h"
#include "toolkit/platform/draw/Surface.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace tessel {

namespace {

constexpr uintptr_t kCaretTimer = 0xED17;
constexpr UINT kCaretBlinkMs = 530;
/// The limit before EM_LIMITTEXT sets one, as the system edit control has it.
constexpr size_t kDefaultLimit = 30000;
constexpr int kPadding = 2;
constexpr uint32_t kSelectionBack = 0xFF3399FF;
constexpr uint32_t kSelectionText = 0xFFFFFFFF;

using draw::CairoPtr;
using draw::LayoutPtr;

/// Everything one edit window keeps; lives from WM_NCCREATE to WM_NCDESTROY.
struct EditState {
    std::u16string text;
    size_t caret = 0;
    size_t anchor = 0;
    size_t limit = kDefaultLimit;
    DWORD style = 0;
    EditFont font;
    bool focused = false;
    bool caretShown = false;
    bool selecting = false;
    int scrollX = 0;
    int scrollY = 0;
    /// What the input method is composing, shown at the caret until it is typed.
    std::u16string preedit;
    std::u16string undoText;
    size_t undoCaret = 0;
    bool canUndo = false;

    size_t SelStart() const { return std::min(caret, anchor); }
    size_t SelEnd() const { return std::max(caret, anchor); }
    bool Multiline() const { return style & ES_MULTILINE; }
};

// Edit windows live on the UI thread only, so this map needs no lock.
std::unordered_map<HWND, std::unique_ptr<EditState>>& States() {
    static std::unordered_map<HWND, std::unique_ptr<EditState>> states;
    return states;
}

EditState* StateOf(HWND hwnd) {
    auto it = States().find(hwnd);
    return it == States().end() ? nullptr : it->second.get();
}

using base::IsHighSurrogate;
using base::IsLowSurrogate;

size_t NextPosition(const std::u16string& text, size_t pos) {
    if (pos >= text.size()) {
        return text.size();
    }
    return pos +
           ((IsHighSurrogate(text[pos]) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) ? 2 : 1);
}

size_t PreviousPosition(const std::u16string& text, size_t pos) {
    if (pos == 0) {
        return 0;
    }
    if (text[pos - 1] == u'\n' && pos >= 2 && text[pos - 2] == u'\r') {
        return pos - 2; // a line break is one step
    }
    return pos - ((IsLowSurrogate(text[pos - 1]) && pos >= 2 && IsHighSurrogate(text[pos - 2])) ? 2 : 1);
}

size_t WordLeft(const std::u16string& text, size_t pos) {
    while (pos > 0 && text[pos - 1] == u' ') {
        --pos;
    }
    while (pos > 0 && text[pos - 1] != u' ') {
        --pos;
    }
    return pos;
}

size_t WordRight(const std::u16string& text, size_t pos) {
    while (pos < text.size() && text[pos] != u' ') {
        ++pos;
    }
    while (pos < text.size() && text[pos] == u' ') {
        ++pos;
    }
    return pos;
}

/// The text as shown: bullets in place of each character of a password.
std::u16string DisplayText(const EditState& state) {
    if (!(state.style & ES_PASSWORD)) {
        return state.text;
    }
    return std::u16string(state.text.size(), u'\u25CF');
}

/// The shown text with the composition in progress at the caret.
std::u16string ShownWithPreedit(const EditState& state) {
    std::u16string shown = DisplayText(state);
    shown.insert(std::min(state.caret, shown.size()), state.preedit);
    return shown;
}

int Utf8Index(const std::u16string& text, size_t pos) {
    return static_cast<int>(base::ToUtf8(std::u16string_view(text).substr(0, pos)).size());
}

size_t Utf16Index(const std::u16string& text, int utf8Index) {
    std::string utf8 = base::ToUtf8(text);
    utf8Index = std::clamp(utf8Index, 0, static_cast<int>(utf8.size()));
    return base::ToUtf16(std::string_view(utf8).substr(0, static_cast<size_t>(utf8Index))).size();
}

void SetSourceArgb(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0);
}

PangoAttribute* ColorAttribute(PangoAttribute* (*make)(guint16, guint16, guint16), uint32_t argb, int start,
                               int end) {
    PangoAttribute* attribute =
        make(static_cast<guint16>(((argb >> 16) & 0xFF) * 257),
             static_cast<guint16>(((argb >> 8) & 0xFF) * 257), static_cast<guint16>((argb & 0xFF) * 257));
    attribute->start_index = static_cast<guint>(start);
    attribute->end_index = static_cast<guint>(end);
    return attribute;
}

/// A layout of the shown text in the window's font, wrapped to the width for multi-line edits.
LayoutPtr MakeLayout(cairo_t* cr, const EditState& state, int width, bool withPreedit = false) {
    LayoutPtr layout = draw::CreateLayout(cr);
    draw::FontDescriptionPtr font(pango_font_description_new());
    pango_font_description_set_family(font.get(), base::ToUtf8(state.font.face).c_str());
    pango_font_description_set_absolute_size(font.get(), std::max(1, state.font.pixelSize) * PANGO_SCALE);
    pango_font_description_set_weight(font.get(), state.font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(font.get(), state.font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout.get(), font.get());
    std::u16string shown = withPreedit ? ShownWithPreedit(state) : DisplayText(state);
    std::string utf8 = base::ToUtf8(shown);
    pango_layout_set_text(layout.get(), utf8.c_str(), static_cast<int>(utf8.size()));
    if (state.Multiline()) {
        pango_layout_set_width(layout.get(), std::max(1, width - 2 * kPadding) * PANGO_SCALE);
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        pango_layout_set_alignment(layout.get(), (state.style & ES_CENTER)  ? PANGO_ALIGN_CENTER
                                                 : (state.style & ES_RIGHT) ? PANGO_ALIGN_RIGHT
                                                                            : PANGO_ALIGN_LEFT);
    }
    draw::AttrListPtr attributes(pango_attr_list_new());
    if (state.font.underline) {
        pango_attr_list_insert(attributes.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
    if (withPreedit && !state.preedit.empty()) {
        PangoAttribute* underline = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        underline->start_index = static_cast<guint>(Utf8Index(shown, state.caret));
        underline->end_index = static_cast<guint>(Utf8Index(shown, state.caret + state.preedit.size()));
        pango_attr_list_insert(attributes.get(), underline);
    } else if (state.focused && state.SelStart() != state.SelEnd()) {
        int start = Utf8Index(shown, state.SelStart());
        int end = Utf8Index(shown, state.SelEnd());
        pango_attr_list_insert(attributes.get(),
                               ColorAttribute(pango_attr_background_new, kSelectionBack, start, end));
        pango_attr_list_insert(attributes.get(),
                               ColorAttribute(pango_attr_foreground_new, kSelectionText, start, end));
    }
    pango_layout_set_attributes(layout.get(), attributes.get());
    return layout;
}

/// Where the layout's origin sits in the client area, scrolling and alignment included.
POINT LayoutOrigin(const EditState& state, PangoLayout* layout, const RECT& client) {
    if (state.Multiline()) {
        return POINT{kPadding, kPadding - state.scrollY};
    }
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    int x = kPadding;
    int room = client.Width() - 2 * kPadding;
    if (width < room && (state.style & ES_CENTER)) {
        x += (room - width) / 2;
    } else if (width < room && (state.style & ES_RIGHT)) {
        x += room - width;
    }
    return POINT{x - state.scrollX, (client.Height() - height) / 2};
}

/// A scratch Cairo context for measuring when no paint is in progress.
CairoPtr MeasuringContext() {
    static cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    return CairoPtr(cairo_create(scratch));
}

/// Scrolls so the caret is inside the client area.
void KeepCaretVisible(HWND hwnd, EditState& state) {
    RECT client;
    GetClientRect(hwnd, &client);
    auto cr = MeasuringContext();
    LayoutPtr layout = MakeLayout(cr.get(), state, client.Width());
    PangoRectangle caret;
    pango_layout_get_cursor_pos(layout.get(), Utf8Index(DisplayText(state), state.caret), &caret, nullptr);
    if (state.Multiline()) {
        int top = caret.y / PANGO_SCALE;
        int bottom = (caret.y + caret.height) / PANGO_SCALE;
        int room = client.Height() - 2 * kPadding;
        if (top < state.scrollY) {
            state.scrollY = top;
        } else if (bottom > state.scrollY + room) {
            state.scrollY = bottom - room;
        }
        return;
    }
    int x = caret.x / PANGO_SCALE;
    int room = std::max(1, client.Width() - 2 * kPadding - 1);
    if (x < state.scrollX) {
        state.scrollX = x;
    } else if (x > state.scrollX + room) {
        state.scrollX = x - room;
    }
    int width = 0;
    pango_layout_get_pixel_size(layout.get(), &width, nullptr);
    state.scrollX = std::clamp(state.scrollX, 0, std::max(0, width - room));
}

void Notify(HWND hwnd, UINT code) {
    HWND target = GetParent(hwnd);
    if (!target) {
        target = GetWindowOwner(hwnd);
    }
    if (target) {
        SendMessageW(target, WM_COMMAND, MAKEWPARAM(static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_ID)), code),
                     reinterpret_cast<LPARAM>(hwnd));
    }
}

void ShowCaretNow(HWND hwnd, EditState& state) {
    if (state.focused) {
        state.caretShown = true;
        SetTimer(hwnd, kCaretTimer, kCaretBlinkMs, nullptr);
    }
    KeepCaretVisible(hwnd, state);
    InvalidateRect(hwnd, nullptr, 0);
}

/// Puts text in place of the selection, within the length limit and the digits-only rule.
/// Returns false when nothing could be changed.
bool ReplaceSelection(HWND hwnd, EditState& state, std::u16string insert, bool keepUndo = true) {
    if (!state.Multiline()) {
        // A single line keeps only what comes before the first line break.
        insert = insert.substr(0, insert.find_first_of(u"\r\n"));
    }
    if (state.style & ES_NUMBER) {
        std::erase_if(insert, [](char16_t c) { return c < u'0' || c > u'9'; });
    }
    size_t start = state.SelStart();
    size_t end = state.SelEnd();
    size_t room = state.limit - std::min(state.limit, state.text.size() - (end - start));
    bool truncated = insert.size() > room;
    if (truncated) {
        insert.resize(room);
        if (!insert.empty() && IsHighSurrogate(insert.back())) {
            insert.pop_back();
        }
    }
    if (insert.empty() && start == end) {
        if (truncated) {
            Notify(hwnd, EN_MAXTEXT);
        }
        return false;
    }
    if (keepUndo) {
        state.undoText = state.text;
        state.undoCaret = state.caret;
        state.canUndo = true;
    }
    state.text.replace(start, end - start, insert);
    state.caret = state.anchor = start + insert.size();
    ShowCaretNow(hwnd, state);
    Notify(hwnd, EN_CHANGE);
    if (truncated) {
        Notify(hwnd, EN_MAXTEXT);
    }
    return true;
}

void MoveCaret(HWND hwnd, EditState& state, size_t position, bool extend) {
    state.caret = std::min(position, state.text.size());
    if (!extend) {
        state.anchor = state.caret;
    }
    ShowCaretNow(hwnd, state);
}

size_t IndexAtPoint(HWND hwnd, EditState& state, POINT point) {
    RECT client;
    GetClientRect(hwnd, &client);
    auto cr = MeasuringContext();
    LayoutPtr layout = MakeLayout(cr.get(), state, client.Width());
    POINT origin = LayoutOrigin(state, layout.get(), client);
    int index = 0;
    int trailing = 0;
    pango_layout_xy_to_index(layout.get(), (point.x - origin.x) * PANGO_SCALE,
                             (point.y - origin.y) * PANGO_SCALE, &index, &trailing);
    const char* text = pango_layout_get_text(layout.get());
    const char* at = g_utf8_offset_to_pointer(text + index, trailing);
    return Utf16Index(DisplayText(state), static_cast<int>(at - text));
}

/// The caret position one line up or down in a multi-line edit.
size_t VerticalMove(HWND hwnd, EditState& state, int direction) {
    RECT client;
    GetClientRect(hwnd, &client);
    auto cr = MeasuringContext();
    LayoutPtr layout = MakeLayout(cr.get(), state, client.Width());
    PangoRectangle caret;
    pango_layout_get_cursor_pos(layout.get(), Utf8Index(DisplayText(state), state.caret), &caret, nullptr);
    int y = caret.y + (direction > 0 ? caret.height + caret.height / 2 : -caret.height / 2);
    if (y < 0) {
        return 0;
    }
    int index = 0;
    int trailing = 0;
    if (!pango_layout_xy_to_index(layout.get(), caret.x, y, &index, &trailing) && direction > 0 &&
        y >= pango_layout_get_height(layout.get())) {
        int height = 0;
        pango_layout_get_size(layout.get(), nullptr, &height);
        if (y >= height) {
            return state.text.size();
        }
    }
    const char* text = pango_layout_get_text(layout.get());
    return Utf16Index(DisplayText(state),
                      static_cast<int>(g_utf8_offset_to_pointer(text + index, trailing) - text));
}

void Paint(HWND hwnd, EditState& state) {
    PAINTSTRUCT paint;
    Surface* surface = BeginPaint(hwnd, &paint);
    if (!surface) {
        return;
    }
    EditColors colors;
    HWND asked = GetParent(hwnd) ? GetParent(hwnd) : GetWindowOwner(hwnd);
    if (!asked || !SendMessageW(asked, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(&colors),
                                reinterpret_cast<LPARAM>(hwnd))) {
        colors = EditColors{};
    }
    if (state.style & ES_READONLY && !colors.transparent) {
        colors.background = 0xFFF0F0F0;
    }
    CairoPtr cr(cairo_create(surface->CairoSurface()));
    cairo_t* c = cr.get();
    cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
    if (colors.transparent) {
        cairo_set_source_rgba(c, 0, 0, 0, 0);
    } else {
        SetSourceArgb(c, colors.background);
    }
    cairo_paint(c);
    cairo_set_operator(c, CAIRO_OPERATOR_OVER);
    RECT client;
    GetClientRect(hwnd, &client);
    cairo_rectangle(c, 0, 0, client.Width(), client.Height());
    cairo_clip(c);
    LayoutPtr layout = MakeLayout(c, state, client.Width(), true);
    POINT origin = LayoutOrigin(state, layout.get(), client);
    SetSourceArgb(c, colors.text);
    cairo_move_to(c, origin.x, origin.y);
    pango_cairo_show_layout(c, layout.get());
    if (state.focused) {
        PangoRectangle caret;
        size_t at = state.caret + state.preedit.size();
        pango_layout_get_cursor_pos(layout.get(), Utf8Index(ShownWithPreedit(state), at), &caret, nullptr);
        int x = static_cast<int>(std::floor(origin.x + caret.x / static_cast<double>(PANGO_SCALE)));
        int y = origin.y + caret.y / PANGO_SCALE;
        int height = caret.height / PANGO_SCALE;
        if (state.caretShown) {
            cairo_rectangle(c, x, y, 1, height);
            cairo_fill(c);
        }
        SetInputMethodCaret(hwnd, RECT{x, y, x + 1, y + height});
    }
    cr.reset();
    EndPaint(hwnd, &paint);
}

bool CopySelection(const EditState& state) {
    if (state.SelStart() == state.SelEnd() || (state.style & ES_PASSWORD)) {
        return false;
    }
    return SetClipboardText(state.text.substr(state.SelStart(), state.SelEnd() - state.SelStart()));
}

void Undo(HWND hwnd, EditState& state) {
    if (!state.canUndo) {
        return;
    }
    // Undo swaps with the last change, so a second undo redoes it.
    std::swap(state.text, state.undoText);
    size_t caret = state.caret;
    state.caret = state.anchor = std::min(state.undoCaret, state.text.size());
    state.undoCaret = caret;
    ShowCaretNow(hwnd, state);
    Notify(hwnd, EN_CHANGE);
}

void OnKeyDown(HWND hwnd, EditState& state, WPARAM key) {
    bool shift = GetKeyState(VK_SHIFT) & 0x8000;
    bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
    const std::u16string& text = state.text;
    switch (key) {
    case VK_LEFT:
        if (!shift && state.caret != state.anchor) {
            MoveCaret(hwnd, state, state.SelStart(), false);
        } else {
            MoveCaret(hwnd, state, ctrl ? WordLeft(text, state.caret) : PreviousPosition(text, state.caret),
                      shift);
        }
        break;
    case VK_RIGHT:
        if (!shift && state.caret != state.anchor) {
            MoveCaret(hwnd, state, state.SelEnd(), false);
        } else {
            size_t next = NextPosition(text, state.caret);
            if (next < text.size() && text[state.caret] == u'\r' && text[next] == u'\n') {
                ++next;
            }
            MoveCaret(hwnd, state, ctrl ? WordRight(text, state.caret) : next, shift);
        }
        break;
    case VK_HOME:
        if (ctrl || !state.Multiline()) {
            MoveCaret(hwnd, state, 0, shift);
        } else {
            size_t lineStart = text.rfind(u'\n', state.caret == 0 ? 0 : state.caret - 1);
            MoveCaret(hwnd, state, lineStart == std::u16string::npos || state.caret == 0 ? 0 : lineStart + 1,
                      shift);
        }
        break;
    case VK_END:
        if (ctrl || !state.Multiline()) {
            MoveCaret(hwnd, state, text.size(), shift);
        } else {
            size_t lineEnd = text.find_first_of(u"\r\n", state.caret);
            MoveCaret(hwnd, state, lineEnd == std::u16string::npos ? text.size() : lineEnd, shift);
        }
        break;
    case VK_UP:
    case VK_DOWN:
        if (state.Multiline()) {
            MoveCaret(hwnd, state, VerticalMove(hwnd, state, key == VK_UP ? -1 : 1), shift);
        }
        break;
    case VK_DELETE:
        if (state.style & ES_READONLY) {
            break;
        }
        if (shift) {
            SendMessageW(hwnd, WM_CUT, 0, 0);
        } else {
            if (state.caret == state.anchor) {
                size_t next = NextPosition(text, state.caret);
                if (next < text.size() && text[state.caret] == u'\r' && text[next] == u'\n') {
                    ++next;
                }
                state.anchor = next;
            }
            ReplaceSelection(hwnd, state, u"");
        }
        break;
    case VK_INSERT:
        if (ctrl) {
            CopySelection(state);
        } else if (shift) {
            SendMessageW(hwnd, WM_PASTE, 0, 0);
        }
        break;
    default:
        break;
    }
}

void OnChar(HWND hwnd, EditState& state, char16_t c) {
    switch (c) {
    case 1: // Ctrl+A
        state.anchor = 0;
        MoveCaret(hwnd, state, state.text.size(), true);
        return;
    case 3: // Ctrl+C
        CopySelection(state);
        return;
    case 22: // Ctrl+V
        SendMessageW(hwnd, WM_PASTE, 0, 0);
        return;
    case 24: // Ctrl+X
        SendMessageW(hwnd, WM_CUT, 0, 0);
        return;
    case 26: // Ctrl+Z
        Undo(hwnd, state);
        return;
    default:
        break;
    }
    if (state.style & ES_READONLY) {
        return;
    }
    if (c == 8) { // Backspace
        if (state.caret == state.anchor) {
            state.anchor = PreviousPosition(state.text, state.caret);
            std::swap(state.anchor, state.caret);
        }
        ReplaceSelection(hwnd, state, u"");
        return;
    }
    if (c == u'\r') {
        if (state.Multiline()) {
            ReplaceSelection(hwnd, state, u"\r\n");
        }
        return;
    }
    if (c < 0x20 || c == 0x7F) {
        return;
    }
    ReplaceSelection(hwnd, state, std::u16string(1, c));
}

LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto state = std::make_unique<EditState>();
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        state->style = create->style;
        state->text = create->lpszName ? create->lpszName : u"";
        States()[hwnd] = std::move(state);
        EnableInputMethod(hwnd, 1);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    EditState* state = StateOf(hwnd);
    if (!state) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_NCDESTROY:
        States().erase(hwnd);
        return 0;
    case WM_SETTEXT: {
        state->text = lParam ? reinterpret_cast<const char16_t*>(lParam) : u"";
        state->caret = state->anchor = 0;
        state->scrollX = state->scrollY = 0;
        state->canUndo = false;
        InvalidateRect(hwnd, nullptr, 0);
        Notify(hwnd, EN_CHANGE);
        return 1;
    }
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam) {
            return 0;
        }
        size_t count = std::min<size_t>(state->text.size(), wParam - 1);
        auto* buffer = reinterpret_cast<char16_t*>(lParam);
        std::copy_n(state->text.data(), count, buffer);
        buffer[count] = u'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(state->text.size());
    case WM_SETFONT:
        if (wParam) {
            state->font = *reinterpret_cast<const EditFont*>(wParam);
        }
        if (lParam) {
            InvalidateRect(hwnd, nullptr, 0);
        }
        return 0;
    case WM_PAINT:
        Paint(hwnd, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
        state->focused = true;
        ShowCaretNow(hwnd, *state);
        Notify(hwnd, EN_SETFOCUS);
        return 0;
    case WM_IME_COMPOSITION:
        state->preedit = lParam ? *reinterpret_cast<const std::u16string*>(lParam) : std::u16string();
        if (state->style & (ES_READONLY | ES_NUMBER | ES_PASSWORD)) {
            state->preedit.clear();
        }
        InvalidateRect(hwnd, nullptr, 0);
        return 0;
    case WM_KILLFOCUS:
        state->preedit.clear();
        state->focused = false;
        state->caretShown = false;
        state->selecting = false;
        KillTimer(hwnd, kCaretTimer);
        InvalidateRect(hwnd, nullptr, 0);
        Notify(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_TIMER:
        if (wParam == kCaretTimer) {
            state->caretShown = !state->caretShown;
            InvalidateRect(hwnd, nullptr, 0);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN: {
        if (GetFocus() != hwnd) {
            SetFocus(hwnd);
        }
        bool extend = wParam & MK_SHIFT;
        MoveCaret(hwnd, *state, IndexAtPoint(hwnd, *state, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}),
                  extend);
        state->selecting = true;
        SetCapture(hwnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (state->selecting && (wParam & MK_LBUTTON)) {
            MoveCaret(hwnd, *state,
                      IndexAtPoint(hwnd, *state, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), true);
        }
        return 0;
    case WM_LBUTTONUP:
        if (state->selecting) {
            state->selecting = false;
            ReleaseCapture();
        }
        return 0;
    case WM_LBUTTONDBLCLK: {
        size_t at = IndexAtPoint(hwnd, *state, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        state->anchor = WordLeft(state->text, std::min(at + 1, state->text.size()));
        size_t end = at;
        while (end < state->text.size() && state->text[end] != u' ') {
            ++end;
        }
        MoveCaret(hwnd, *state, end, true);
        return 0;
    }
    case WM_CAPTURECHANGED:
        state->selecting = false;
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(hwnd, *state, wParam);
        return 0;
    case WM_CHAR:
        OnChar(hwnd, *state, static_cast<char16_t>(wParam));
        return 0;
    case WM_CUT:
        if (!(state->style & ES_READONLY) && CopySelection(*state)) {
            ReplaceSelection(hwnd, *state, u"");
        }
        return 0;
    case WM_COPY:
        CopySelection(*state);
        return 0;
    case WM_PASTE:
        if (!(state->style & ES_READONLY)) {
            ReplaceSelection(hwnd, *state, GetClipboardText());
        }
        return 0;
    case WM_CLEAR:
        if (!(state->style & ES_READONLY)) {
            ReplaceSelection(hwnd, *state, u"");
        }
        return 0;
    case WM_UNDO:
    case EM_UNDO:
        Undo(hwnd, *state);
        return state->canUndo;
    case EM_CANUNDO:
        return state->canUndo;
    case EM_GETSEL: {
        auto start = static_cast<DWORD>(state->SelStart());
        auto end = static_cast<DWORD>(state->SelEnd());
        if (wParam) {
            *reinterpret_cast<DWORD*>(wParam) = start;
        }
        if (lParam) {
            *reinterpret_cast<DWORD*>(lParam) = end;
        }
        return MAKELPARAM(static_cast<int>(std::min<DWORD>(start, 0xFFFF)),
                          static_cast<int>(std::min<DWORD>(end, 0xFFFF)));
    }
    case EM_SETSEL: {
        auto start = static_cast<intptr_t>(static_cast<int32_t>(wParam));
        auto end = static_cast<intptr_t>(static_cast<int32_t>(lParam));
        size_t size = state->text.size();
        if (start < 0) {
            // -1 removes the selection and leaves the caret where it is.
            state->anchor = state->caret;
        } else {
            size_t from = std::min<size_t>(static_cast<size_t>(start), size);
            size_t to = end < 0 ? size : std::min<size_t>(static_cast<size_t>(end), size);
            state->anchor = from;
            state->caret = to;
        }
        ShowCaretNow(hwnd, *state);
        return 0;
    }
    case EM_REPLACESEL:
        if (lParam) {
            ReplaceSelection(hwnd, *state, reinterpret_cast<const char16_t*>(lParam), wParam != 0);
        }
        return 0;
    case EM_LIMITTEXT:
        state->limit = wParam == 0 ? 0x7FFFFFFE : static_cast<size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(state->limit);
    case EM_SETREADONLY:
        state->style = wParam ? (state->style | ES_READONLY) : (state->style & ~ES_READONLY);
        InvalidateRect(hwnd, nullptr, 0);
        return 1;
    case WM_SIZE:
        KeepCaretVisible(hwnd, *state);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

void RegisterEditWindowClass() {
    WNDCLASSW editClass;
    editClass.style = CS_DBLCLKS;
    editClass.lpfnWndProc = EditProc;
    editClass.hCursor = IDC_IBEAM;
    editClass.lpszClassName = kEditClassName;
    RegisterClassW(editClass);
}

} // namespace tessel
