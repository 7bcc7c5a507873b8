// Counts heap allocations made on the test thread while frames run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "game/Game.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/GlTestContext.h"

// AddressSanitizer brings its own operator new; mixing it with replaced
// versions mismatches allocation and release, so that build does not count.
#if defined(__SANITIZE_ADDRESS__)
#define DRAVIK_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DRAVIK_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef DRAVIK_COUNT_ALLOCATIONS
#define DRAVIK_COUNT_ALLOCATIONS 1
#endif

#if DRAVIK_COUNT_ALLOCATIONS
namespace {
thread_local bool counting = false;
thread_local long allocations = 0;

void* allocate(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#else
namespace {
bool counting = false;
long allocations = 0;
}  // namespace
#endif

namespace dravik {
namespace {

TEST(AllocationTest, SteadyStateFramesAllocateNothing) {
  if (!DRAVIK_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocation counting is off in this build";
  if (!test::haveGameData()) GTEST_SKIP() << "data/ not generated yet";
  ASSERT_TRUE(test::ensureGlContext());
  test::useScriptedKeys();
  auto game = test::makeInitialisedGame();
  game->onResize(test::kContextSize, test::kContextSize);
  // Moving keeps the texts and the drawn set changing.
  test::scriptedKeys().press(Key::Right);
  test::scriptedKeys().press(Key::Up);
  for (int i = 0; i < 5; ++i) {
    game->update(0.015f);
    game->render();
  }
  allocations = 0;
  counting = true;
  for (int i = 0; i < 30; ++i) {
    game->update(0.015f);
    game->render();
  }
  counting = false;
  EXPECT_EQ(allocations, 0);

  // The counter itself sees allocations.
  counting = true;
  auto probe = std::make_unique<int>(5);
  counting = false;
  EXPECT_EQ(allocations, 1);
  EXPECT_EQ(*probe, 5);

  test::scriptedKeys().releaseAll();
  inputState().setKeySource(nullptr);
  game->release();
  test::resetGlState();
}

}  // namespace
}  // namespace dravik
