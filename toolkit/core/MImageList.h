#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/draw/Geometry.h"
#include "toolkit/platform/draw/Graphics.h"
#include "toolkit/platform/draw/Image.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tessel {

/// One icon of an image list: a picture cut into frames side by side.
struct TESSEL_EXPORT _M_IAMGELIST {
    /// The decoded picture, owned by the entry; null when the file could not be decoded.
    std::unique_ptr<Image> image;
    /// Picture width divided by the frame count.
    int frameWidth = 0;
    int height = 0;
    int id = 0;
    /// Number of frames (at least 1).
    int frames = 1;
    std::filesystem::path path;
};

/// A small list of icons, owned by whoever constructs it. Thread-safe.
class TESSEL_EXPORT MImageList {
public:
    MImageList() = default;
    MImageList(const MImageList&) = delete;
    MImageList& operator=(const MImageList&) = delete;

    /// Appends an icon loaded from the full `path` (no images folder is added). An undecodable
    /// file still takes its place, so indexes stay in step; it draws nothing. Returns the new
    /// index, or -1 for an empty path.
    int AddImage(const std::filesystem::path& path, int id, int frames);
    /// Inserts an icon before `index` (-1 appends); returns its index, or -1 for an empty path or
    /// an index out of range.
    int InsertImage(int index, const std::filesystem::path& path, int id, int frames);

    /// Draws the first frame of icon `index` at its own size, centred in `rect`.
    void DrawItemIcon(Graphics& g, const IntRect& rect, int index);
    /// Draws frame `frame` of icon `index` (clamped to the icon's frames) centred in `rect`;
    /// nothing for an index out of range.
    void DrawItemIcon(Graphics& g, const IntRect& rect, int index, int frame);

    /// The entry at `index`, or null. Owned by the list; valid until DelAllImages or destruction.
    const _M_IAMGELIST* GetItemImageData(int index);
    /// The first entry with `id`, or null; ownership as for GetItemImageData.
    const _M_IAMGELIST* GetImageDataByID(int id);
    /// The path of the icon at `index`; empty when out of range.
    std::filesystem::path GetImagePath(int index);
    /// The path of the first icon with `id`; empty when there is none.
    std::filesystem::path GetImagePathByID(int id);
    /// The number of icons.
    int GetImageCount();
    /// Removes every icon.
    void DelAllImages();

    /// Stores a drawing size for callers that lay icons out; drawing itself uses each icon's size.
    void SetDrawImgSize(int width, int height);
    /// The size stored by SetDrawImgSize (0 x 0 until set).
    IntSize GetIconSize();

private:
    std::mutex m_lock;
    std::vector<std::unique_ptr<_M_IAMGELIST>> m_images;
    IntSize m_drawSize;
};

} // namespace tessel
