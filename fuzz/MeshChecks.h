// Invariants every loaded mesh keeps, whatever its file held.
#pragma once

#include <cmath>

#include "fuzz/FuzzSupport.h"
#include "mesh/Mesh.h"

namespace dravik::fuzz {

inline void checkLoadedMesh(Mesh& mesh) {
  DRAVIK_FUZZ_CHECK(mesh.positionCount() == mesh.positions().size());
  DRAVIK_FUZZ_CHECK(mesh.colourCount() == mesh.colours().size());
  DRAVIK_FUZZ_CHECK(mesh.indexCount() == mesh.indices().size());
  DRAVIK_FUZZ_CHECK(mesh.uvCount() == mesh.uvs().size());
  DRAVIK_FUZZ_CHECK(mesh.positions().size() % 3 == 0);
  const std::size_t vertices = mesh.positions().size() / 3;
  DRAVIK_FUZZ_CHECK(vertices <= Mesh::kMaxVertices);
  DRAVIK_FUZZ_CHECK(mesh.colours().size() == 3 * vertices);
  DRAVIK_FUZZ_CHECK(mesh.uvs().size() == 2 * vertices);
  DRAVIK_FUZZ_CHECK(mesh.indices().size() % 3 == 0);
  for (uint16_t index : mesh.indices()) DRAVIK_FUZZ_CHECK(index < vertices);
  DRAVIK_FUZZ_CHECK(!mesh.hasBuffers());

  MeshAnimation* animation = mesh.animation();
  if (animation == nullptr) return;
  DRAVIK_FUZZ_CHECK(animation->verticesPerFrame() == vertices);
  DRAVIK_FUZZ_CHECK(animation->animationCount() > 0);
  DRAVIK_FUZZ_CHECK(animation->firstFrame().size() == animation->animationCount());
  DRAVIK_FUZZ_CHECK(animation->startTimes().size() == animation->frameCount());
  for (std::size_t a = 0; a < animation->firstFrame().size(); ++a) {
    const int32_t first = animation->firstFrame()[a];
    DRAVIK_FUZZ_CHECK(first >= 0 && static_cast<uint32_t>(first) < animation->frameCount());
    if (a > 0) DRAVIK_FUZZ_CHECK(first > animation->firstFrame()[a - 1]);
  }
  // Playback over every animation (and one past the last) at times before,
  // inside, between and after the keyframes, reading the whole current frame.
  const float times[] = {-1.0f, 0.0f, 0.25f, 0.5f, 1.0f, 3.0f, 1e6f, NAN, INFINITY, -INFINITY};
  for (uint32_t a = 0; a <= animation->animationCount() && a < 8; ++a) {
    for (float t : times) {
      animation->setTime(a, t);
      float sum = 0.0f;
      for (std::size_t i = 0; i < vertices * 3; ++i) {
        sum += animation->currentPositions()[i] + animation->currentColours()[i];
      }
      for (std::size_t i = 0; i < vertices * 2; ++i) sum += animation->currentUvs()[i];
      (void)sum;
    }
  }
  for (float t : animation->startTimes()) {
    animation->setTime(0, t);
    animation->setTime(animation->animationCount() - 1u, t);
  }
}

}  // namespace dravik::fuzz
