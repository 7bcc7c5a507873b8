// The game's GL objects given up and made again, as around a lost context.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/GlobalGlState.h"
#include "game/Game.h"
#include "gl/GlApi.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/GlTestContext.h"

namespace dravik {
namespace {

std::vector<unsigned char> pixelsAfter(Game& game, int frames) {
  for (int i = 0; i < frames; ++i) game.render();
  std::vector<unsigned char> pixels(test::kContextSize * test::kContextSize * 4);
  glReadPixels(0, 0, test::kContextSize, test::kContextSize, GL_RGBA, GL_UNSIGNED_BYTE,
               pixels.data());
  return pixels;
}

// Binding a deleted name makes a fresh, empty texture of that name.
GLint textureWidth(GLuint name) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint width = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  return width;
}

// Param: whether the context is taken away first, when the names must be
// forgotten rather than deleted.
class GlObjectsTest : public ::testing::TestWithParam<bool> {};

TEST_P(GlObjectsTest, RestoredObjectsDrawTheSamePictureAtOnce) {
  if (!test::haveGameData()) GTEST_SKIP() << "data/ not generated yet";
  ASSERT_TRUE(test::ensureGlContext());
  const bool contextLost = GetParam();
  auto game = test::makeInitialisedGame();
  game->onResize(test::kContextSize, test::kContextSize);
  game->groundOffset = Vec2(3.5f, -2.0f);
  game->cameraMode = 1;
  game->perspective = false;
  // Init leaves the conveyor program current, which the first frame draws
  // the backdrop with; the second shows what every later one does.
  const std::vector<unsigned char> before = pixelsAfter(*game, 2);
  const GLuint oldGrass = game->grassTexture.name();
  const GLuint oldStars = game->starsTexture.name();

  if (contextLost) glentry::setContextAvailable(false);
  game->releaseGlObjects();
  glentry::setContextAvailable(true);
  EXPECT_EQ(game->grassTexture.name(), 0u);
  // Shutdown leaves the stars texture to the driver; a lost one is forgotten.
  EXPECT_EQ(game->starsTexture.name(), contextLost ? 0u : oldStars);
  EXPECT_FALSE(game->quadMesh.hasBuffers());
  EXPECT_FALSE(game->scoreText.mesh().hasBuffers());
  EXPECT_EQ(game->basicProgram.programId(), 0u);
  EXPECT_EQ(textureWidth(oldGrass) > 0, contextLost);

  setGlobalGlState();
  EXPECT_EQ(game->restoreGlObjects(), 1);
  EXPECT_EQ(pixelsAfter(*game, 1), before);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  game->release();
  test::resetGlState();
}

INSTANTIATE_TEST_SUITE_P(ContextKeptOrLost, GlObjectsTest, ::testing::Bool());

// A browser's start: the steps one at a time, lost half way with the
// context and started over, end where init ends, the progress moving on.
TEST(GameStartTest, StepsStartedOverAfterALossDrawWhatInitDraws) {
  if (!test::haveGameData()) GTEST_SKIP() << "data/ not generated yet";
  ASSERT_TRUE(test::ensureGlContext());
  auto initialised = test::makeInitialisedGame();
  initialised->onResize(test::kContextSize, test::kContextSize);
  const std::vector<unsigned char> expected = pixelsAfter(*initialised, 2);
  initialised->release();

  Game stepped;
  stepped.onResize(test::kContextSize, test::kContextSize);
  testing::internal::CaptureStdout();
  stepped.beginStart();
  while (std::string(stepped.startProgress().stage) != "level") stepped.runStartStep();
  glentry::setContextAvailable(false);
  stepped.releaseGlObjects();
  glentry::setContextAvailable(true);
  setGlobalGlState();
  stepped.beginStart();
  std::vector<std::string> shown;
  int steps = 0;
  for (bool more = true; more; ++steps) {
    const Game::StartProgress progress = stepped.startProgress();
    EXPECT_EQ(progress.stepsDone, steps);
    shown.push_back(std::string(progress.stage) + " " + std::to_string(progress.item) + "/" +
                    std::to_string(progress.items));
    more = stepped.runStartStep();
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(steps, stepped.startProgress().steps);
  EXPECT_STREQ(stepped.startProgress().stage, "done");
  EXPECT_EQ(shown.front(), "textures 1/7");
  EXPECT_EQ(shown[7], "models 1/7");
  EXPECT_EQ(shown.back(), "shaders 3/3");
  // The random trees are the one thing two builds of the level differ in.
  stepped.treePositions = initialised->treePositions;
  EXPECT_EQ(pixelsAfter(stepped, 2), expected);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  stepped.release();
  test::resetGlState();
}

}  // namespace
}  // namespace dravik
