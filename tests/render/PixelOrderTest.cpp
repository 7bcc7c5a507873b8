#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/PixelOrder.h"

namespace dravik {
namespace {

std::vector<uint8_t> bytesOf(const PixelBuffer& pixels, std::size_t count) {
  return std::vector<uint8_t>(pixels.get(), pixels.get() + count);
}

TEST(PixelOrder, RedAndBlueSwappedRowPaddingKept) {
  struct Case {
    const char* name;
    int width, height, bytesPerPixel;
    std::vector<uint8_t> in, out;
  };
  // clang-format off
  const Case cases[] = {
      // 2 x 2 BGR: 6 bytes a row padded to 8; the padding bytes stay as they are.
      {"BGR, padded rows", 2, 2, 3,
       {1, 2, 3, 4, 5, 6, 90, 91, 7, 8, 9, 10, 11, 12, 92, 93},
       {3, 2, 1, 6, 5, 4, 90, 91, 9, 8, 7, 12, 11, 10, 92, 93}},
      {"BGR, 1 x 1 in a 4-byte row", 1, 1, 3, {10, 20, 30, 99}, {30, 20, 10, 99}},
      {"BGRA keeps alpha", 2, 1, 4,
       {10, 20, 30, 40, 50, 60, 70, 80},
       {30, 20, 10, 40, 70, 60, 50, 80}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.in.size(), paddedRowBytes(c.width, c.bytesPerPixel) * c.height);
    const PixelBuffer swapped = swapRedAndBlue(c.in.data(), c.width, c.height, c.bytesPerPixel);
    ASSERT_NE(nullptr, swapped);
    EXPECT_EQ(c.out, bytesOf(swapped, c.out.size()));
  }
}

TEST(PixelOrder, NoPixelsGiveNoCopy) {
  EXPECT_EQ(nullptr, swapRedAndBlue(nullptr, 4, 4, 3));
  const uint8_t pixel[4] = {1, 2, 3, 4};
  EXPECT_EQ(nullptr, swapRedAndBlue(pixel, 0, 0, 4));
}

}  // namespace
}  // namespace dravik
