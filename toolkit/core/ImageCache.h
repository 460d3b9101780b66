#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/draw/Image.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace tessel {

/// One cached picture: the decoded image and how it is cut into frames side by side.
struct TESSEL_EXPORT ImgResInfo {
    /// The decoded image, owned by the cache; never null in a cached entry.
    std::unique_ptr<Image> image;
    /// Image width divided by the frame count given at the first load (integer division).
    int frameWidth = 0;
    /// Image height.
    int height = 0;
    /// The frame count given at the first load (at least 1).
    int frames = 1;
    /// The file name it was loaded from (empty for a resource).
    std::u16string fileName;
    /// The resource id it was loaded from (0 for a file).
    int resourceId = 0;

    /// The picture to draw from (the first frame of an animation).
    const Surface& Picture() const { return image->Frame(0); }
};

/// The pictures of one window: skin images by file name, and resources of the program and of
/// the library by id. Each picture is decoded once and shared by all the window's controls.
/// Thread-safe: controls may look pictures up from a timer thread.
class TESSEL_EXPORT ImageCache {
public:
    /// A cache reading skin images from `imagesFolder` (ImagesFolder() by default).
    explicit ImageCache(std::filesystem::path imagesFolder = ImagesFolder());
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    /// The cached entry for `fileName`, or the image loaded from the images folder and cached
    /// now; null when the name is refused or the file cannot be decoded (nothing is cached, so a
    /// later call tries again). The first load's frame count fixes the frame width. The entry
    /// belongs to the cache and stays valid until ClearImgResInfo or the cache's destruction.
    const ImgResInfo* AddImgResInfo(const std::u16string& fileName, int frames);
    /// The same for a resource of the program (`fromProgram`) or of the library, by id and type.
    const ImgResInfo* AddImgResInfo(int resourceId, const std::u16string& resourceType, int frames,
                                    bool fromProgram);
    /// Releases every cached image; entries handed out before become invalid.
    void ClearImgResInfo();

    /// The folder skin images are read from: "images" in the program's data folder.
    static std::filesystem::path ImagesFolder();
    /// The file `name` names inside `folder`; names may hold sub-folders ("/" or "\"). Nothing
    /// for an empty name, an absolute one, or one with a ".." part, which could leave the folder.
    static std::optional<std::filesystem::path> ResolveImagePath(const std::filesystem::path& folder,
                                                                 const std::u16string& name);

private:
    using Entries = std::map<int, std::unique_ptr<ImgResInfo>>;
    const ImgResInfo* AddResource(Entries& entries, int resourceId, const std::u16string& resourceType,
                                  int frames, ResourceModule module);

    std::filesystem::path m_folder;
    std::mutex m_lock;
    std::map<std::u16string, std::unique_ptr<ImgResInfo>> m_files;
    Entries m_programResources;
    Entries m_libraryResources;
};

} // namespace tessel
