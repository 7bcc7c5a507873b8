#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

#include "tests/tools/AssetFiles.h"
#include "tools/BmpWriter.h"
#include "tools/Image.h"
#include "tools/PngWriter.h"

namespace dravik::test {
namespace {

using assets::Colour;
using assets::encodeBmp;
using assets::encodePng;
using assets::Image;

TEST(BmpWriter, HeaderDescribesUncompressed24BitImage) {
  const std::vector<uint8_t> bmp = encodeBmp(Image(3, 2));
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(le32(bmp, 2), bmp.size());
  EXPECT_EQ(le32(bmp, 10), 54u);  // pixel data offset
  EXPECT_EQ(le32(bmp, 14), 40u);  // information header size
  EXPECT_EQ(le32(bmp, 18), 3u);
  EXPECT_EQ(le32(bmp, 22), 2u);
  EXPECT_EQ(le16(bmp, 26), 1u);
  EXPECT_EQ(le16(bmp, 28), 24u);
  EXPECT_EQ(le32(bmp, 30), 0u);
  // 3 pixels = 9 bytes, padded to 12, two rows.
  EXPECT_EQ(le32(bmp, 34), 24u);
  EXPECT_EQ(bmp.size(), 54u + 24u);
}

TEST(BmpWriter, StoresBottomRowFirstInBlueGreenRedWithPadding) {
  Image image(1, 2);
  image.at(0, 0) = Colour{10, 20, 30, 255};  // top
  image.at(0, 1) = Colour{40, 50, 60, 255};  // bottom
  const std::vector<uint8_t> bmp = encodeBmp(image);
  ASSERT_EQ(bmp.size(), 54u + 8u);
  const std::vector<uint8_t> pixels(bmp.begin() + 54, bmp.end());
  EXPECT_EQ(pixels, (std::vector<uint8_t>{60, 50, 40, 0, 30, 20, 10, 0}));
}

TEST(BmpWriter, RowSizesArePaddedToFourBytes) {
  const struct {
    int width;
    uint32_t rowBytes;
  } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {64, 192}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> bmp = encodeBmp(Image(c.width, 3));
    EXPECT_EQ(le32(bmp, 34), c.rowBytes * 3) << "width " << c.width;
    EXPECT_EQ(bmp.size(), 54u + c.rowBytes * 3) << "width " << c.width;
  }
}

struct Decoded {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::vector<uint8_t> rgba;
};

bool decodePng(const std::vector<uint8_t>& bytes, Decoded& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  out.width = image.width;
  out.height = image.height;
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  const bool ok = png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

TEST(PngWriter, RoundTripsEveryChannelTopRowFirst) {
  Image image(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      image.at(x, y) = Colour{static_cast<uint8_t>(10 * x + 1), static_cast<uint8_t>(50 * y + 2),
                              static_cast<uint8_t>(x + y + 3), static_cast<uint8_t>(200 - x - y)};
    }
  }
  const std::vector<uint8_t> png = encodePng(image);
  Decoded decoded;
  ASSERT_TRUE(decodePng(png, decoded));
  ASSERT_EQ(decoded.width, 3u);
  ASSERT_EQ(decoded.height, 2u);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * 3 + x) * 4;
      const Colour& c = image.at(x, y);
      EXPECT_EQ(decoded.rgba[at], c.r);
      EXPECT_EQ(decoded.rgba[at + 1], c.g);
      EXPECT_EQ(decoded.rgba[at + 2], c.b);
      EXPECT_EQ(decoded.rgba[at + 3], c.a);
    }
  }
}

