// The state shadow's differential run, driven by the input's bytes: they
// choose the table's calls (tests/gl/ShadowSequence.h); the runs with the
// shadow off and on must draw, return and leave the same. Needs the offscreen
// GL context of the GL tests (SDL's offscreen driver, Mesa llvmpipe).
#include <cstdint>
#include <cstdio>

#include "fuzz/FuzzSupport.h"
#include "tests/gl/ShadowDifferential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dravik::test;
  static ShadowDifferential differential;
  DRAVIK_FUZZ_CHECK(differential.ready());
  ByteChoices choices(data, size);
  const std::vector<Step> steps = makeSequence(choices, 400);
  const Divergence divergence = differential.compare(steps);
  if (divergence.found) std::fprintf(stderr, "%s", differential.report(steps, divergence).c_str());
  DRAVIK_FUZZ_CHECK(!divergence.found);
  return 0;
}
