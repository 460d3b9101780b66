#include "toolkit/core/ImageCache.h"

#include "base/Log.h"
#include "base/ProgramPaths.h"
#include "base/Utf.h"
#include "toolkit/core/MRender.h"

#include <algorithm>

namespace tessel {

namespace {

// Builds the entry for a decoded image. A frame count below 1 would divide by zero; such a
// picture is one frame.
std::unique_ptr<ImgResInfo> MakeEntry(std::unique_ptr<Image> image, int frames) {
    auto entry = std::make_unique<ImgResInfo>();
    entry->frames = std::max(frames, 1);
    entry->frameWidth = image->Width() / entry->frames;
    entry->height = image->Height();
    entry->image = std::move(image);
    return entry;
}

} // namespace

ImageCache::ImageCache(std::filesystem::path imagesFolder) : m_folder(std::move(imagesFolder)) {}

std::filesystem::path ImageCache::ImagesFolder() {
    return base::ProgramDataDir() / "images";
}

std::optional<std::filesystem::path> ImageCache::ResolveImagePath(const std::filesystem::path& folder,
                                                                  const std::u16string& name) {
    std::u16string portable = name;
    std::replace(portable.begin(), portable.end(), u'\\', u'/');
    const std::filesystem::path relative(base::ToUtf8(portable));
    if (portable.empty() || relative.has_root_path())
        return std::nullopt;
    for (const auto& part : relative)
        if (part == "..")
            return std::nullopt;
    return folder / relative;
}

const ImgResInfo* ImageCache::AddImgResInfo(const std::u16string& fileName, int frames) {
    std::lock_guard guard(m_lock);
    if (auto found = m_files.find(fileName); found != m_files.end())
        return found->second.get();
    const auto path = ResolveImagePath(m_folder, fileName);
    if (!path) {
        base::LogWarning("toolkit",
                         "refused image name outside the images folder: " + base::ToUtf8(fileName));
        return nullptr;
    }
    // The drawing layer logs why a file could not be decoded.
    auto image = MRender::LoadImageFromFile(*path);
    if (!image)
        return nullptr;
    auto entry = MakeEntry(std::move(image), frames);
    entry->fileName = fileName;
    return m_files.emplace(fileName, std::move(entry)).first->second.get();
}

const ImgResInfo* ImageCache::AddImgResInfo(int resourceId, const std::u16string& resourceType, int frames,
                                            bool fromProgram) {
    std::lock_guard guard(m_lock);
    if (fromProgram)
        return AddResource(m_programResources, resourceId, resourceType, frames, ResourceModule::Program);
    return AddResource(m_libraryResources, resourceId, resourceType, frames, ResourceModule::Library);
}

const ImgResInfo* ImageCache::AddResource(Entries& entries, int resourceId,
                                          const std::u16string& resourceType, int frames,
                                          ResourceModule module) {
    if (auto found = entries.find(resourceId); found != entries.end())
        return found->second.get();
    auto image = MRender::LoadImageFromIDResource(resourceId, resourceType, module);
    if (!image) {
        base::LogWarning("toolkit", "cannot load image resource " + std::to_string(resourceId));
        return nullptr;
    }
    auto entry = MakeEntry(std::move(image), frames);
    entry->resourceId = resourceId;
    return entries.emplace(resourceId, std::move(entry)).first->second.get();
}

void ImageCache::ClearImgResInfo() {
    std::lock_guard guard(m_lock);
    m_files.clear();
    m_programResources.clear();
    m_libraryResources.clear();
}

} // namespace tessel
