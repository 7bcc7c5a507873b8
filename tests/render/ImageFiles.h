// Builders for the image files the render tests write.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace dravik::test {

struct BmpSpec {
  int32_t width = 2;
  int32_t height = 2;
  uint16_t bitsPerPixel = 24;
  uint32_t compression = 0;
  uint32_t infoSize = 40;
  uint32_t imageSizeField = 0;  // 0: leave the size field zero
  uint32_t extraGap = 0;        // bytes between header and pixels (offset grows)
  char magic[2] = {'B', 'M'};
};

// Colour of pixel (x, y) of a test image, y counted in file row order.
inline uint8_t sampleByte(int x, int y, int channel) {
  return static_cast<uint8_t>(17 * x + 59 * y + 101 * channel + 3);
}

// Padded stored pixel rows (blue, green, red from sampleByte channels 0..2).
std::vector<uint8_t> bmpPixelRows(int32_t width, int32_t rows);

// A whole BMP file; pixel rows from bmpPixelRows unless pixels are given.
Bytes bmpFile(const BmpSpec& spec);
Bytes bmpFile(const BmpSpec& spec, const std::vector<uint8_t>& pixels);

// A PNG written with libpng. samples holds height rows of width x channels
// samples of bitDepth bits (16-bit samples big-endian, as PNG stores them).
struct PngSpec {
  uint32_t width = 2;
  uint32_t height = 3;
  int colourType = 6;  // PNG_COLOR_TYPE_RGB_ALPHA
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint8_t> palette;       // RGB triples, for palette images
  std::vector<uint8_t> transparency;  // tRNS alpha values for the palette
  std::vector<uint16_t> colourKey;    // tRNS colour: grey, or red, green, blue
};
std::string pngFile(const PngSpec& spec, const std::vector<uint8_t>& samples);

// Checks that a reader complained with exactly one line naming the file.
inline void expectOneProblemLine(const std::string& errors, const std::string& path) {
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.find('\n'), errors.size() - 1) << errors;
  EXPECT_EQ(0u, errors.rfind(path + ": ", 0)) << errors;
  EXPECT_GT(errors.size(), path.size() + 3) << "no problem named: " << errors;
}

}  // namespace dravik::test
