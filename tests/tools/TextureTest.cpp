#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/Random.h"
#include "tools/Textures.h"

namespace dravik::test {
namespace {

using assets::Image;
using assets::Random;
using assets::TileNoise;

TEST(Random, SameSeedSameSequenceOtherSeedOtherSequence) {
  Random a(7), b(7), c(8);
  bool differs = false;
  for (int i = 0; i < 100; ++i) {
    const uint32_t va = a.next();
    EXPECT_EQ(va, b.next());
    differs = differs || va != c.next();
  }
  EXPECT_TRUE(differs);
}

TEST(Random, UnitAndBelowStayInRange) {
  Random random(12345);
  float low = 1.0f, high = 0.0f;
  for (int i = 0; i < 10000; ++i) {
    const float u = random.unit();
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
    low = std::min(low, u);
    high = std::max(high, u);
    const int b = random.below(7);
    ASSERT_GE(b, 0);
    ASSERT_LT(b, 7);
  }
  EXPECT_LT(low, 0.01f);
  EXPECT_GT(high, 0.99f);
}

TEST(TileNoise, RepeatsEveryPeriodAtEveryOctave) {
  const TileNoise noise(99, 8);
  for (float y = 0.0f; y < 8.0f; y += 0.37f) {
    for (float x = 0.0f; x < 8.0f; x += 0.41f) {
      const float here = noise.fractal(x, y, 3);
      ASSERT_GE(here, 0.0f);
      ASSERT_LE(here, 1.0f);
      EXPECT_NEAR(noise.fractal(x + 8.0f, y, 3), here, 1e-5f);
      EXPECT_NEAR(noise.fractal(x, y + 8.0f, 3), here, 1e-5f);
      EXPECT_NEAR(noise.fractal(x - 8.0f, y - 16.0f, 3), here, 1e-5f);
    }
  }
}

// Median difference between neighbouring pixels, across the wrap seam and
// inside the image: a texture that tiles shows no jump at the seam. The
// median ignores single stars and blades that happen to sit on a line.
int medianStep(const Image& image, bool acrossSeam, bool horizontal) {
  std::vector<int> steps;
  const int n = horizontal ? image.height() : image.width();
  const int last = horizontal ? image.width() - 1 : image.height() - 1;
  const int a = acrossSeam ? last : last / 2;
  const int b = acrossSeam ? 0 : a + 1;
  for (int i = 0; i < n; ++i) {
    const auto& p = horizontal ? image.at(a, i) : image.at(i, a);
    const auto& q = horizontal ? image.at(b, i) : image.at(i, b);
    steps.push_back(std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b));
  }
  std::nth_element(steps.begin(), steps.begin() + n / 2, steps.end());
  return steps[static_cast<std::size_t>(n / 2)];
}

TEST(Textures, TileWithoutASeam) {
  const struct {
    const char* name;
    Image image;
  } cases[] = {{"grass", assets::makeGrass()},
               {"stars", assets::makeStars()},
               {"wood", assets::makeWoodPlanks()},
               {"wall", assets::makeStoneWall()}};
  for (const auto& c : cases) {
    for (bool horizontal : {true, false}) {
      EXPECT_LE(medianStep(c.image, true, horizontal),
                2 * medianStep(c.image, false, horizontal) + 6)
          << c.name << (horizontal ? " left/right" : " top/bottom");
    }
  }
}

TEST(Textures, LookWhatTheyAre) {
  const Image grass = assets::makeGrass();
  for (int y = 0; y < grass.height(); ++y) {
    for (int x = 0; x < grass.width(); ++x) {
      ASSERT_GT(grass.at(x, y).g, grass.at(x, y).r);
      ASSERT_GT(grass.at(x, y).g, grass.at(x, y).b);
    }
  }
  const Image stars = assets::makeStars();
  int dark = 0, bright = 0;
  for (int y = 0; y < stars.height(); ++y) {
    for (int x = 0; x < stars.width(); ++x) {
      const auto& p = stars.at(x, y);
      if (p.r < 40 && p.b >= p.r) ++dark;
      if (p.r == 255 && p.g == 255 && p.b == 255) ++bright;
    }
  }
  EXPECT_GT(dark, stars.width() * stars.height() * 9 / 10);
  EXPECT_GE(bright, 3);
  const Image white = assets::makeWhitePixel();
  ASSERT_EQ(white.width(), 1);
  ASSERT_EQ(white.height(), 1);
  EXPECT_EQ(white.at(0, 0).r + white.at(0, 0).g + white.at(0, 0).b, 765);
}

TEST(Textures, StoneWallHasLightMortarBetweenDarkerBlocks) {
  const Image wall = assets::makeStoneWall();
  auto brightness = [&](int x, int y) {
    return wall.at(x, y).r + wall.at(x, y).g + wall.at(x, y).b;
  };
  // Row 0 of each 16-pixel course is mortar, row 8 is inside the blocks.
  for (int course = 0; course < 4; ++course) {
    int mortar = 0, block = 0;
    for (int x = 0; x < wall.width(); ++x) {
      mortar += brightness(x, course * 16);
      block += brightness(x, course * 16 + 8);
    }
    EXPECT_GT(mortar, block) << "course " << course;
  }
}

}  // namespace
}  // namespace dravik::test
