#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/Game.h"
#include "gl/GlApi.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/GlTestContext.h"

namespace dravik {
namespace {

using test::scriptedKeys;
using test::shownText;

class UpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ensureGlContext());
    test::useScriptedKeys();
    game = test::makeInitialisedGame();
  }
  void TearDown() override {
    scriptedKeys().releaseAll();
    inputState().setKeySource(nullptr);
    test::resetGlState();
  }
  void frames(int count, float dt) {
    for (int i = 0; i < count; ++i) game->update(dt);
  }

  std::unique_ptr<Game> game;
};

TEST_F(UpdateTest, HeldToggleKeysFlipOnce) {
  struct Case {
    Key key;
    const char* name;
  };
  for (const Case& c : {Case{Key::F2, "F2"}, Case{Key::Space, "Space"}}) {
    SCOPED_TRACE(c.name);
    auto state = [&] { return c.key == Key::F2 ? int(game->perspective) : game->cameraMode; };
    const int before = state();
    scriptedKeys().press(c.key);
    frames(30, 0.015f);
    EXPECT_NE(state(), before);
    const int flipped = state();
    frames(30, 0.015f);
    EXPECT_EQ(state(), flipped);
    scriptedKeys().release(c.key);
    frames(1, 0.015f);
    EXPECT_EQ(state(), flipped);
    scriptedKeys().press(c.key);
    frames(10, 0.015f);
    EXPECT_EQ(state(), before);
    scriptedKeys().release(c.key);
    frames(1, 0.015f);
  }
  // Each key works on its own state only.
  EXPECT_TRUE(game->perspective);
  EXPECT_EQ(game->cameraMode, 0);
}

TEST_F(UpdateTest, ArrowsMoveTenUnitsPerSecondAndDiagonalsSevenPointZeroSeven) {
  struct Case {
    std::initializer_list<Key> keys;
    float dx, dy;
  };
  const Case cases[] = {
      {{Key::Right}, 10, 0},
      {{Key::Left}, -10, 0},
      {{Key::Up}, 0, 10},
      {{Key::Down}, 0, -10},
      {{Key::Right, Key::Up}, 7.07f, 7.07f},
      {{Key::Left, Key::Down}, -7.07f, -7.07f},
      {{Key::Left, Key::Up}, -7.07f, 7.07f},
      {{Key::Left, Key::Right}, -10, 0},
      {{Key::Up, Key::Down}, 0, 10},
      {{}, 0, 0},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(index++);
    game->player.position.x = 0;
    game->player.position.y = 0;
    game->groundOffset = Vec2(0, 0);
    scriptedKeys().releaseAll();
    for (Key key : c.keys) scriptedKeys().press(key);
    frames(10, 0.1f);
    EXPECT_NEAR(game->player.position.x, c.dx, 1e-4);
    EXPECT_NEAR(game->player.position.y, c.dy, 1e-4);
    EXPECT_NEAR(game->groundOffset.x, c.dx, 1e-4);
    EXPECT_NEAR(game->groundOffset.y, c.dy, 1e-4);
    EXPECT_EQ(game->cameraEye.x, 0.0f);
    EXPECT_EQ(game->cameraEye.y, -30.0f);
  }
}

PadState gStick;

TEST_F(UpdateTest, StickMovesThroughTheDeadZoneAtItsOwnSpeedAndDiagonally) {
  struct Case {
    float x, y;    // stick
    float dx, dy;  // one second later
  };
  const Case cases[] = {
      {0.1f, 0, 0, 0},   {0.19f, -0.19f, 0, 0},      {0.5f, 0, 5, 0},
      {0, -0.8f, 0, -8}, {0.7f, 0.7f, 7.07f, 7.07f},
  };
  inputState().setPadSource(&gStick);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    game->player.position.x = 0;
    game->player.position.y = 0;
    gStick.stick = {c.x, c.y};
    frames(10, 0.1f);
    EXPECT_NEAR(game->player.position.x, c.dx, 1e-4);
    EXPECT_NEAR(game->player.position.y, c.dy, 1e-4);
  }
  inputState().setPadSource(nullptr);
}

TEST_F(UpdateTest, GroundOffsetStopsAt25WhilePlayerKeepsGoing) {
  scriptedKeys().press(Key::Right);
  scriptedKeys().press(Key::Down);
  frames(50, 0.1f);
  EXPECT_EQ(game->groundOffset.x, 25.0f);
  EXPECT_EQ(game->groundOffset.y, -25.0f);
  EXPECT_NEAR(game->player.position.x, 35.35f, 1e-3);
  EXPECT_NEAR(game->player.position.y, -35.35f, 1e-3);
  scriptedKeys().releaseAll();
  scriptedKeys().press(Key::Left);
  frames(1, 0.1f);
  EXPECT_FLOAT_EQ(game->groundOffset.x, 24.0f);
}

TEST_F(UpdateTest, CameraModeOnePansTheEyeWithoutBound) {
  scriptedKeys().press(Key::Space);
  frames(1, 0.1f);
  scriptedKeys().releaseAll();
  ASSERT_EQ(game->cameraMode, 1);
  scriptedKeys().press(Key::Left);
  scriptedKeys().press(Key::Up);
  frames(100, 0.1f);
  EXPECT_NEAR(game->cameraEye.x, -70.7f, 1e-2);
  EXPECT_NEAR(game->cameraEye.y, -30.0f + 70.7f, 1e-2);
  EXPECT_EQ(game->groundOffset.x, 0.0f);
  EXPECT_EQ(game->groundOffset.y, 0.0f);
  EXPECT_NEAR(game->player.position.x, -70.7f, 1e-2);
}

