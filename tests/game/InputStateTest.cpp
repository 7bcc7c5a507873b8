#include <gtest/gtest.h>

#include <set>

#include "game/InputState.h"

namespace dravik {
namespace {

std::set<Key> gHeld;
bool scriptedKeys(Key key) { return gHeld.count(key) != 0; }

struct AxisCase {
  std::set<Key> held;
  float x;
  float y;
};

class InputAxes : public ::testing::TestWithParam<AxisCase> {};

TEST_P(InputAxes, BothAxesHoldTheSameDirection) {
  const AxisCase& c = GetParam();
  gHeld = c.held;
  InputState input;
  input.setKeySource(scriptedKeys);
  input.poll();
  EXPECT_EQ(input.digitalAxis().x, c.x);
  EXPECT_EQ(input.digitalAxis().y, c.y);
  EXPECT_EQ(input.analogAxis().x, c.x);
  EXPECT_EQ(input.analogAxis().y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Arrows, InputAxes,
    ::testing::Values(AxisCase{{}, 0.0f, 0.0f}, AxisCase{{Key::Left}, -1.0f, 0.0f},
                      AxisCase{{Key::Right}, 1.0f, 0.0f}, AxisCase{{Key::Up}, 0.0f, 1.0f},
                      AxisCase{{Key::Down}, 0.0f, -1.0f},
                      AxisCase{{Key::Left, Key::Right}, -1.0f, 0.0f},
                      AxisCase{{Key::Up, Key::Down}, 0.0f, 1.0f},
                      AxisCase{{Key::Right, Key::Up}, 1.0f, 1.0f},
                      AxisCase{{Key::Left, Key::Down}, -1.0f, -1.0f},
                      AxisCase{{Key::Left, Key::Right, Key::Up, Key::Down}, -1.0f, 1.0f}));

TEST(InputFlags, FollowHeldKeysAndClearOnRelease) {
  InputState input;
  input.setKeySource(scriptedKeys);
  gHeld = {Key::Space, Key::F2};
  input.poll();
  EXPECT_TRUE(input.spaceDown());
  EXPECT_FALSE(input.f1Down());
  EXPECT_TRUE(input.f2Down());
  gHeld = {Key::F1, Key::Right};
  input.poll();
  EXPECT_FALSE(input.spaceDown());
  EXPECT_TRUE(input.f1Down());
  EXPECT_FALSE(input.f2Down());
  EXPECT_EQ(input.digitalAxis().x, 1.0f);
  gHeld.clear();
  input.poll();
  EXPECT_FALSE(input.f1Down());
  EXPECT_EQ(input.digitalAxis().x, 0.0f);
}

TEST(InputFlags, NoKeySourceReadsAsNothingHeld) {
  InputState input;
  input.poll();
  EXPECT_FALSE(input.spaceDown());
  EXPECT_EQ(input.analogAxis().x, 0.0f);
  EXPECT_EQ(input.analogAxis().y, 0.0f);
}

}  // namespace
}  // namespace dravik
