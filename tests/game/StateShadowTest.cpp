#include <gtest/gtest.h>

#include <vector>

#include "game/Game.h"
#include "gl/GlApi.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/GameViews.h"
#include "tests/support/GlTestContext.h"

namespace dravik {
namespace {

using Picture = std::vector<unsigned char>;

Picture drawView(Game& game, int view) {
  test::showGameView(game, view);
  game.render();
  Picture pixels(test::kContextSize * test::kContextSize * 4);
  glReadPixels(0, 0, test::kContextSize, test::kContextSize, GL_RGBA, GL_UNSIGNED_BYTE,
               pixels.data());
  return pixels;
}

// The shadow passes on a sixth of the game's calls, and the driver draws the
// same pictures as when it receives every one of them.
TEST(StateShadowTest, GamePicturesMatchEveryCallReachingTheDriver) {
  if (!test::haveGameData()) GTEST_SKIP() << "data/ not generated yet";
  ASSERT_TRUE(test::ensureGlContext());
  auto game = test::makeInitialisedGame();
  game->onResize(test::kContextSize, test::kContextSize);
  game->render();  // the first frame draws the sky with the program init left
  std::vector<Picture> everyCall;
  glentry::setStateShadow(false);
  for (int view = 0; view < test::kGameViews; ++view) everyCall.push_back(drawView(*game, view));
  glentry::setStateShadow(true);
  for (int view = 0; view < test::kGameViews; ++view) {
    glentry::resetCallCounts();
    EXPECT_EQ(drawView(*game, view), everyCall[view]) << "view " << view;
    const glentry::CallCounts calls = glentry::callCounts();
    EXPECT_LT(calls.issued * 5, calls.asked) << "view " << view;
  }
  // The views are pictures of their own, not one blank frame four times.
  EXPECT_NE(everyCall[0], everyCall[1]);
  EXPECT_NE(everyCall[0], everyCall[2]);
  EXPECT_NE(everyCall[0], everyCall[3]);
  game.reset();
  test::resetGlState();
}

}  // namespace
}  // namespace dravik
