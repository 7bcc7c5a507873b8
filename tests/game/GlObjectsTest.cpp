// The game's GL objects given up and made again, as around a lost context.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace dravik
