// Fixed-capacity position lists of the level, one shared entity per list.
#pragma once

#include <cstddef>

#include "render/Math.h"

namespace dravik {

// The mark of an empty slot: all three coordinates. Its distance from the
// view centre is always beyond the instance cull, so it is never drawn.
constexpr float PARKED = -1000.0f;

// Every slot is drawn in index order; there is no count.
template <std::size_t N>
struct InstanceList {
  static constexpr std::size_t kCapacity = N;

  Vec3 slots[N];

  static constexpr std::size_t size() { return N; }
  Vec3& operator[](std::size_t i) { return slots[i]; }
  const Vec3& operator[](std::size_t i) const { return slots[i]; }

  void set(std::size_t i, float x, float y, float z) { slots[i] = Vec3(x, y, z); }
  void park(std::size_t i) { slots[i] = Vec3(PARKED, PARKED, PARKED); }
  bool isParked(std::size_t i) const {
    return slots[i].x == PARKED && slots[i].y == PARKED && slots[i].z == PARKED;
  }
};

}  // namespace dravik
