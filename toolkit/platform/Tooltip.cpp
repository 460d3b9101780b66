#include "toolkit/platform/Tooltip.h"

#include "base/Utf.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/draw/CairoHandles.h"
#include "toolkit/platform/draw/Surface.h"

#include <algorithm>

namespace tessel {

namespace {

constexpr const char16_t* kTooltipClass = u"TesselTooltip";
constexpr int kPaddingX = 6;
constexpr int kPaddingY = 3;
constexpr int kGap = 4;
constexpr int kMaxWidth = 400;
constexpr const char* kFont = "Sans 9";

/// Lays out the text as the tooltip shows it.
draw::LayoutPtr MakeLayout(cairo_t* cr, const std::u16string& text) {
    draw::LayoutPtr layout = draw::CreateLayout(cr);
    draw::FontDescriptionPtr font(pango_font_description_from_string(kFont));
    pango_layout_set_font_description(layout.get(), font.get());
    std::string utf8 = base::ToUtf8(text);
    pango_layout_set_text(layout.get(), utf8.c_str(), static_cast<int>(utf8.size()));
    pango_layout_set_width(layout.get(), (kMaxWidth - 2 * kPaddingX) * PANGO_SCALE);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    return layout;
}

LRESULT TooltipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        Surface* surface = BeginPaint(hwnd, &paint);
        if (surface) {
            draw::CairoPtr context(cairo_create(surface->CairoSurface()));
            cairo_t* cr = context.get();
            cairo_set_source_rgb(cr, 1.0, 1.0, 0xE1 / 255.0);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0.46, 0.46, 0.46);
            cairo_set_line_width(cr, 1);
            RECT client;
            GetClientRect(hwnd, &client);
            cairo_rectangle(cr, 0.5, 0.5, client.Width() - 1, client.Height() - 1);
            cairo_stroke(cr);
            draw::LayoutPtr layout = MakeLayout(cr, GetWindowTextW(hwnd));
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_move_to(cr, kPaddingX, kPaddingY);
            pango_cairo_show_layout(cr, layout.get());
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterTooltipClass() {
    WNDCLASSW tooltipClass;
    tooltipClass.lpfnWndProc = TooltipProc;
    tooltipClass.lpszClassName = kTooltipClass;
    RegisterClassW(tooltipClass);
}

HWND CreateTooltipWindow(HWND owner) {
    return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                           kTooltipClass, u"", WS_POPUP, 0, 0, 1, 1, owner, 0, nullptr);
}

BOOL ShowTooltip(HWND tooltip, const std::u16string& text, const RECT& near) {
    if (!IsWindow(tooltip)) {
        return 0;
    }
    if (text.empty()) {
        return HideTooltip(tooltip);
    }
    draw::CairoSurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    draw::CairoPtr cr(cairo_create(scratch.get()));
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(MakeLayout(cr.get(), text).get(), &width, &height);
    width += 2 * kPaddingX;
    height += 2 * kPaddingY;

    RECT work = GetWorkArea(GetWindowOwner(tooltip));
    int x = near.left;
    int y = near.bottom + kGap;
    if (y + height > work.bottom) {
        y = near.top - kGap - height; // no room below: above the rectangle
    }
    x = std::clamp(x, work.left, std::max(work.left, work.right - width));
    y = std::clamp(y, work.top, std::max(work.top, work.bottom - height));
    SetWindowTextW(tooltip, text);
    SetWindowPos(tooltip, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
    InvalidateRect(tooltip, nullptr, 0);
    ShowWindow(tooltip, SW_SHOWNA);
    return 1;
}

BOOL HideTooltip(HWND tooltip) {
    return IsWindow(tooltip) && (ShowWindow(tooltip, SW_HIDE), true);
}

} // namespace tessel
