#include "tools/Icons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/Random.h"

namespace dravik::assets {
namespace {

// Colours as floats, with coverage in a, premultiplied while samples are
// summed.
struct Paint {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 0.0f;
};

Paint opaque(float r, float g, float b) { return Paint{r, g, b, 1.0f}; }

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

bool insideRoundedSquare(float u, float v, float lo, float hi, float radius) {
  const float cx = std::clamp(u, lo + radius, hi - radius);
  const float cy = std::clamp(v, lo + radius, hi - radius);
  const float dx = u - cx;
  const float dy = v - cy;
  return dx * dx + dy * dy <= radius * radius;
}

bool insideCircle(float u, float v, float cx, float cy, float radius) {
  const float dx = u - cx;
  const float dy = v - cy;
  return dx * dx + dy * dy <= radius * radius;
}

bool insideBox(float u, float v, float left, float top, float right, float bottom) {
  return u >= left && u <= right && v >= top && v <= bottom;
}

// Point (u, v) seen in the frame of a piece standing at (baseU, baseV) and
// tilted by `lean` radians (positive leans to the right).
void untilt(float& u, float& v, float baseU, float baseV, float lean) {
  const float du = u - baseU;
  const float dv = v - baseV;
  const float c = std::cos(lean);
  const float s = std::sin(lean);
  u = baseU + c * du + s * dv;
  v = baseV - s * du + c * dv;
}

struct Star {
  float u;
  float v;
  float radius;
  float brightness;
};

class IconPainter {
 public:
  IconPainter(int size, bool fullBleed)
      : pixel_(1.0f / static_cast<float>(size)), fullBleed_(fullBleed) {
    Random random(0x1C0Bu);
    for (int i = 0; i < 14; ++i) {
      Star star;
      star.u = 0.12f + 0.76f * random.unit();
      star.v = 0.10f + 0.38f * random.unit();
      // At least about a pixel wide, so small sizes keep their stars.
      star.radius = std::max(0.008f + 0.008f * random.unit(), 0.6f * pixel_);
      star.brightness = 0.6f + 0.4f * random.unit();
      stars_.push_back(star);
    }
  }

  // The colour at one sample point, u to the right and v down, both 0..1.
  Paint at(float u, float v) const {
    if (fullBleed_) {
      // The tile's picture at 0.75 of its size: its middle reaches no
      // further than 0.4 from the centre.
      constexpr float kGrow = 1.0f / 0.75f;
      return scene(0.5f + (u - 0.5f) * kGrow, 0.5f + (v - 0.5f) * kGrow);
    }
    constexpr float kLo = 0.03f;
    constexpr float kHi = 0.97f;
    constexpr float kCorner = 0.17f;
    if (!insideRoundedSquare(u, v, kLo, kHi, kCorner)) return Paint{};
    // A thin darker rim around the tile.
    const float rim = std::max(1.0f * pixel_, 0.018f);
    if (!insideRoundedSquare(u, v, kLo + rim, kHi - rim, kCorner - rim)) {
      return opaque(0.05f, 0.06f, 0.14f);
    }
    return scene(u, v);
  }

 private:
  Paint scene(float u, float v) const {
    if (const Paint* piece = pieceAt(u, v)) return *piece;
    if (insideCircle(u, v, 0.5f, kGroundCentre, kGroundRadius)) return ground(u, v);
    return sky(u, v);
  }

  static constexpr float kGroundCentre = 1.62f;  // below the tile: only the top of the disc shows
  static constexpr float kGroundRadius = 1.0f;

  Paint sky(float u, float v) const {
    for (const Star& star : stars_) {
      if (insideCircle(u, v, star.u, star.v, star.radius)) {
        const float s = star.brightness;
        return opaque(s, s, std::min(1.0f, s * 1.1f));
      }
    }
    const float t = clamp01(v / 0.62f);
    return opaque(0.02f + 0.06f * t, 0.03f + 0.09f * t, 0.12f + 0.20f * t);
  }

