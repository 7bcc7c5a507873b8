#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "render/Texture.h"
#include "tests/render/ImageFiles.h"
#include "tests/support/TempDir.h"

namespace dravik {
namespace {

using test::PngSpec;
using test::TempDir;

struct Decoded {
  PixelBuffer pixels;
  uint16_t width = 0;
  uint16_t height = 0;
  std::string errors;
};

Decoded decode(const std::string& path) {
  Decoded d;
  testing::internal::CaptureStderr();
  d.pixels = readPng(path.c_str(), d.width, d.height);
  d.errors = testing::internal::GetCapturedStderr();
  return d;
}

// Pixel (x, y) in file row order of a decoded image (memory is bottom-up).
std::vector<uint8_t> pixelAt(const Decoded& d, int x, int y) {
  const uint8_t* p = d.pixels.get() + ((d.height - 1 - y) * d.width + x) * 4;
  return {p[0], p[1], p[2], p[3]};
}

uint8_t sample(uint32_t x, uint32_t y, int c) { return test::sampleByte(int(x), int(y), c); }

// Samples for an 8-bit image with the given channel count.
std::vector<uint8_t> samples8(uint32_t w, uint32_t h, int channels) {
  std::vector<uint8_t> out;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      for (int c = 0; c < channels; ++c) out.push_back(sample(x, y, c));
    }
  }
  return out;
}

struct LayoutCase {
  const char* label;
  int colourType;
  int channels;
  bool interlaced;
  uint32_t width, height;
};

TEST(PngReaderTest, EightBitLayoutsBecomeRgbaWithFileRowsFlipped) {
  TempDir dir;
  const LayoutCase cases[] = {
      {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, 4, false, 2, 3},
      {"rgb", PNG_COLOR_TYPE_RGB, 3, false, 3, 2},
      {"grey", PNG_COLOR_TYPE_GRAY, 1, false, 5, 3},
      {"grey-alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 2, false, 2, 2},
      {"rgba interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 4, true, 11, 9},
      {"rgb interlaced", PNG_COLOR_TYPE_RGB, 3, true, 9, 10},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.label);
    PngSpec spec;
    spec.width = c.width;
    spec.height = c.height;
    spec.colourType = c.colourType;
    spec.interlaced = c.interlaced;
    const std::string path =
        dir.write("image.png", test::pngFile(spec, samples8(c.width, c.height, c.channels)));
    const Decoded d = decode(path);
    EXPECT_EQ("", d.errors);
    ASSERT_NE(nullptr, d.pixels.get());
    EXPECT_EQ(c.width, d.width);
    EXPECT_EQ(c.height, d.height);
    for (uint32_t y = 0; y < c.height; ++y) {
      for (uint32_t x = 0; x < c.width; ++x) {
        std::vector<uint8_t> expected;
        if (c.channels >= 3) {
          expected = {sample(x, y, 0), sample(x, y, 1), sample(x, y, 2),
                      c.channels == 4 ? sample(x, y, 3) : uint8_t{255}};
        } else {
          const uint8_t grey = sample(x, y, 0);
          expected = {grey, grey, grey, c.channels == 2 ? sample(x, y, 1) : uint8_t{255}};
        }
        ASSERT_EQ(expected, pixelAt(d, int(x), int(y))) << x << "," << y;
      }
    }
  }
}

TEST(PngReaderTest, FirstFileRowIsTheLastBufferRow) {
  TempDir dir;
  PngSpec spec;
  spec.width = 1;
  spec.height = 3;
  const std::vector<uint8_t> rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const Decoded d = decode(dir.write("three.png", test::pngFile(spec, rows)));
  ASSERT_NE(nullptr, d.pixels.get());
  const std::vector<uint8_t> memory(d.pixels.get(), d.pixels.get() + 12);
  EXPECT_EQ((std::vector<uint8_t>{9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}), memory);
}

TEST(PngReaderTest, SixteenBitKeepsTheHighByte) {
  TempDir dir;
  PngSpec spec;
  spec.width = 2;
  spec.height = 1;
  spec.bitDepth = 16;
  spec.colourType = PNG_COLOR_TYPE_RGB;
  // Big-endian 16-bit samples: high byte first.
  const std::vector<uint8_t> samples = {0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF,
                                        0xFF, 0x00, 0x80, 0x01, 0x7F, 0xFE};
  const Decoded d = decode(dir.write("deep.png", test::pngFile(spec, samples)));
  ASSERT_NE(nullptr, d.pixels.get());
  EXPECT_EQ((std::vector<uint8_t>{0x12, 0xAB, 0x00, 0xFF}), pixelAt(d, 0, 0));
  EXPECT_EQ((std::vector<uint8_t>{0xFF, 0x80, 0x7F, 0xFF}), pixelAt(d, 1, 0));
}

TEST(PngReaderTest, PaletteWithTransparencyAndLowBitGrey) {
  TempDir dir;
  PngSpec palette;
  palette.width = 4;
  palette.height = 1;
  palette.colourType = PNG_COLOR_TYPE_PALETTE;
  palette.bitDepth = 8;
  palette.palette = {200, 10, 20, 30, 40, 50, 7, 8, 9};
  palette.transparency = {0, 128};  // entry 2 stays opaque
  const Decoded p = decode(dir.write("palette.png", test::pngFile(palette, {2, 0, 1, 2})));
  ASSERT_NE(nullptr, p.pixels.get()) << p.errors;
  EXPECT_EQ((std::vector<uint8_t>{7, 8, 9, 255}), pixelAt(p, 0, 0));
  EXPECT_EQ((std::vector<uint8_t>{200, 10, 20, 0}), pixelAt(p, 1, 0));
  EXPECT_EQ((std::vector<uint8_t>{30, 40, 50, 128}), pixelAt(p, 2, 0));

  PngSpec grey;
  grey.width = 4;
  grey.height = 1;
  grey.colourType = PNG_COLOR_TYPE_GRAY;
  grey.bitDepth = 4;
  // Four 4-bit samples 0x0, 0xF, 0x3, 0xA: scaled to 8 bits by 17.
  const Decoded g = decode(dir.write("grey4.png", test::pngFile(grey, {0x0F, 0x3A})));
  ASSERT_NE(nullptr, g.pixels.get()) << g.errors;
  EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 255}), pixelAt(g, 0, 0));
  EXPECT_EQ((std::vector<uint8_t>{255, 255, 255, 255}), pixelAt(g, 1, 0));
  EXPECT_EQ((std::vector<uint8_t>{51, 51, 51, 255}), pixelAt(g, 2, 0));
  EXPECT_EQ((std::vector<uint8_t>{170, 170, 170, 255}), pixelAt(g, 3, 0));
}

