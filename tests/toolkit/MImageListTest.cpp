#include "toolkit/core/MImageList.h"

#include "DrawTestSupport.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

// Icons of 3 frames, 4 x 4 each, red, green and blue side by side.
class MImageListTest : public ::testing::Test {
protected:
    MImageListTest() {
        m_icons = m_folder.Path() / "icons.png";
        test::MakePicture(12, 4, [](int x, int) {
            return x < 4 ? 0xFFFF0000u : x < 8 ? 0xFF00FF00u : 0xFF0000FFu;
        })->SavePng(m_icons);
    }

    Argb DrawnColour(int index, int frame) {
        auto target = Surface::Create(10, 10);
        Graphics g(*target);
        m_list.DrawItemIcon(g, {0, 0, 10, 10}, index, frame);
        // The icon sits centred at its own size: pixels 3 to 6.
        EXPECT_EQ(test::InkBounds(*target), (IntRect{3, 3, 4, 4}));
        return test::ColorAt(*target, 4, 4);
    }

    test::TempFolder m_folder;
    std::filesystem::path m_icons;
    MImageList m_list;
};

TEST_F(MImageListTest, AddAndInsertKeepIndexes) {
    EXPECT_EQ(m_list.AddImage({}, 1, 1), -1);
    EXPECT_EQ(m_list.AddImage(m_icons, 10, 3), 0);
    EXPECT_EQ(m_list.AddImage(m_folder.Path() / "missing.png", 11, 1), 1); // keeps its place
    EXPECT_EQ(m_list.InsertImage(0, m_icons, 12, 3), 0);
    EXPECT_EQ(m_list.InsertImage(-1, m_icons, 13, 1), 3);
    EXPECT_EQ(m_list.InsertImage(5, m_icons, 14, 1), -1);
    EXPECT_EQ(m_list.InsertImage(-2, m_icons, 14, 1), -1);
    ASSERT_EQ(m_list.GetImageCount(), 4);

    EXPECT_EQ(m_list.GetImageDataByID(10), m_list.GetItemImageData(1));
    EXPECT_EQ(m_list.GetItemImageData(1)->frameWidth, 4);
    EXPECT_EQ(m_list.GetItemImageData(3)->frameWidth, 12);
    EXPECT_FALSE(m_list.GetItemImageData(2)->image);
    EXPECT_EQ(m_list.GetImagePathByID(11), m_folder.Path() / "missing.png");
    EXPECT_EQ(m_list.GetImagePath(0), m_icons);
    EXPECT_TRUE(m_list.GetImagePath(4).empty());
    EXPECT_FALSE(m_list.GetImageDataByID(99));

    m_list.DelAllImages();
    EXPECT_EQ(m_list.GetImageCount(), 0);
    EXPECT_FALSE(m_list.GetItemImageData(0));
}

TEST_F(MImageListTest, DrawsTheChosenFrameCentredAtItsOwnSize) {
    m_list.AddImage(m_icons, 1, 3);
    m_list.AddImage(m_icons, 2, 0); // no frames: the whole picture is one frame
    m_list.SetDrawImgSize(30, 30);  // stored for callers; drawing keeps the icon's own size
    EXPECT_EQ(m_list.GetIconSize(), (IntSize{30, 30}));

    EXPECT_EQ(DrawnColour(0, 0), 0xFFFF0000u);
    EXPECT_EQ(DrawnColour(0, 1), 0xFF00FF00u);
    EXPECT_EQ(DrawnColour(0, 2), 0xFF0000FFu);
    // Frames past the last show the last one, and negative ones the first.
    EXPECT_EQ(DrawnColour(0, 3), 0xFF0000FFu);
    EXPECT_EQ(DrawnColour(0, 99), 0xFF0000FFu);
    EXPECT_EQ(DrawnColour(0, -1), 0xFFFF0000u);

    auto target = Surface::Create(20, 20);
    Graphics g(*target);
    m_list.DrawItemIcon(g, {0, 0, 20, 20}, 1); // 12 x 4 centred
    EXPECT_EQ(test::InkBounds(*target), (IntRect{4, 8, 12, 4}));
    target->Fill(0);
    m_list.DrawItemIcon(g, {0, 0, 20, 20}, 2);
    m_list.DrawItemIcon(g, {0, 0, 20, 20}, -1);
    EXPECT_EQ(test::InkBounds(*target), IntRect{});
}

} // namespace
} // namespace tessel
