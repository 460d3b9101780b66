#pragma once

#include "toolkit/platform/draw/Graphics.h"
#include "toolkit/platform/draw/Surface.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace tessel::test {

/// A surface whose pixel (x, y) has the straight ARGB colour `color(x, y)`.
inline std::unique_ptr<Surface> MakePicture(int width, int height,
                                            const std::function<Argb(int, int)>& color) {
    auto surface = Surface::Create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface->Row(y)[x] = Premultiply(color(x, y));
    surface->MarkDirty();
    return surface;
}

/// A folder of its own under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("tessel-render-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& Path() const { return m_path; }

    /// Writes a solid picture of the given size as a PNG at `relative` (folders made as needed).
    std::filesystem::path WritePng(const std::string& relative, int width, int height,
                                   Argb color = 0xFF336699) {
        const auto file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        EXPECT_TRUE(MakePicture(width, height, [color](int, int) { return color; })->SavePng(file));
        return file;
    }

private:
    std::filesystem::path m_path;
};

} // namespace tessel::test
