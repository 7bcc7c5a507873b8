#include <gtest/gtest.h>

#include "tests/tools/AssetFiles.h"
#include "tools/FontAtlas.h"

namespace dravik::test {
namespace {

constexpr int kSize = 256;
constexpr int kCell = 16;

class FontAtlasFile : public testing::Test {
 protected:
  void SetUp() override {
    bmp_ = readBytes("data/font.bmp.fnt");
    ASSERT_EQ(bmp_.size(), 54u + kSize * kSize * 3u);
  }
  // Red of the pixel at (x, y), y counted from the top of the image.
  int red(int x, int y) const {
    const std::size_t row = static_cast<std::size_t>(kSize - 1 - y);
    return bmp_[54 + row * kSize * 3 + static_cast<std::size_t>(x) * 3 + 2];
  }
  int litPixels(int c, int firstRow = 0, int rows = kCell) const {
    const int left = (c % 16) * kCell;
    const int top = (c / 16) * kCell;
    int lit = 0;
    for (int y = top + firstRow; y < top + firstRow + rows; ++y) {
      for (int x = left; x < left + kCell; ++x) lit += red(x, y) > 64 ? 1 : 0;
    }
    return lit;
  }
  int brightest(int c) const {
    int best = 0;
    for (int y = (c / 16) * kCell; y < (c / 16 + 1) * kCell; ++y) {
      for (int x = (c % 16) * kCell; x < (c % 16 + 1) * kCell; ++x)
        best = std::max(best, red(x, y));
    }
    return best;
  }
  std::vector<uint8_t> bmp_;
};

TEST_F(FontAtlasFile, OnlyPrintableCharactersHaveGlyphs) {
  for (int c = 0; c < 256; ++c) {
    if (c > 32 && c < 127) {
      EXPECT_GT(litPixels(c), 3) << "character " << c;
    } else {
      EXPECT_EQ(litPixels(c), 0) << "character " << c;
    }
  }
  EXPECT_EQ(brightest(' '), 0);
}

TEST_F(FontAtlasFile, LettersReachFullWhite) {
  for (char c : std::string("AZaz09")) EXPECT_EQ(brightest(c), 255) << c;
}

TEST_F(FontAtlasFile, GlyphsStandUpright) {
  // Underscore sits low in its cell, the caret and apostrophe high.
  EXPECT_EQ(litPixels('_', 0, 8), 0);
  EXPECT_GT(litPixels('_', 8, 8), 0);
  for (char c : std::string("^'`")) {
    EXPECT_GT(litPixels(c, 0, 8), 0) << c;
    EXPECT_EQ(litPixels(c, 8, 8), 0) << c;
  }
}

TEST(FontAtlas, MissingFontIsReportedAndLeavesTheAtlasBlack) {
  assets::Image atlas(1, 1);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(assets::rasteriseFontAtlas("/nonexistent/font.ttf", atlas));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("/nonexistent/font.ttf: ", 0), 0u) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  ASSERT_EQ(atlas.width(), 256);
  for (int y = 0; y < 256; y += 5) {
    for (int x = 0; x < 256; x += 5) ASSERT_EQ(atlas.at(x, y).r, 0);
  }
}

}  // namespace
}  // namespace dravik::test
