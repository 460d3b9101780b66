#include "toolkit/core/MImageList.h"

#include "toolkit/core/MRender.h"

#include <algorithm>

namespace tessel {

namespace {

std::unique_ptr<_M_IAMGELIST> MakeEntry(const std::filesystem::path& path, int id, int frames) {
    auto entry = std::make_unique<_M_IAMGELIST>();
    entry->image = MRender::LoadImageFromFile(path);
    entry->id = id;
    entry->frames = std::max(frames, 1); // no frames would divide by zero; it is one frame
    entry->path = path;
    if (entry->image) {
        entry->frameWidth = entry->image->Width() / entry->frames;
        entry->height = entry->image->Height();
    }
    return entry;
}

} // namespace

int MImageList::AddImage(const std::filesystem::path& path, int id, int frames) {
    return InsertImage(-1, path, id, frames);
}

int MImageList::InsertImage(int index, const std::filesystem::path& path, int id, int frames) {
    if (path.empty())
        return -1;
    // Decode outside the lock: a slow file must not hold up drawing on another thread.
    auto entry = MakeEntry(path, id, frames);
    std::lock_guard guard(m_lock);
    if (index == -1)
        index = int(m_images.size());
    if (index < 0 || index > int(m_images.size()))
        return -1;
    m_images.insert(m_images.begin() + index, std::move(entry));
    return index;
}

void MImageList::DrawItemIcon(Graphics& g, const IntRect& rect, int index) {
    DrawItemIcon(g, rect, index, 0);
}

void MImageList::DrawItemIcon(Graphics& g, const IntRect& rect, int index, int frame) {
    std::lock_guard guard(m_lock);
    if (index < 0 || index >= int(m_images.size()))
        return;
    const auto& entry = *m_images[index];
    if (!entry.image || entry.frameWidth <= 0)
        return;
    // Frames are numbered from 0, so the last one is frames - 1.
    const int shown = std::clamp(frame, 0, entry.frames - 1);
    const int x = rect.x + (rect.width - entry.frameWidth) / 2;
    const int y = rect.y + (rect.height - entry.height) / 2;
    g.DrawImage(entry.image->Frame(0), {shown * entry.frameWidth, 0, entry.frameWidth, entry.height},
                RectF(x, y, entry.frameWidth, entry.height));
}

const _M_IAMGELIST* MImageList::GetItemImageData(int index) {
    std::lock_guard guard(m_lock);
    return index >= 0 && index < int(m_images.size()) ? m_images[index].get() : nullptr;
}

const _M_IAMGELIST* MImageList::GetImageDataByID(int id) {
    std::lock_guard guard(m_lock);
    const auto found =
        std::find_if(m_images.begin(), m_images.end(), [id](const auto& e) { return e->id == id; });
    return found == m_images.end() ? nullptr : found->get();
}

std::filesystem::path MImageList::GetImagePath(int index) {
    const auto* entry = GetItemImageData(index);
    return entry ? entry->path : std::filesystem::path();
}

std::filesystem::path MImageList::GetImagePathByID(int id) {
    const auto* entry = GetImageDataByID(id);
    return entry ? entry->path : std::filesystem::path();
}

int MImageList::GetImageCount() {
    std::lock_guard guard(m_lock);
    return int(m_images.size());
}

void MImageList::DelAllImages() {
    std::lock_guard guard(m_lock);
    m_images.clear();
}

void MImageList::SetDrawImgSize(int width, int height) {
    std::lock_guard guard(m_lock);
    m_drawSize = {width, height};
}

IntSize MImageList::GetIconSize() {
    std::lock_guard guard(m_lock);
    return m_drawSize;
}

} // namespace tessel
