#include "toolkit/core/MControlFont.h"

#include "toolkit/core/Manager.h"
#include "toolkit/core/PaintManager.h"

namespace tessel {

MControlFont::MControlFont(MObject* parent, UINT id, const CRect& rect, const char16_t* title, BOOL visible,
                           BOOL enabled, BOOL responsive)
    : MControl(parent, id, rect, visible, enabled, responsive), m_title(title ? title : u""),
      m_fontFace(Manager::GetFontName()), m_fontSize(Manager::GetFontWidth()) {}

void MControlFont::SetTextFont(const std::u16string& name) {
    m_fontFace = name;
    m_gdiFont.reset();
}

void MControlFont::SetTextColor(Argb color) {
    m_textColors[0] = color;
}

BOOL MControlFont::TakeStrip(const ImgResInfo* info, int frames) {
    if (!info)
        return 0; // the previous image stays
    m_image = &info->Picture();
    m_frames = frames < 1 ? 1 : frames;
    m_frameWidth = info->Picture().Width() / m_frames;
    m_frameHeight = info->height;
    UpdateControl(1, 0);
    return 1;
}

BOOL MControlFont::SetImage(int resourceId, const std::u16string& resourceType, int frames) {
    if (!m_manager)
        return 0;
    return TakeStrip(m_manager->GetImageCache().AddImgResInfo(resourceId, resourceType, frames, true),
                     frames);
}

BOOL MControlFont::SetImage(const std::u16string& fileName, int frames) {
    if (!m_manager)
        return 0;
    if (!TakeStrip(m_manager->GetImageCache().AddImgResInfo(fileName, frames), frames))
        return 0;
    m_imagePath = fileName;
    return 1;
}

BOOL MControlFont::SetStateImage(int state, const std::u16string& fileName) {
    if (!m_manager)
        return 0;
    const ImgResInfo* info = m_manager->GetImageCache().AddImgResInfo(fileName, 1);
    if (!info)
        return 0;
    m_stateImages[state] = {&info->Picture(), info->Picture().Width(), info->height};
    UpdateControl(1, 0);
    return 1;
}

void MControlFont::SetControlTitle(const std::u16string& text) {
    m_title = text;
}

std::u16string MControlFont::GetControlTitle() const {
    return m_title;
}

void MControlFont::SetTitle(const std::u16string& text) {
    m_gdiFont.reset();
    SetControlTitle(text);
    UpdateControl(1, 0);
}

void MControlFont::SetAlignment(UINT horizontal) {
    SetAlignment(horizontal, m_vAlign);
}

void MControlFont::SetVAlignment(UINT vertical) {
    SetAlignment(m_hAlign, vertical);
}

void MControlFont::SetAlignment(UINT horizontal, UINT vertical) {
    if (horizontal == m_hAlign && vertical == m_vAlign)
        return;
    m_hAlign = horizontal;
    m_vAlign = vertical;
    UpdateControl(1, 0);
}

void MControlFont::SetFont(const std::u16string& face, int size, int style) {
    m_fontFace = face;
    m_fontSize = size;
    m_fontStyle = style;
    m_gdiFont.reset();
}

const FontFamily* MControlFont::GetFontFamily(const std::u16string& face) {
    return m_manager ? m_manager->GetFontCache().FindTempFont(face) : nullptr;
}

const Font& MControlFont::GetGDIFont() {
    if (!m_gdiFont)
        m_gdiFont.emplace(Manager::GetFontName(), m_fontSize,
                          (m_fontStyle & FontStyleBold) ? FontWeightBold : FontWeightNormal,
                          (m_fontStyle & FontStyleItalic) != 0, (m_fontStyle & FontStyleUnderline) != 0);
    return *m_gdiFont;
}

void MControlFont::SetTextColors(Argb normal, Argb hover, Argb pressed, Argb disabled) {
    m_textColors[0] = normal;
    m_textColors[1] = hover;
    m_textColors[2] = pressed;
    m_textColors[3] = disabled;
}

} // namespace tessel