TEST(PngReaderTest, ColourKeyBecomesTransparentAlpha) {
  TempDir dir;
  PngSpec rgb;
  rgb.width = 2;
  rgb.height = 1;
  rgb.colourType = PNG_COLOR_TYPE_RGB;
  rgb.colourKey = {10, 20, 30};
  const Decoded c = decode(dir.write("key.png", test::pngFile(rgb, {10, 20, 30, 10, 20, 31})));
  ASSERT_NE(nullptr, c.pixels.get()) << c.errors;
  EXPECT_EQ((std::vector<uint8_t>{10, 20, 30, 0}), pixelAt(c, 0, 0));
  EXPECT_EQ((std::vector<uint8_t>{10, 20, 31, 255}), pixelAt(c, 1, 0));

  PngSpec grey;
  grey.width = 2;
  grey.height = 1;
  grey.colourType = PNG_COLOR_TYPE_GRAY;
  grey.colourKey = {77};
  const Decoded g = decode(dir.write("greykey.png", test::pngFile(grey, {78, 77})));
  ASSERT_NE(nullptr, g.pixels.get()) << g.errors;
  EXPECT_EQ((std::vector<uint8_t>{78, 78, 78, 255}), pixelAt(g, 0, 0));
  EXPECT_EQ((std::vector<uint8_t>{77, 77, 77, 0}), pixelAt(g, 1, 0));
}

// Standard PNG chunk CRC (polynomial 0xEDB88320), to forge chunks.
uint32_t chunkCrc(const std::string& bytes, std::size_t from, std::size_t count) {
  uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < from + count; ++i) {
    crc ^= static_cast<uint8_t>(bytes[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

void putBigEndian(std::string& bytes, std::size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

// The header chunk starts right after the signature: length, "IHDR", 13
// bytes of data (width at 16, height at 20), CRC at 29.
std::string withSize(std::string png, uint32_t width, uint32_t height) {
  putBigEndian(png, 16, width);
  putBigEndian(png, 20, height);
  putBigEndian(png, 29, chunkCrc(png, 12, 17));
  return png;
}

std::size_t idatDataStart(const std::string& png) { return png.find("IDAT") + 4; }

TEST(PngReaderTest, MalformedFilesAreRefusedWithOneLine) {
  TempDir dir;
  PngSpec spec;
  spec.width = 16;
  spec.height = 16;
  const std::string good = test::pngFile(spec, samples8(16, 16, 4));

  std::string corruptCrc = good;
  corruptCrc[idatDataStart(good) + 5] ^= 0x55;

  // Garbled deflate data behind a valid chunk CRC.
  std::string corruptData = good;
  const std::size_t data = idatDataStart(good);
  const uint32_t idatLength = static_cast<uint8_t>(good[data - 5]) |
                              static_cast<uint8_t>(good[data - 6]) << 8 |
                              static_cast<uint8_t>(good[data - 7]) << 16;
  for (std::size_t i = data + 2; i < data + idatLength; ++i) corruptData[i] = '\xFF';
  putBigEndian(corruptData, data + idatLength, chunkCrc(corruptData, data - 4, idatLength + 4));

  struct Case {
    const char* label;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"not a png", "GIF89a not a png at all"},
      {"signature only", good.substr(0, 8)},
      {"truncated header chunk", good.substr(0, 20)},
      {"truncated image data", good.substr(0, idatDataStart(good) + 20)},
      {"corrupt chunk crc", corruptCrc},
      {"corrupt deflate data", corruptData},
      {"zero width", withSize(good, 0, 16)},
      {"zero height", withSize(good, 16, 0)},
      {"width above 65535", withSize(good, 65536, 16)},
      {"height above 65535", withSize(good, 16, 70000)},
      {"huge claimed image", withSize(good, 65535, 65535)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = dir.write(std::string("bad ") + c.label + ".png", c.bytes);
    uint16_t width = 777;
    uint16_t height = 888;
    testing::internal::CaptureStderr();
    const PixelBuffer pixels = readPng(path.c_str(), width, height);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(nullptr, pixels.get());
    EXPECT_EQ(777, width);
    EXPECT_EQ(888, height);
    test::expectOneProblemLine(errors, path);
  }
  const Decoded missing = decode(dir.path() + "/absent.png");
  EXPECT_EQ(nullptr, missing.pixels.get());
  test::expectOneProblemLine(missing.errors, dir.path() + "/absent.png");
}

}  // namespace
}  // namespace dravik
