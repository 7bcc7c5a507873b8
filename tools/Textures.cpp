#include "tools/Textures.h"

#include <algorithm>
#include <cmath>

#include "tools/Random.h"

namespace dravik::assets {

Image makeGrass() {
  constexpr int kSize = 64;
  Image image(kSize, kSize);
  const TileNoise noise(0x6A55u, 8);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const float n = noise.fractal(x / 8.0f, y / 8.0f, 3);
      image.at(x, y) = shade(0.16f + 0.10f * n, 0.42f + 0.22f * n, 0.10f + 0.06f * n);
    }
  }
  // Short blades: a lighter pixel over a darker one below it.
  Random random(0xB1ADEu);
  for (int i = 0; i < 140; ++i) {
    const int x = random.below(kSize);
    const int y = random.below(kSize);
    const float light = 0.75f + 0.25f * random.unit();
    image.wrapped(x, y) = shade(0.30f * light, 0.72f * light, 0.22f * light);
    image.wrapped(x, y + 1) = shade(0.10f, 0.30f, 0.07f);
  }
  return image;
}

Image makeStoneWall() {
  constexpr int kSize = 64;
  constexpr int kRowHeight = 16;
  constexpr int kBlockWidth = 32;
  constexpr int kMortar = 2;
  Image image(kSize, kSize);
  const TileNoise noise(0x570Eu, 16);
  Random random(0xB10Cu);
  float blockTint[kSize / kRowHeight][kSize / kBlockWidth];
  for (auto& row : blockTint) {
    for (float& tint : row) tint = 0.85f + 0.3f * random.unit();
  }
  for (int y = 0; y < kSize; ++y) {
    const int row = y / kRowHeight;
    // Every other course is shifted by half a block, wrapping at the edge.
    const int shifted = (y / kRowHeight) % 2 == 0 ? 0 : kBlockWidth / 2;
    for (int x = 0; x < kSize; ++x) {
      const int bx = (x + shifted) % kSize;
      const bool mortar = y % kRowHeight < kMortar || bx % kBlockWidth < kMortar;
      const float n = noise.fractal(x / 4.0f, y / 4.0f, 2);
      if (mortar) {
        const float m = 0.58f + 0.1f * n;
        image.at(x, y) = shade(m, m * 0.97f, m * 0.9f);
      } else {
        const float tint = blockTint[row][bx / kBlockWidth];
        const float s = (0.34f + 0.2f * n) * tint;
        // Light from above: the top rows of a block are a little brighter.
        const float edge = y % kRowHeight < kMortar + 2 ? 1.15f : 1.0f;
        image.at(x, y) = shade(s * edge, s * edge * 0.98f, s * edge * 1.05f);
      }
    }
  }
  return image;
}

Image makeWoodPlanks() {
  constexpr int kSize = 64;
  constexpr int kPlankWidth = 16;
  Image image(kSize, kSize);
  const TileNoise grainNoise(0x600Du, 8);
  Random random(0x91A4u);
  float plankTint[kSize / kPlankWidth];
  int plankPhase[kSize / kPlankWidth];
  for (int p = 0; p < kSize / kPlankWidth; ++p) {
    plankTint[p] = 0.85f + 0.3f * random.unit();
    plankPhase[p] = random.below(kSize);
  }
  constexpr float kTwoPi = 6.2831853f;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int plank = x / kPlankWidth;
      const int inPlank = x % kPlankWidth;
      // Grain: stretched waves across the plank, warped by noise along it.
      const float warp = grainNoise.fractal(x / 8.0f, ((y + plankPhase[plank]) % kSize) / 8.0f, 2);
      const float grain = 0.5f + 0.5f * std::sin(kTwoPi * (inPlank / 5.0f + 3.0f * warp));
      float s = (0.55f + 0.2f * grain) * plankTint[plank];
      if (inPlank == 0) s *= 0.45f;  // the gap between two planks
      if (inPlank == kPlankWidth - 1) s *= 0.8f;
      image.at(x, y) = shade(0.72f * s, 0.47f * s, 0.25f * s);
    }
  }
  return image;
}

Image makeStars() {
  constexpr int kSize = 128;
  const TileNoise haze(0x5CA7u, 8);
  Image image(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const float n = haze.fractal(x / 16.0f, y / 16.0f, 3);
      image.at(x, y) = shade(0.01f + 0.03f * n, 0.02f + 0.04f * n, 0.07f + 0.12f * n);
    }
  }
  Random random(0x57A2u);
  for (int i = 0; i < 160; ++i) {
    const int x = random.below(kSize);
    const int y = random.below(kSize);
    const float v = 0.35f + 0.45f * random.unit();
    image.wrapped(x, y) = shade(v, v, std::min(1.0f, v * 1.1f));
  }
  // A few bright stars with a small cross of glow around them.
  for (int i = 0; i < 9; ++i) {
    const int x = random.below(kSize);
    const int y = random.below(kSize);
    const float warm = random.unit();
    image.wrapped(x, y) = shade(1.0f, 1.0f, 1.0f);
    const Colour glow = shade(0.55f + 0.2f * warm, 0.6f, 0.75f - 0.2f * warm);
    image.wrapped(x - 1, y) = glow;
    image.wrapped(x + 1, y) = glow;
    image.wrapped(x, y - 1) = glow;
    image.wrapped(x, y + 1) = glow;
  }
  return image;
}

Image makeRoad() {
  constexpr int kSize = 64;
  constexpr int kShoulder = 6;
  Image image(kSize, kSize);
  const TileNoise noise(0x40ADu, 16);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const float n = noise.fractal(x / 4.0f, y / 4.0f, 3);
      float s = 0.2f + 0.14f * n;
      const bool centreLine = (x == kSize / 2 - 1 || x == kSize / 2) && y % 32 < 20;
      if (centreLine) s = 0.85f + 0.1f * n;
      Colour c = shade(s, s, centreLine ? s * 0.8f : s * 1.05f);
      // The edges fade out so the road blends into what lies under it.
      const int fromEdge = std::min(x, kSize - 1 - x);
      const float alpha = fromEdge < kShoulder ? (fromEdge + 1.0f) / (kShoulder + 1.0f) : 1.0f;
      c.a = toByte(alpha * (0.9f + 0.1f * n));
      image.at(x, y) = c;
    }
  }
  return image;
}

Image makeWhitePixel() { return Image(1, 1, Colour{255, 255, 255, 255}); }

}  // namespace dravik::assets
