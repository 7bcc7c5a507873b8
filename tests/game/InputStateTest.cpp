#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

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

namespace dravik {
namespace {

PadState gPad;

struct PadCase {
  const char* name;
  std::set<Key> held;
  PadState pad;
  Axis analog;
  Axis digital;
};

PadState stick(float x, float y) {
  PadState pad;
  pad.stick = {x, y};
  return pad;
}

PadState dpadRightDown() {
  PadState pad;
  pad.dpadRight = pad.dpadDown = true;
  return pad;
}

class PadAxes : public ::testing::TestWithParam<PadCase> {};

TEST_P(PadAxes, CombineWithTheKeys) {
  const PadCase& c = GetParam();
  gHeld = c.held;
  gPad = c.pad;
  InputState input;
  input.setKeySource(scriptedKeys);
  input.setPadSource(&gPad);
  input.poll();
  EXPECT_FLOAT_EQ(input.analogAxis().x, c.analog.x);
  EXPECT_FLOAT_EQ(input.analogAxis().y, c.analog.y);
  EXPECT_EQ(input.digitalAxis().x, c.digital.x);
  EXPECT_EQ(input.digitalAxis().y, c.digital.y);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PadAxes,
    ::testing::Values(
        // The stick passes through unfiltered; the game's dead zone decides.
        PadCase{"resting", {}, stick(0.1f, -0.05f), {0.1f, -0.05f}, {0, 0}},
        PadCase{"half", {}, stick(0.5f, 0), {0.5f, 0}, {1, 0}},
        PadCase{"diagonal", {}, stick(-0.6f, 0.7f), {-0.6f, 0.7f}, {-1, 1}},
        PadCase{"past the range", {}, stick(1.2f, -1.0001f), {1, -1}, {1, -1}},
        // A held key gives its full value; the larger magnitude wins.
        PadCase{"key over stick", {Key::Left}, stick(0.8f, 0.3f), {-1, 0.3f}, {-1, 0}},
        PadCase{"d-pad", {}, dpadRightDown(), {1, -1}, {1, -1}},
        PadCase{"key over d-pad", {Key::Up}, dpadRightDown(), {1, 1}, {1, 1}}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(PadButtons, HoldTheToggleFlagsBesideTheKeys) {
  gHeld.clear();
  gPad = PadState{};
  gPad.camera = true;
  InputState input;
  input.setKeySource(scriptedKeys);
  input.setPadSource(&gPad);
  input.poll();
  EXPECT_TRUE(input.spaceDown());
  EXPECT_FALSE(input.f2Down());
  gPad = PadState{};
  gPad.projection = true;
  input.poll();
  EXPECT_FALSE(input.spaceDown());
  EXPECT_TRUE(input.f2Down());
  EXPECT_FALSE(input.f1Down());
}

}  // namespace
}  // namespace dravik
