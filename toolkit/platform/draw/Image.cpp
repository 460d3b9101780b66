#include "toolkit/platform/draw/Image.h"

#include "base/Log.h"
#include "toolkit/platform/draw/CairoHandles.h"
#include "toolkit/platform/draw/Color.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tessel {

namespace {

// A GIF can hold any number of frames; this keeps a hostile file from eating all memory.
constexpr int kMaxFrames = 4096;
// Browsers show delays below 20 ms as 100 ms; gdk-pixbuf already raises tiny delays, this only
// guards against a zero delay that would stall the frame walk.
constexpr int kMinDelayMs = 10;
// Hostile files are small: a GIF of a hundred bytes can claim a 16000 x 16000 screen, and each of
// thousands of frames is decoded at full size. These caps bound what one image may cost.
constexpr size_t kMaxFileBytes = size_t{32} << 20;
constexpr size_t kMaxDecodedBytes = size_t{64} << 20; // all frames together, 4 bytes a pixel

size_t DecodedBytes(int width, int height) {
    return size_t(std::max(width, 0)) * size_t(std::max(height, 0)) * 4;
}

// The loader announces the size before it allocates anything; asking for a size of 0 x 0 then
// makes it fail the load instead of decoding.
void RefuseHugeSize(GdkPixbufLoader* loader, int width, int height, gpointer refused) {
    if (DecodedBytes(width, height) > kMaxDecodedBytes) {
        *static_cast<bool*>(refused) = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);
    }
}

// Copies a pixbuf (straight RGBA or RGB bytes) into a new premultiplied ARGB32 surface.
std::unique_ptr<Surface> SurfaceFromPixbuf(GdkPixbuf* pixbuf) {
    if (!pixbuf || gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
        gdk_pixbuf_get_bits_per_sample(pixbuf) != 8)
        return nullptr;
    const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
    auto surface = Surface::Create(width, height);
    if (!surface)
        return nullptr;
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
    for (int y = 0; y < height; ++y) {
        const guchar* src = pixels + size_t(y) * stride;
        uint32_t* dst = surface->Row(y);
        for (int x = 0; x < width; ++x, src += channels)
            dst[x] = Premultiply(MakeArgb(alpha ? src[3] : 0xFF, src[0], src[1], src[2]));
    }
    surface->MarkDirty();
    return surface;
}

std::string ErrorText(GError* error) {
    return error && error->message ? error->message : "unknown error";
}

} // namespace

std::unique_ptr<Image> Image::Load(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        base::LogWarning("draw", "cannot open image " + path.string());
        return nullptr;
    }
    std::error_code error;
    const auto fileSize = std::filesystem::file_size(path, error);
    if (error || fileSize > kMaxFileBytes) {
        base::LogWarning("draw", "image file too large or unreadable: " + path.string());
        return nullptr;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto image = LoadFromMemory(bytes.data(), bytes.size());
    if (!image)
        base::LogWarning("draw", "cannot decode image " + path.string());
    return image;
}

