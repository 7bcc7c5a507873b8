// The collider loader on arbitrary text.
#include "world/Collider.h"

#include "fuzz/FuzzSupport.h"

namespace {

void checkCollider(const dravik::Collider& c) {
  DRAVIK_FUZZ_CHECK(c.vertexCount() >= 0 && c.edgeCount() >= 0 && c.circleCount() >= 0);
  DRAVIK_FUZZ_CHECK(c.vertexX().size() == static_cast<std::size_t>(c.vertexCount()));
  DRAVIK_FUZZ_CHECK(c.vertexY().size() == static_cast<std::size_t>(c.vertexCount()));
  DRAVIK_FUZZ_CHECK(c.edgeIndices().size() == 2 * static_cast<std::size_t>(c.edgeCount()));
  DRAVIK_FUZZ_CHECK(c.circleX().size() == static_cast<std::size_t>(c.circleCount()));
  DRAVIK_FUZZ_CHECK(c.circleY().size() == static_cast<std::size_t>(c.circleCount()));
  DRAVIK_FUZZ_CHECK(c.circleRadius().size() == static_cast<std::size_t>(c.circleCount()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string& path = dravik::fuzz::writeInput(".json", data, size);
  dravik::Collider collider;
  DRAVIK_FUZZ_CHECK(collider.loadCollider(path));
  checkCollider(collider);
  DRAVIK_FUZZ_CHECK(collider.loadCollider(path));
  checkCollider(collider);
  return 0;
}
