#include "toolkit/core/ImageCache.h"

#include "DrawTestSupport.h"
#include "RenderTestSupport.h"
#include "base/Utf.h"
#include "toolkit/core/MRender.h"
#include "toolkit/core/Manager.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

namespace tessel {
namespace {

class ImageCacheTest : public ::testing::Test {
protected:
    ImageCacheTest() : m_images(m_root.Path() / "images"), m_cache(m_images) {}
    ~ImageCacheTest() override { Manager::ClearResources(); }

    std::filesystem::path WriteImage(const std::string& name, int w, int h, Argb color = 0xFF336699) {
        return m_root.WritePng("images/" + name, w, h, color);
    }

    test::TempFolder m_root;
    std::filesystem::path m_images;
    ImageCache m_cache;
};

TEST_F(ImageCacheTest, FirstFrameCountFixesTheFrameWidth) {
    WriteImage("strip.png", 40, 10);
    const ImgResInfo* first = m_cache.AddImgResInfo(u"strip.png", 1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->frameWidth, 40);
    EXPECT_EQ(first->height, 10);
    EXPECT_EQ(first->fileName, u"strip.png");

    const ImgResInfo* again = m_cache.AddImgResInfo(u"strip.png", 4);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->frameWidth, 40);
    EXPECT_EQ(again->frames, 1);
}

TEST_F(ImageCacheTest, FrameCountsBelowOneCountAsOne) {
    WriteImage("zero.png", 30, 10);
    WriteImage("negative.png", 30, 10);
    WriteImage("three.png", 31, 10);
    for (auto [name, frames, width] :
         {std::tuple{u"zero.png", 0, 30}, {u"negative.png", -2, 30}, {u"three.png", 3, 10}}) {
        const ImgResInfo* info = m_cache.AddImgResInfo(name, frames);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->frameWidth, width);
        EXPECT_GE(info->frames, 1);
    }
}

TEST_F(ImageCacheTest, FailedLoadIsTriedAgain) {
    EXPECT_FALSE(m_cache.AddImgResInfo(u"late.png", 1));
    std::filesystem::create_directories(m_images);
    std::ofstream(m_images / "late.png") << "not a picture";
    EXPECT_FALSE(m_cache.AddImgResInfo(u"late.png", 1));
    WriteImage("late.png", 12, 6);
    const ImgResInfo* info = m_cache.AddImgResInfo(u"late.png", 2);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->frameWidth, 6);
}

TEST_F(ImageCacheTest, NamesStayInsideTheImagesFolder) {
    WriteImage("sub/icon.png", 4, 4);
    m_root.WritePng("secret.png", 4, 4);
    const std::u16string absolute = base::ToUtf16((m_root.Path() / "secret.png").string());
    struct Case {
        std::u16string name;
        bool loads;
    } cases[] = {
        {u"sub/icon.png", true},
        {u"sub\\icon.png", true}, // Windows-style separators name the same file
        {u"sub/./icon.png", true},
        {u"../secret.png", false},
        {u"sub\\..\\..\\secret.png", false},
        {u"sub/../sub/icon.png", false}, // any ".." part is refused, even one that comes back
        {absolute, false},
        {u"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_cache.AddImgResInfo(c.name, 1) != nullptr, c.loads) << base::ToUtf8(c.name);
}

TEST_F(ImageCacheTest, ClearingReleasesEverythingSoTheNextRequestDecodesAgain) {
    WriteImage("a.png", 10, 10);
    ASSERT_EQ(m_cache.AddImgResInfo(u"a.png", 1)->frameWidth, 10);
    WriteImage("a.png", 20, 10);
    EXPECT_EQ(m_cache.AddImgResInfo(u"a.png", 1)->frameWidth, 10); // still the cached one
    m_cache.ClearImgResInfo();
    EXPECT_EQ(m_cache.AddImgResInfo(u"a.png", 1)->frameWidth, 20);
}

TEST_F(ImageCacheTest, LibraryScrollStripsHaveTheirSizes) {
    const ImgResInfo* horizontal = m_cache.AddImgResInfo(101, u"PNG", 1, false);
    const ImgResInfo* vertical = m_cache.AddImgResInfo(102, u"PNG", 3, false);
    ASSERT_TRUE(horizontal);
    ASSERT_TRUE(vertical);
    EXPECT_EQ(horizontal->resourceId, 101);
    EXPECT_EQ((IntSize{horizontal->frameWidth, horizontal->height}), (IntSize{22, 20}));
    EXPECT_EQ((IntSize{vertical->image->Width(), vertical->height}), (IntSize{12, 72}));
    EXPECT_EQ(vertical->frameWidth, 4);

    // The vertical strip's columns: a faint track, then two opaque thumbs, the hovered one lighter.
    const Surface& v = vertical->Picture();
    EXPECT_LT(AlphaOf(test::ColorAt(v, 1, 36)), 0x80);
    EXPECT_EQ(AlphaOf(test::ColorAt(v, 5, 36)), 0xFF);
    EXPECT_EQ(AlphaOf(test::ColorAt(v, 9, 36)), 0xFF);
    EXPECT_GT(RedOf(test::ColorAt(v, 5, 36)), RedOf(test::ColorAt(v, 9, 36)));
    // The horizontal strip's rows 1 to 3 are opaque thumbs.
    const Surface& h = horizontal->Picture();
    for (int row = 1; row < 4; ++row)
        EXPECT_EQ(AlphaOf(test::ColorAt(h, 11, row * 5 + 2)), 0xFF) << row;

    EXPECT_FALSE(m_cache.AddImgResInfo(103, u"PNG", 1, false));
    EXPECT_FALSE(m_cache.AddImgResInfo(106, u"TTF", 1, false)); // a face, not a picture
}

TEST_F(ImageCacheTest, ProgramResourcesAreRegisteredByIdAndType) {
    const auto file = m_root.WritePng("res.png", 16, 8);
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    Manager::AddResource(500, u"png", bytes);
    Manager::AddResource(501, u"PNG", {'x', 'y'});

    EXPECT_FALSE(m_cache.AddImgResInfo(500, u"PNG", 2, false)); // not a resource of the library
    EXPECT_FALSE(m_cache.AddImgResInfo(500, u"JPG", 2, true));  // nor of that type
    const ImgResInfo* info = m_cache.AddImgResInfo(500, u"Png", 2, true);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->frameWidth, 8);
    EXPECT_EQ(info->resourceId, 500);
    EXPECT_FALSE(m_cache.AddImgResInfo(501, u"PNG", 1, true)); // undecodable bytes
    EXPECT_FALSE(m_cache.AddImgResInfo(101, u"PNG", 1, true)); // the library's ids are its own
    EXPECT_TRUE(MRender::LoadImageFromIDResource(500, u"PNG", ResourceModule::Program));
}

TEST_F(ImageCacheTest, ThreadsAskingForOneImageShareOneEntry) {
    WriteImage("shared.png", 10, 10);
    std::vector<const ImgResInfo*> seen(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&, i] { seen[i] = m_cache.AddImgResInfo(u"shared.png", 1); });
    for (auto& t : threads)
        t.join();
    ASSERT_TRUE(seen[0]);
    for (const auto* s : seen)
        EXPECT_EQ(s, seen[0]);
}

TEST(ImageCache, ImagesFolderIsInTheProgramDataFolder) {
    EXPECT_EQ(ImageCache::ImagesFolder().filename(), "images");
    EXPECT_EQ(ImageCache::ResolveImagePath("/data/images", u"a\\b.png"),
              std::filesystem::path("/data/images/a/b.png"));
}

} // namespace
} // namespace tessel
