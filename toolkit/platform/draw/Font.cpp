#include "toolkit/platform/draw/Font.h"

#include "base/Utf.h"
#include "toolkit/platform/draw/CairoHandles.h"

#include <algorithm>

namespace tessel {

// Far beyond any screen, and small enough for Pango's fixed-point sizes.
constexpr int kMaxPixelSize = 4096;

Font::Font(std::u16string face, int pixelSize, int weight, bool italic, bool underline)
    : m_face(std::move(face)), m_pixelSize(std::clamp(pixelSize, 1, kMaxPixelSize)),
      m_weight(std::clamp(weight, 100, 1000)), m_italic(italic), m_underline(underline) {
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, base::ToUtf8(m_face).c_str());
    pango_font_description_set_absolute_size(d, double(m_pixelSize) * PANGO_SCALE);
    pango_font_description_set_weight(d, PangoWeight(m_weight));
    pango_font_description_set_style(d, m_italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    m_description.reset(d, draw::FontDescriptionDeleter());
}

} // namespace tessel
