// Deterministic randomness for the asset generator: the same seed gives the
// same textures on every machine and every run.
#pragma once

#include <cstdint>

namespace dravik::assets {

// xorshift32; a zero seed is replaced because zero is a fixed point.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}

  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [0, 1).
  float unit() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
  // Uniform integer in [0, bound).
  int below(int bound) { return static_cast<int>(next() % static_cast<uint32_t>(bound)); }

 private:
  uint32_t state_;
};

// Value noise on a lattice that wraps every `period` cells, so a texture of
// period * cellSize pixels tiles seamlessly.
class TileNoise {
 public:
  TileNoise(uint32_t seed, int period);
  // x, y in lattice units; result in [0, 1].
  float at(float x, float y) const;
  // Sum of octaves, each doubling the lattice frequency; result in [0, 1].
  float fractal(float x, float y, int octaves) const;

 private:
  float lattice(int x, int y) const;

  static constexpr int kMaxPeriod = 64;
  int period_;
  float values_[kMaxPeriod * kMaxPeriod];
};

}  // namespace dravik::assets
