#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/FontCache.h"
#include "toolkit/core/ImageCache.h"
#include "toolkit/core/MControl.h"
#include "toolkit/platform/draw/Font.h"

#include <optional>
#include <string>

namespace tessel {

/// Font style bits.
enum FontStyle : int { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4 };

/// The base of controls with a title and pictures: text font, colours and alignment, a strip
/// image of equal frames, and one picture per state. Pictures belong to the window's image
/// cache and are only observed here.
class TESSEL_EXPORT MControlFont : public MControl {
public:
    MControlFont(MObject* parent, UINT id, const CRect& rect, const char16_t* title, BOOL visible,
                 BOOL enabled, BOOL responsive);

    /// The state pictures are drawn from; each is owned by the window's image cache.
    struct StateImage {
        const Surface* image = nullptr;
        int width = 0;
        int height = 0;
    };

    // Virtual operations, in this order.
    /// Sets the face name.
    virtual void SetTextFont(const std::u16string& name);
    /// Sets the normal text colour (ARGB).
    virtual void SetTextColor(Argb color);
    /// Loads a strip of `frames` frames from a program resource; 0 without a manager or on failure.
    virtual BOOL SetImage(int resourceId, const std::u16string& resourceType, int frames);
    /// Loads a strip from the images folder; 0 without a manager or on failure.
    virtual BOOL SetImage(const std::u16string& fileName, int frames);
    /// Stores the title.
    virtual void SetControlTitle(const std::u16string& text);
    virtual std::u16string GetControlTitle() const;

    /// Stores the title and repaints when visible.
    void SetTitle(const std::u16string& text);
    std::u16string GetTitle() const { return GetControlTitle(); }
    /// Horizontal alignment: 0 left, 1 centre, 2 right; repaints when it changes.
    void SetAlignment(UINT horizontal);
    /// Vertical alignment: 0 top, 4 centre, 8 bottom; repaints when it changes.
    void SetVAlignment(UINT vertical);
    void SetAlignment(UINT horizontal, UINT vertical);
    void GetAlignment(UINT& horizontal, UINT& vertical) const {
        horizontal = m_hAlign;
        vertical = m_vAlign;
    }
    /// Stores face, size and style without repainting.
    void SetFont(const std::u16string& face, int size, int style);
    /// The window's family for the toolkit face; null without a manager. Owned by the font cache.
    const FontFamily* GetFontFamily(const std::u16string& face);
    /// The text font (toolkit face, the control's size and style), made on first use.
    const Font& GetGDIFont();
    void ClearGDIFont() { m_gdiFont.reset(); }
    void SetTextRenderingHint(int hint) { m_renderingHint = hint; }
    int GetTextRenderingHint() const { return m_renderingHint; }
    /// Sets the normal, hover, pressed and disabled text colours (ARGB).
    void SetTextColors(Argb normal, Argb hover, Argb pressed, Argb disabled);
    Argb GetTextColor() const { return m_textColors[0]; }
    /// 0 normal, 1 hover, 2 pressed, 3 disabled.
    Argb GetTextColor(int state) const { return m_textColors[state & 3]; }
    void SetFontStyle(int style) {
        m_fontStyle = style;
        m_gdiFont.reset();
    }
    int GetFontStyle() const { return m_fontStyle; }
    void SetFontWidth(int size) {
        m_fontSize = size;
        m_gdiFont.reset();
    }
    int GetFontWidth() const { return m_fontSize; }
    const std::u16string& GetTextFont() const { return m_fontFace; }
    const std::u16string& GetImagePath() const { return m_imagePath; }
    /// Frame width and height of the strip image.
    SIZE GetImageSize() const { return {m_frameWidth, m_frameHeight}; }
    void SetImageCount(int frames) { m_frames = frames; }
    int GetImageCount() const { return m_frames; }
    const Surface* GetStripImage() const { return m_image; }

    /// Load a state picture from the images folder; 0 without a manager or on failure.
    BOOL SetNormalImage(const std::u16string& fileName) { return SetStateImage(0, fileName); }
    BOOL SetHoverImage(const std::u16string& fileName) { return SetStateImage(1, fileName); }
    BOOL SetDownImage(const std::u16string& fileName) { return SetStateImage(2, fileName); }
    BOOL SetDisableImage(const std::u16string& fileName) { return SetStateImage(3, fileName); }
    const StateImage& GetStateImage(int state) const { return m_stateImages[state & 3]; }

protected:
    BOOL SetStateImage(int state, const std::u16string& fileName);
    BOOL TakeStrip(const ImgResInfo* info, int frames);

    std::u16string m_title;
    std::u16string m_fontFace;
    std::u16string m_imagePath;
    int m_fontSize;
    Argb m_textColors[4] = {0xFFFFFFFF, 0xFFC8C8C8, 0xFF969696, 0xFF808080};
    int m_fontStyle = FontStyleRegular;
    UINT m_hAlign = 0;
    UINT m_vAlign = 4;
    int m_renderingHint = 5;
    std::optional<Font> m_gdiFont;
    const Surface* m_image = nullptr; // owned by the window's image cache
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_frames = 4;
    StateImage m_stateImages[4];
};

} // namespace tessel
