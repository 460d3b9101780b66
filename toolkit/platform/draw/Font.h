#pragma once

#include "toolkit/TesselExport.h"

#include <memory>
#include <string>

typedef struct _PangoFontDescription PangoFontDescription;

namespace tessel {

/// Font weights on the usual 100..900 scale.
enum FontWeight : int { FontWeightNormal = 400, FontWeightSemibold = 600, FontWeightBold = 700 };

/// A text face: family name, size in pixels, weight, italic and underline. Cheap to copy; copies
/// share one font description.
class TESSEL_EXPORT Font {
public:
    /// A font of the given family and pixel size (clamped to 1..4096).
    Font(std::u16string face, int pixelSize, int weight = FontWeightNormal, bool italic = false,
         bool underline = false);

    /// The family name, size in pixels, weight, and styles this font was made with.
    const std::u16string& Face() const { return m_face; }
    int PixelSize() const { return m_pixelSize; }
    int Weight() const { return m_weight; }
    bool IsItalic() const { return m_italic; }
    bool IsUnderline() const { return m_underline; }

    /// The Pango description of this font, owned by the Font (and its copies); valid while one
    /// of them lives.
    PangoFontDescription* Description() const { return m_description.get(); }

private:
    std::u16string m_face;
    int m_pixelSize;
    int m_weight;
    bool m_italic;
    bool m_underline;
    std::shared_ptr<PangoFontDescription> m_description;
};

} // namespace tessel