TEST_F(UpdateTest, MultiplierZonesUseDoubleBounds) {
  struct Case {
    float x;
    float multiplier;
    float r, g, b;
  };
  const Case cases[] = {
      {-1.04999995f, 3, 0, 0, 1},       {0.83999997f, 3, 0, 0, 1}, {0.0f, 3, 0, 0, 1},
      {-4.36999989f, 2, 0.5f, 0.5f, 1}, {4.0f, 2, 0.5f, 0.5f, 1},  {-1.1f, 2, 0.5f, 0.5f, 1},
      {4.09000015f, 1, 0.9f, 0.9f, 1},  {-4.4f, 1, 0.9f, 0.9f, 1}, {30.0f, 1, 0.9f, 0.9f, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    game->player.position.x = c.x;
    frames(1, 0.0f);
    EXPECT_EQ(game->multiplier, c.multiplier);
    EXPECT_EQ(shownText(game->multiplierText), "x" + std::to_string(int(c.multiplier)));
    const auto& colours = game->multiplierText.mesh().colours();
    ASSERT_GE(colours.size(), 6u);
    for (std::size_t v = 0; v < 2; ++v) {
      EXPECT_EQ(colours[3 * v], c.r);
      EXPECT_EQ(colours[3 * v + 1], c.g);
      EXPECT_EQ(colours[3 * v + 2], c.b);
    }
  }
}

TEST_F(UpdateTest, ScoreIsShownTruncated) {
  // Multiplier 3 at x = 0: 0.45 points per 0.01 s frame.
  const char* shown[] = {"0", "0", "1", "1", "2", "2", "3"};
  for (int i = 0; i < 7; ++i) {
    frames(1, 0.01f);
    EXPECT_NEAR(game->score, 0.45f * (i + 1), 1e-4);
    EXPECT_EQ(shownText(game->scoreText), shown[i]) << "frame " << i;
  }
  // Multiplier 1 far east.
  game->player.position.x = 20;
  const float before = game->score;
  frames(1, 0.1f);
  EXPECT_NEAR(game->score - before, 1.5f, 1e-4);
}

TEST_F(UpdateTest, DebugTextShowsLastFramesBarPositionTruncated) {
  game->player.position.x = 3.7f;
  game->player.position.y = -2.9f;
  frames(1, 0.0f);
  EXPECT_EQ(shownText(game->debugText), "0 0");
  EXPECT_EQ(game->bar.position.x, 3.7f);
  EXPECT_EQ(game->bar.position.y, -2.9f);
  frames(1, 0.0f);
  EXPECT_EQ(shownText(game->debugText), "3 -2");
}

TEST_F(UpdateTest, BarSpinsAtNinetyDegreesPerSecondOfSpinTime) {
  frames(1, 0.5f);
  EXPECT_EQ(game->bar.getAngle(), 0.0f);
  EXPECT_EQ(game->spinTime, 0.5f);
  frames(1, 0.25f);
  EXPECT_EQ(game->bar.getAngle(), 45.0f);
  EXPECT_EQ(game->spinTime, 0.75f);
}

TEST_F(UpdateTest, CountdownRampsSpeedAndMakesBasicProgramCurrentOnce) {
  game->playing = true;
  game->countdown = 0;
  scriptedKeys().press(Key::Right);
  const bool programs = test::haveGameData() && game->basicProgram.programId() != 0;
  // Frames of 0.3 s: countdown 0.3, 0.6, 0.9 scale dt; 1.2 (the frame that
  // passes 1) and later do not.
  const float scales[] = {0.3f, 0.6f, 0.90000004f, 1, 1, 1, 1};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    glUseProgram(0);
    const float before = game->player.position.x;
    frames(1, 0.3f);
    const float expectedCountdown = 0.3f * (i + 1);
    EXPECT_NEAR(game->countdown, i < 6 ? expectedCountdown : 2.1f, 1e-5);
    EXPECT_NEAR(game->player.position.x - before, 3.0f * scales[i], 1e-5);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    // Frame 7 takes the countdown from 1.8 to 2.1.
    if (programs) {
      EXPECT_EQ(current, i == 6 ? GLint(game->basicProgram.programId()) : 0);
    }
  }
  glUseProgram(0);
  frames(3, 0.3f);
  EXPECT_NEAR(game->countdown, 2.1f, 1e-5);
  GLint current = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, 0);
  if (!programs) GTEST_SKIP() << "no shader data: current-program check not made";
}

TEST_F(UpdateTest, StartRampEndsAtOneSecond) {
  game->playing = true;
  scriptedKeys().press(Key::Right);
  // A 0.1 s frame from countdown 0.85 ends at 0.95, still on the ramp; one
  // from 0.95 ends at 1.05, past it, at full speed.
  const float starts[] = {0.85f, 0.95f};
  const float moved[] = {0.95f, 1.0f};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(starts[i]);
    game->countdown = starts[i];
    const float before = game->player.position.x;
    frames(1, 0.1f);
    EXPECT_NEAR(game->player.position.x - before, moved[i], 1e-5);
  }
}

TEST_F(UpdateTest, GameOverFreezesAllButTheToggles) {
  game->gameOver = true;
  scriptedKeys().press(Key::Right);
  scriptedKeys().press(Key::F2);
  scriptedKeys().press(Key::Space);
  frames(5, 0.1f);
  EXPECT_FALSE(game->perspective);
  EXPECT_EQ(game->cameraMode, 1);
  EXPECT_EQ(game->player.position.x, 0.0f);
  EXPECT_EQ(game->score, 0.0f);
  EXPECT_EQ(game->spinTime, 0.0f);
  EXPECT_EQ(shownText(game->debugText), "ca marche!");
}

}  // namespace
}  // namespace dravik