std::unique_ptr<Image> Image::LoadFromMemory(const void* data, size_t size) {
    if (!data || size == 0)
        return nullptr;
    if (size > kMaxFileBytes) {
        base::LogWarning("draw", "image data too large: " + std::to_string(size) + " bytes");
        return nullptr;
    }
    draw::PixbufLoaderPtr loader(gdk_pixbuf_loader_new());
    bool hugeSize = false;
    g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(RefuseHugeSize), &hugeSize);
    GError* rawError = nullptr;
    const bool written =
        gdk_pixbuf_loader_write(loader.get(), static_cast<const guchar*>(data), size, &rawError);
    draw::GErrorPtr writeError(rawError);
    rawError = nullptr;
    // The loader must always be closed, even after a failed write.
    const bool closed = gdk_pixbuf_loader_close(loader.get(), &rawError);
    draw::GErrorPtr closeError(rawError);
    if (hugeSize) {
        base::LogWarning("draw", "image refused: its size would take more than 64 MiB");
        return nullptr;
    }
    if (!written || !closed) {
        base::LogWarning("draw", "image decoding failed: " +
                                     ErrorText(writeError ? writeError.get() : closeError.get()));
        return nullptr;
    }
    GdkPixbufAnimation* animation = gdk_pixbuf_loader_get_animation(loader.get()); // owned by the loader
    if (!animation)
        return nullptr;

    std::unique_ptr<Image> image(new Image());
    if (gdk_pixbuf_animation_is_static_image(animation)) {
        auto frame = SurfaceFromPixbuf(gdk_pixbuf_animation_get_static_image(animation));
        if (!frame)
            return nullptr;
        image->m_frames.push_back(std::move(frame));
        image->m_delaysMs.push_back(0);
        return image;
    }

    // Walk the animation by its own clock: show a frame, move the clock on by its delay, and
    // stop at the last frame of the file (the iterator reports that as the frame "being loaded").
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GTimeVal clock = {0, 0};
    draw::PixbufIterPtr iter(gdk_pixbuf_animation_get_iter(animation, &clock));
    size_t decoded = 0;
    while (int(image->m_frames.size()) < kMaxFrames) {
        GdkPixbuf* pixbuf = gdk_pixbuf_animation_iter_get_pixbuf(iter.get());
        if (pixbuf) {
            decoded += DecodedBytes(gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf));
            if (decoded > kMaxDecodedBytes) {
                base::LogWarning("draw", "animation refused: its frames would take more than 64 MiB");
                return nullptr;
            }
        }
        auto frame = SurfaceFromPixbuf(pixbuf);
        if (!frame)
            return nullptr;
        const int delay = gdk_pixbuf_animation_iter_get_delay_time(iter.get());
        image->m_frames.push_back(std::move(frame));
        image->m_delaysMs.push_back(std::max(delay, 0));
        if (delay < 0 || gdk_pixbuf_animation_iter_on_currently_loading_frame(iter.get()))
            break;
        g_time_val_add(&clock, glong(std::max(delay, kMinDelayMs)) * 1000);
        gdk_pixbuf_animation_iter_advance(iter.get(), &clock);
    }
    G_GNUC_END_IGNORE_DEPRECATIONS
    return image;
}

bool Image::Save(const Surface& surface, const std::filesystem::path& path, ImageFormat format) {
    const bool keepAlpha = format == ImageFormat::Png || format == ImageFormat::Ico;
    const int width = surface.Width(), height = surface.Height();
    draw::PixbufPtr pixbuf(gdk_pixbuf_new(GDK_COLORSPACE_RGB, keepAlpha, 8, width, height));
    if (!pixbuf)
        return false;
    const int channels = gdk_pixbuf_get_n_channels(pixbuf.get());
    const int stride = gdk_pixbuf_get_rowstride(pixbuf.get());
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf.get());
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = surface.Row(y);
        guchar* dst = pixels + size_t(y) * stride;
        for (int x = 0; x < width; ++x, dst += channels) {
            const Argb c = Unpremultiply(src[x]);
            dst[0] = RedOf(c);
            dst[1] = GreenOf(c);
            dst[2] = BlueOf(c);
            if (keepAlpha)
                dst[3] = AlphaOf(c);
        }
    }
    const char* type = format == ImageFormat::Png    ? "png"
                       : format == ImageFormat::Bmp  ? "bmp"
                       : format == ImageFormat::Jpeg ? "jpeg"
                                                     : "ico";
    GError* rawError = nullptr;
    const bool saved = gdk_pixbuf_save(pixbuf.get(), path.c_str(), type, &rawError, nullptr);
    draw::GErrorPtr error(rawError);
    if (!saved)
        base::LogWarning("draw", "cannot save image " + path.string() + ": " + ErrorText(error.get()));
    return saved;
}

const Surface& Image::Frame(int index) const {
    return *m_frames[std::clamp(index, 0, FrameCount() - 1)];
}

int Image::FrameDelayMs(int index) const {
    if (index < 0 || index >= FrameCount())
        return 0;
    return m_delaysMs[index];
}

} // namespace tessel
