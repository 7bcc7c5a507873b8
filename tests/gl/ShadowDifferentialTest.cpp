#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/gl/ShadowDifferential.h"

namespace dravik::test {
namespace {

long fromEnvironment(const char* name, long otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atol(value) : otherwise;
}

// Random sequences of the table's calls draw the same pictures, return the
// same values and leave the driver in the same state with the shadow on as
// with every call reaching the driver. DRAVIK_SHADOW_SEEDS and
// DRAVIK_SHADOW_FIRST_SEED pick other seeds.
TEST(ShadowDifferential, RandomCallSequencesMatchEveryCallReachingTheDriver) {
  ShadowDifferential differential;
  ASSERT_TRUE(differential.ready());
  const long first = fromEnvironment("DRAVIK_SHADOW_FIRST_SEED", 1);
  const long seeds = fromEnvironment("DRAVIK_SHADOW_SEEDS", 2000);
  for (long seed = first; seed < first + seeds; ++seed) {
    SeededChoices choices(static_cast<uint64_t>(seed));
    const std::vector<Step> steps = makeSequence(choices, 330);
    const Divergence divergence = differential.compare(steps);
    ASSERT_FALSE(divergence.found)
        << "seed " << seed << ": " << differential.report(steps, divergence);
  }
  const ShadowDifferential::Counts& counts = differential.counts();
  std::printf("%ld seeds: %ld draws, %ld with something drawn\n", seeds, counts.drawn,
              counts.drawnOn);
  // The sequences draw, and only what the driver can read.
  EXPECT_EQ(counts.refused, 0);
  EXPECT_GT(counts.drawnOn, seeds * 3);
}

}  // namespace
}  // namespace dravik::test
