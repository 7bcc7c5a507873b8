// The shell in-process on the headless backend: the session's frame loop,
// pause, context loss and start in steps, and the process's start through
// runGame, with a scripted clock, keys and window messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/GameSession.h"
#include "app/RunGame.h"
#include "app/headless/HeadlessScript.h"
#include "gl/GlApi.h"
#include "tests/support/TempDir.h"

namespace dravik {
namespace {

using headless::WindowMessage;

headless::Script& script() { return headless::script(); }

std::vector<uint8_t> picture() {
  std::vector<uint8_t> pixels(static_cast<size_t>(script().width) * script().height * 4);
  glReadPixels(0, 0, script().width, script().height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    script() = headless::Script{};
    session_.emplace(nullptr, platformClock());
    ASSERT_EQ(session_->start(), 0);
  }
  void TearDown() override {
    if (session_) session_->finish();
  }

  // One pass of the frame loop, the clock moved on first; whether the game ran.
  bool pass(int64_t milliseconds = 20) {
    script().now += milliseconds * 1000;
    return session_->runPass();
  }
  void deliver(WindowMessage message) { script().messages.push_back(message); }
  Vec3 player() const { return *session_->game().playerPosition; }

  std::optional<GameSession> session_;
};

TEST_F(ShellTest, FrameLoopHoldsAnEarlyFrameToFifteenMilliseconds) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(pass(2));
  ASSERT_TRUE(pass(40));
  const std::vector<int64_t>& shown = script().swapTimes;
  ASSERT_EQ(shown.size(), 5u);
  for (size_t i = 1; i + 1 < shown.size(); ++i) {
    EXPECT_GE(shown[i] - shown[i - 1], 15000) << "frame " << i;
    EXPECT_LE(shown[i] - shown[i - 1], 16000) << "frame " << i;
  }
  EXPECT_EQ(shown[4] - shown[3], 40000) << "a late frame is not held";
}

TEST_F(ShellTest, PauseHandsNoTimeOverToTheNextFrame) {
  script().heldKeys = {Key::Right};
  ASSERT_TRUE(pass());
  const float before = player().x;
  ASSERT_TRUE(pass());
  const float oneFrame = player().x - before;
  ASSERT_GT(oneFrame, 0.0f);

  deliver(WindowMessage::Escape);
  EXPECT_FALSE(pass());
  const float paused = player().x;
  const std::vector<uint8_t> still = picture();
  script().pad.pad = 0;  // a pad starts to play while paused
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(pass(5000));
  EXPECT_EQ(player().x, paused);
  EXPECT_EQ(picture(), still);

  // Its Start resumes as Escape would.
  script().pad.setHeld(PadButton::Start, true);
  ASSERT_TRUE(pass());
  EXPECT_NEAR(player().x - paused, oneFrame, oneFrame * 0.01f);
}

TEST_F(ShellTest, LostContextIsMadeAgainWithThePlayAsItWas) {
  script().heldKeys = {Key::Right, Key::Up};
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(pass());
  script().heldKeys.clear();
  deliver(WindowMessage::Escape);
  pass();
  const Vec3 at = player();
  const std::vector<uint8_t> before = picture();

  deliver(WindowMessage::ContextLost);
  for (int i = 0; i < 2; ++i) EXPECT_FALSE(pass());
  // The pass that delivers the restore shows the fresh, empty canvas; the
  // next makes the objects again.
  deliver(WindowMessage::ContextRestored);
  pass();
  pass();
  ASSERT_TRUE(script().contextCurrent);
  // The paused picture again, drawn from objects made in the fresh context.
  EXPECT_TRUE(picture() == before);

  deliver(WindowMessage::Escape);
  EXPECT_TRUE(pass());
  EXPECT_EQ(player().x, at.x);
  EXPECT_EQ(player().y, at.y);
  EXPECT_TRUE(script().messageBoxes.empty());
}

TEST_F(ShellTest, StartInStepsShowsEachStepThenPlays) {
  session_->finish();
  script() = headless::Script{};
  script().startInSteps = true;
  session_.emplace(nullptr, platformClock());
  ASSERT_EQ(session_->start(), 0);
  int passes = 0;
  while (session_->isStarting() && passes < 100) {
    EXPECT_FALSE(pass());
    ++passes;
  }
  ASSERT_FALSE(session_->isStarting());
  ASSERT_FALSE(script().startProgress.empty());
  EXPECT_EQ(script().startProgress.front(), "textures 1 of 7, 0 of 20 done");
  EXPECT_EQ(script().startProgress.back().substr(0, 4), "done");
  EXPECT_NE(script().startProgress.back().find("20 of 20 done"), std::string::npos);

  script().heldKeys = {Key::Right};
  const float before = player().x;
  EXPECT_TRUE(pass());
  EXPECT_GT(player().x, before);
}

TEST(RunGameTest, FailedStartShowsWhyAndExitsWithOne) {
  script() = headless::Script{};
  script().failWindow = true;
  EXPECT_EQ(runGame(), 1);
  ASSERT_EQ(script().messageBoxes.size(), 1u);
  EXPECT_EQ(script().messageBoxes[0].caption, "An error occurred");
  EXPECT_EQ(script().messageBoxes[0].text, "Unable to create the OpenGL Window");
  EXPECT_TRUE(script().messageBoxes[0].isError);

  script() = headless::Script{};
  script().missingEntryPoint = "glCreateShader";
  EXPECT_EQ(runGame(), 1);
  ASSERT_EQ(script().messageBoxes.size(), 1u);
  EXPECT_EQ(script().messageBoxes[0].text, "Could not initialize the application");
}

TEST(RunGameTest, FindsDataWhereInstalledAndEndsCleanlyOnClose) {
  const std::filesystem::path root = std::filesystem::current_path();
  test::TempDir elsewhere;
  std::filesystem::current_path(elsewhere.path());
  script() = headless::Script{};
  script().executableFolder = elsewhere.path();  // no data/ there
  script().installedFolder = root;
  script().beforePass = [](int pass) {
    script().now += 20000;
    if (pass == 3) script().messages.push_back(WindowMessage::Close);
  };
  EXPECT_EQ(runGame(), 0);
  EXPECT_EQ(std::filesystem::current_path(), root);
  EXPECT_TRUE(script().messageBoxes.empty());
  EXPECT_EQ(script().swapTimes.size(), 2u);
  EXPECT_FALSE(script().contextCurrent);
}

}  // namespace
}  // namespace dravik
