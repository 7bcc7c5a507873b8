// The headerless binary model loader on arbitrary bytes.
#include <iostream>

#include "fuzz/MeshChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dravik;
  const std::string& path = fuzz::writeInput(".bin", data, size);
  Mesh mesh;
  DRAVIK_FUZZ_CHECK(mesh.loadFile(path));
  fuzz::checkLoadedMesh(mesh);
  DRAVIK_FUZZ_CHECK(mesh.animation() == nullptr);
  if (!mesh.positions().empty() || !mesh.indices().empty()) {
    const std::size_t n = mesh.positions().size() / 3;
    const std::size_t t = mesh.indices().size() / 3;
    DRAVIK_FUZZ_CHECK(8 + 32 * n + 6 * t <= size);
  }
  return 0;
}
