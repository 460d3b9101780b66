#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/draw/Surface.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tessel {

/// File formats that Image::Save writes.
enum class ImageFormat { Png, Bmp, Jpeg, Ico };

/// A decoded picture: one frame for still images, every frame of an animated GIF (each frame
/// fully composited, as it is shown) with its display time. Frames are premultiplied ARGB32
/// surfaces that can be drawn directly with Graphics::DrawImage.
class TESSEL_EXPORT Image {
public:
    /// Decodes PNG, JPEG, BMP, ICO or GIF (and whatever else gdk-pixbuf reads) from a file;
    /// null when the file is missing, damaged or not a picture. The caller owns the result.
    static std::unique_ptr<Image> Load(const std::filesystem::path& path);

    /// Decodes a picture from memory; null when the bytes are not a picture.
    static std::unique_ptr<Image> LoadFromMemory(const void* data, size_t size);

    /// Writes a surface as an image file (alpha kept where the format has it; JPEG and BMP drop
    /// it). False when the file cannot be written.
    static bool Save(const Surface& surface, const std::filesystem::path& path, ImageFormat format);

    /// Size of a frame in pixels.
    int Width() const { return m_frames.front()->Width(); }
    int Height() const { return m_frames.front()->Height(); }
    /// Number of frames: 1 for still images, at least 1 for animations.
    int FrameCount() const { return int(m_frames.size()); }

    /// Frame `index` (0 = first), owned by the image; indexes out of range give the last frame.
    const Surface& Frame(int index = 0) const;

    /// How long frame `index` is shown, in milliseconds; 0 for still images.
    int FrameDelayMs(int index) const;

private:
    Image() = default;

    std::vector<std::unique_ptr<Surface>> m_frames;
    std::vector<int> m_delaysMs;
};

} // namespace tessel