TEST(PngWriter, RoadIsEightBitRgbaWithSomeTransparency) {
  const std::vector<uint8_t> png = readBytes("data/road6.png");
  ASSERT_GT(png.size(), 33u);
  // IHDR right after the signature: width, height, bit depth, colour type.
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  EXPECT_EQ(png[24], 8);
  EXPECT_EQ(png[25], 6);
  Decoded decoded;
  ASSERT_TRUE(decodePng(png, decoded));
  EXPECT_EQ(decoded.width, be32(png, 16));
  EXPECT_EQ(decoded.height, be32(png, 20));
  int translucent = 0;
  int opaque = 0;
  for (std::size_t i = 3; i < decoded.rgba.size(); i += 4) {
    if (decoded.rgba[i] < 128) ++translucent;
    if (decoded.rgba[i] > 200) ++opaque;
  }
  EXPECT_GT(translucent, 0);
  EXPECT_GT(opaque, static_cast<int>(decoded.width * decoded.height / 2));
}

// The desktop menus take the hicolor folder's size at its word and draw the
// icon on any background.
TEST(CommittedIcons, AreRgbaAtTheirFolderSizeOnATransparentCorner) {
  const struct {
    const char* file;
    png_uint_32 size;
  } cases[] = {{"packaging/icons/48x48/dravik.png", 48},
               {"packaging/icons/256x256/dravik.png", 256},
               {"packaging/icons/web/dravik-192.png", 192},
               {"packaging/icons/web/dravik-512.png", 512}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> png = readBytes(c.file);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png[25], 6);  // colour type RGBA
    Decoded decoded;
    ASSERT_TRUE(decodePng(png, decoded));
    EXPECT_EQ(decoded.width, c.size);
    EXPECT_EQ(decoded.height, c.size);
    const auto alpha = [&](png_uint_32 x, png_uint_32 y) {
      return decoded.rgba[(static_cast<std::size_t>(y) * decoded.width + x) * 4 + 3];
    };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(c.size - 1, c.size - 1), 0);
    EXPECT_EQ(alpha(c.size / 2, c.size / 2), 255);
  }
}

// A maskable icon is cut to the system's shape: no pixel of it may be
// see-through, or the cut shows the background.
TEST(CommittedIcons, MaskableWebIconIsOpaqueToItsEdges) {
  const std::vector<uint8_t> png = readBytes("packaging/icons/web/dravik-maskable-512.png");
  Decoded decoded;
  ASSERT_TRUE(decodePng(png, decoded));
  EXPECT_EQ(decoded.width, 512u);
  EXPECT_EQ(decoded.height, 512u);
  std::size_t seeThrough = 0;
  for (std::size_t i = 3; i < decoded.rgba.size(); i += 4) seeThrough += decoded.rgba[i] != 255;
  EXPECT_EQ(seeThrough, 0u);
}

// Facts the game's BMP readers depend on, for every committed BMP.
TEST(CommittedBmps, AreUncompressed24BitWithTheRightImageSize) {
  const struct {
    const char* file;
    uint32_t width;
    uint32_t height;
  } cases[] = {{"data/font.bmp.fnt", 256, 256}, {"data/wall.bmp", 64, 64},
               {"data/wood.bmp", 64, 64},       {"data/grass.bmp", 64, 64},
               {"data/whitepixel.bmp", 1, 1},   {"data/sky/stars/stars.bmp", 128, 128}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> bmp = readBytes(c.file);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(le32(bmp, 18), c.width);
    EXPECT_EQ(le32(bmp, 22), c.height);
    EXPECT_EQ(le16(bmp, 28), 24u);
    EXPECT_EQ(le32(bmp, 30), 0u);
    const uint32_t rowBytes = (c.width * 3 + 3) / 4 * 4;
    EXPECT_EQ(le32(bmp, 34), rowBytes * c.height);
    EXPECT_EQ(bmp.size(), 54u + rowBytes * c.height);
  }
  // The white pixel: one white triple and one byte of padding.
  const std::vector<uint8_t> white = readBytes("data/whitepixel.bmp");
  ASSERT_EQ(white.size(), 58u);
  EXPECT_EQ(std::vector<uint8_t>(white.begin() + 54, white.end()),
            (std::vector<uint8_t>{255, 255, 255, 0}));
}

}  // namespace
}  // namespace dravik::test