  Paint ground(float u, float v) const {
    // Darker toward the rim of the disc, where the ground curls away.
    const float du = u - 0.5f;
    const float dv = v - kGroundCentre;
    const float fromCentre = std::sqrt(du * du + dv * dv) / kGroundRadius;
    const float light = 0.55f + 0.45f * clamp01((1.0f - fromCentre) * 6.0f);
    // Tile seams of the grass, every eighth of the tile.
    const bool seam = std::fmod(u + 1.0f, 0.125f) < std::max(pixel_ * 0.7f, 0.008f);
    const float s = seam ? light * 0.8f : light;
    return opaque(0.18f * s, 0.56f * s, 0.14f * s);
  }

  // The house in the middle and the two trees; nullptr where none is.
  const Paint* pieceAt(float u, float v) const {
    static const Paint kWall = opaque(0.62f, 0.60f, 0.56f);
    static const Paint kWallShadow = opaque(0.46f, 0.44f, 0.42f);
    static const Paint kRoof = opaque(0.58f, 0.34f, 0.16f);
    static const Paint kDoor = opaque(0.20f, 0.12f, 0.07f);
    static const Paint kWindow = opaque(1.0f, 0.85f, 0.40f);
    static const Paint kTrunk = opaque(0.36f, 0.22f, 0.10f);
    static const Paint kCrown = opaque(0.10f, 0.40f, 0.16f);
    static const Paint kCrownLight = opaque(0.20f, 0.55f, 0.22f);

    // House: walls, a pitched roof, a door and a lit window.
    if (insideBox(u, v, 0.47f, 0.72f, 0.55f, 0.86f)) return &kDoor;
    if (insideBox(u, v, 0.60f, 0.68f, 0.68f, 0.76f)) return &kWindow;
    if (insideBox(u, v, 0.32f, 0.60f, 0.72f, 0.86f)) return u > 0.66f ? &kWallShadow : &kWall;
    // The roof widens from its ridge at v 0.36 to eaves wider than the walls.
    const float roofHalf = 0.04f + 0.9f * (v - 0.36f);
    if (v >= 0.36f && v <= 0.62f && std::fabs(u - 0.52f) <= roofHalf) return &kRoof;

    // Trees near the rim lean outward.
    struct Tree {
      float baseU, baseV, lean;
    };
    static const Tree kTrees[] = {{0.21f, 0.82f, -0.30f}, {0.81f, 0.81f, 0.30f}};
    for (const Tree& tree : kTrees) {
      float tu = u;
      float tv = v;
      untilt(tu, tv, tree.baseU, tree.baseV, tree.lean);
      if (insideCircle(tu, tv, tree.baseU - 0.025f, tree.baseV - 0.24f, 0.042f))
        return &kCrownLight;
      if (insideCircle(tu, tv, tree.baseU, tree.baseV - 0.21f, 0.085f)) return &kCrown;
      if (insideBox(tu, tv, tree.baseU - 0.025f, tree.baseV - 0.14f, tree.baseU + 0.025f,
                    tree.baseV)) {
        return &kTrunk;
      }
    }
    return nullptr;
  }

  float pixel_;
  bool fullBleed_;
  std::vector<Star> stars_;
};

Image paintIcon(int size, bool fullBleed) {
  constexpr int kSamples = 4;
  Image image(size, size, Colour{0, 0, 0, 0});
  const IconPainter painter(size, fullBleed);
  const float step = 1.0f / static_cast<float>(size * kSamples);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Paint sum;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const float u = (static_cast<float>(x * kSamples + sx) + 0.5f) * step;
          const float v = (static_cast<float>(y * kSamples + sy) + 0.5f) * step;
          const Paint p = painter.at(u, v);
          sum.r += p.r * p.a;
          sum.g += p.g * p.a;
          sum.b += p.b * p.a;
          sum.a += p.a;
        }
      }
      if (sum.a <= 0.0f) continue;
      Colour& out = image.at(x, y);
      out.r = toByte(sum.r / sum.a);
      out.g = toByte(sum.g / sum.a);
      out.b = toByte(sum.b / sum.a);
      out.a = toByte(sum.a / (kSamples * kSamples));
    }
  }
  return image;
}

}  // namespace

Image makeIcon(int size) { return paintIcon(size, false); }

Image makeMaskableIcon(int size) { return paintIcon(size, true); }

}  // namespace dravik::assets
