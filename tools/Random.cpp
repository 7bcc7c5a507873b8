#include "tools/Random.h"

#include <algorithm>
#include <cmath>

namespace dravik::assets {

TileNoise::TileNoise(uint32_t seed, int period) : period_(std::clamp(period, 1, kMaxPeriod)) {
  Random random(seed);
  for (float& v : values_) v = random.unit();
}

float TileNoise::lattice(int x, int y) const {
  const int px = ((x % period_) + period_) % period_;
  const int py = ((y % period_) + period_) % period_;
  return values_[py * kMaxPeriod + px];
}

float TileNoise::at(float x, float y) const {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  // Smoothstep weights hide the lattice grid.
  const float tx = x - fx;
  const float ty = y - fy;
  const float sx = tx * tx * (3.0f - 2.0f * tx);
  const float sy = ty * ty * (3.0f - 2.0f * ty);
  const float top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * sx;
  const float bottom = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * sx;
  return top + (bottom - top) * sy;
}

float TileNoise::fractal(float x, float y, int octaves) const {
  float sum = 0.0f;
  float weight = 1.0f;
  float total = 0.0f;
  float scale = 1.0f;
  for (int i = 0; i < octaves; ++i) {
    // Lattice coordinates scale by whole numbers, so every octave still
    // wraps at the same texture size.
    sum += at(x * scale, y * scale) * weight;
    total += weight;
    weight *= 0.5f;
    scale *= 2.0f;
  }
  return sum / total;
}

}  // namespace dravik::assets
