#include <gtest/gtest.h>

#include "tests/tools/AssetFiles.h"
#include "tools/IcoWriter.h"

namespace dravik::test {
namespace {

using assets::Colour;
using assets::Image;

TEST(IcoWriter, SmallImageIsABottomUpBgraBitmapWithItsMask) {
  Image image(2, 2, Colour{0, 0, 0, 0});
  image.at(0, 0) = Colour{10, 20, 30, 255};  // top left, opaque
  image.at(1, 1) = Colour{40, 50, 60, 100};  // bottom right, mostly clear
  const std::vector<uint8_t> ico = assets::encodeIco({image});
  ASSERT_EQ(ico.size(), 22u + 40u + 16u + 8u);
  EXPECT_EQ(le16(ico, 4), 1u);       // one picture
  EXPECT_EQ(le32(ico, 18), 22u);     // right after the directory
  EXPECT_EQ(le32(ico, 22 + 8), 4u);  // colour rows and mask rows
  const std::vector<uint8_t> pixels(ico.begin() + 62, ico.begin() + 78);
  EXPECT_EQ(pixels,
            (std::vector<uint8_t>{0, 0, 0, 0, 60, 50, 40, 100, 30, 20, 10, 255, 0, 0, 0, 0}));
  // Bottom row first: both bottom pixels masked, then the top right one.
  EXPECT_EQ(std::vector<uint8_t>(ico.begin() + 78, ico.end()),
            (std::vector<uint8_t>{0xC0, 0, 0, 0, 0x40, 0, 0, 0}));
  EXPECT_TRUE(assets::encodeIco({Image(2, 3)}).empty());
}

TEST(CommittedIcons, WindowsIconHoldsFourSizesWithThe256OneAsPng) {
  const std::vector<uint8_t> ico = readBytes("packaging/icons/dravik.ico");
  ASSERT_GE(ico.size(), 6u + 4u * 16u);
  ASSERT_EQ(le16(ico, 4), 4u);
  const int sizes[] = {16, 32, 48, 0};  // 0 stands for 256
  std::size_t end = 6 + 4 * 16;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico[entry], sizes[i]);
    EXPECT_EQ(le32(ico, entry + 12), end) << "pictures back to back, to the end of the file";
    end += le32(ico, entry + 8);
  }
  EXPECT_EQ(end, ico.size());
  EXPECT_EQ(le32(ico, le32(ico, 6 + 3 * 16 + 12)), 0x474E5089u);  // "\x89PNG"
}

}  // namespace
}  // namespace dravik::test
