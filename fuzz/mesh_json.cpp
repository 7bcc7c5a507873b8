// The JSON model loader, animations included, on arbitrary text.
#include "fuzz/MeshChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dravik;
  const std::string& path = fuzz::writeInput(".json", data, size);
  Mesh mesh;
  DRAVIK_FUZZ_CHECK(mesh.loadFile(path));
  fuzz::checkLoadedMesh(mesh);
  // A second load into the same mesh replaces the first completely.
  DRAVIK_FUZZ_CHECK(mesh.loadFile(path));
  fuzz::checkLoadedMesh(mesh);
  return 0;
}
