#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/Game.h"
#include "gl/GlApi.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TempDir.h"

namespace dravik {
namespace {

using test::shownText;

const char* const kAssetFiles[] = {
    "data/font.bmp.fnt",
    "data/road6.png",
    "data/wall.bmp",
    "data/wood.bmp",
    "data/grass.bmp",
    "data/whitepixel.bmp",
    "data/sky/stars/stars.bmp",
    "data/quad.json",
    "data/meshes/display/tree.json",
    "data/meshes/display/wall.json",
    "data/meshes/display/tallWall.json",
    "data/meshes/display/wood.json",
    "data/meshes/display/floorWood.json",
    "data/quadBackground.json",
    "data/meshes/colliders/quadCollider.json",
    "data/shaders/basic-fixed.vert",
    "data/shaders/basic-fixed.frag",
    "data/shaders/conveyor-map.vert",
    "data/shaders/conveyor-map.frag",
    "data/shaders/gameover-fixed.vert",
    "data/shaders/gameover-fixed.frag",
};

// Runs the test body with an empty folder as the current directory.
class InEmptyFolder {
 public:
  InEmptyFolder() {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) != nullptr) previous_ = buffer;
    EXPECT_EQ(chdir(folder_.path().c_str()), 0);
  }
  ~InEmptyFolder() { EXPECT_EQ(chdir(previous_.c_str()), 0); }

 private:
  test::TempDir folder_;
  std::string previous_;
};

void drainGlErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}

// Pixels of the 64 x 64 drawable that differ from the clear colour.
int pixelsOffClearColour() {
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  std::vector<unsigned char> pixels(test::kContextSize * test::kContextSize * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, test::kContextSize, test::kContextSize, GL_RGBA, GL_UNSIGNED_BYTE,
               pixels.data());
  int off = 0;
  for (std::size_t i = 0; i < pixels.size(); i += 4) {
    for (int c = 0; c < 3; ++c) {
      if (std::abs(pixels[i + c] - int(clear[c] * 255.0f + 0.5f)) > 2) {
        ++off;
        break;
      }
    }
  }
  return off;
}

TEST(GameLifecycleTest, ConstructedGameOwnsItsResizeListener) {
  Game game;
  ASSERT_NE(game.resizeListener(), nullptr);
  EXPECT_EQ(game.resizeListener()->game, &game);
  Game other;
  EXPECT_NE(other.resizeListener(), game.resizeListener());
  EXPECT_EQ(other.resizeListener()->game, &other);
}

TEST(GameLifecycleTest, OnResizeWorksBeforeInitAndKeepsTheHudSpace) {
  ASSERT_TRUE(test::ensureGlContext());
  Game game;
  const int sizes[][2] = {{1280, 720}, {800, 600}, {33, 17}};
  for (const auto& size : sizes) {
    game.onResize(size[0], size[1]);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], size[0]);
    EXPECT_EQ(viewport[3], size[1]);
    // Orthographic 0..1280 x 0..720, depth 1..1000.
    float expected[16] = {};
    expected[0] = 2.0f / 1280.0f;
    expected[5] = 2.0f / 720.0f;
    expected[10] = -2.0f / 999.0f;
    expected[12] = -1.0f;
    expected[13] = -1.0f;
    expected[14] = -1001.0f / 999.0f;
    expected[15] = 1.0f;
    for (int i = 0; i < 16; ++i) {
      EXPECT_NEAR(game.hudCamera.projection().m[i], expected[i], 1e-6) << i;
    }
  }
  test::resetGlState();
}

TEST(GameLifecycleTest, DestructionWithoutInitOrAfterContextLoss) {
  ASSERT_TRUE(test::ensureGlContext());
  { Game neverStarted; }
  {
    auto game = test::makeInitialisedGame();
    glentry::setContextAvailable(false);
    game->release();
    game.reset();
    glentry::setContextAvailable(true);
  }
  drainGlErrors();
  SUCCEED() << "no crash tearing down without a context";
}

TEST(GameInitTest, MissingDataStillInitialisesAndNamesEveryFile) {
  ASSERT_TRUE(test::ensureGlContext());
  InEmptyFolder folder;
  std::string messages;
  auto game = test::makeInitialisedGame(&messages);
  for (const char* file : kAssetFiles) {
    EXPECT_NE(messages.find(file), std::string::npos) << file << " not named in:\n" << messages;
  }
  // The play state after init.
  EXPECT_FALSE(game->f2Latch);
  EXPECT_FALSE(game->spaceLatch);
  EXPECT_TRUE(game->perspective);
  EXPECT_EQ(game->cameraMode, 0);
  EXPECT_EQ(game->cameraEye.x, 0.0f);
  EXPECT_EQ(game->cameraEye.y, -30.0f);
  EXPECT_EQ(game->groundOffset.x, 0.0f);
  EXPECT_EQ(game->groundOffset.y, 0.0f);
  EXPECT_FALSE(game->playing);
  EXPECT_FALSE(game->gameOver);
  EXPECT_EQ(game->countdown, 0.0f);
  EXPECT_EQ(game->score, 0.0f);
  EXPECT_EQ(game->multiplier, 3.0f);
  EXPECT_EQ(game->spinTime, game->startSpinTime);
  EXPECT_EQ(game->startSpinTime, 0.0f);
  EXPECT_EQ(game->playerPosition, &game->player.position);

  EXPECT_EQ(game->background.position.x, 0.0f);
  EXPECT_EQ(game->background.position.y, 50.0f);
  EXPECT_EQ(game->background.position.z, -10.0f);
  EXPECT_EQ(game->background.size.x, 200.0f);
  EXPECT_EQ(game->background.mesh, &game->backgroundMesh);
  EXPECT_EQ(game->background.texture, &game->starsTexture);
  EXPECT_EQ(game->groundTile.position.z, -1.0f);
  EXPECT_EQ(game->groundTile.mesh, &game->quadMesh);
  EXPECT_EQ(game->groundTile.texture, &game->grassTexture);
  EXPECT_EQ(game->groundTile.pivot.x, 0.5f);

  struct TextCase {
    const BitmapText* text;
    const char* shown;
    uint32_t size;
    float angle;
  };
  const TextCase texts[] = {
      {&game->debugText, "ca marche!", 90, 90},
      {&game->multiplierText, "x3", 90, 90},
      {&game->scoreText, "ca marche!", 90, 90},
      {&game->modeText, "NORMAL", 40, 0},
      {&game->startText, "PRESS SPACE TO START", 50, 0},
      {&game->easyText, "PRESS F1 FOR EASY MODE", 30, 20},
      {&game->randomText, "PRESS F2 FOR RANDOM MODE", 25, -10},
  };
  for (const TextCase& t : texts) {
    EXPECT_EQ(shownText(*t.text), t.shown);
    EXPECT_EQ(t.text->slotCount(), std::strlen(t.shown));
    EXPECT_EQ(t.text->glyphSize(), t.size) << t.shown;
    EXPECT_EQ(t.text->angle(), t.angle) << t.shown;
  }
  // The multiplier text starts blue, the score green, the title texts black.
  ASSERT_GE(game->multiplierText.mesh().colours().size(), 3u);
  EXPECT_EQ(game->multiplierText.mesh().colours()[2], 1.0f);
  EXPECT_EQ(game->scoreText.mesh().colours()[1], 1.0f);
  EXPECT_EQ(game->modeText.mesh().colours()[0], 0.0f);

  // The HUD camera's view is identity.
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(game->hudCamera.view().m[i], (i % 5 == 0) ? 1.0f : 0.0f);
  }

  // Frames run on the empty assets.
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) {
    game->update(0.015f);
    game->render();
  }
  testing::internal::GetCapturedStderr();
  game->release();
  drainGlErrors();
  test::resetGlState();
}

class GameWithDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::haveGameData()) GTEST_SKIP() << "data/ not generated yet";
    ASSERT_TRUE(test::ensureGlContext());
    test::useScriptedKeys();
    drainGlErrors();
    game = test::makeInitialisedGame(&messages);
    game->onResize(test::kContextSize, test::kContextSize);
  }
  void TearDown() override {
    inputState().setKeySource(nullptr);
    if (game) game->release();
    drainGlErrors();
    test::resetGlState();
  }

  std::unique_ptr<Game> game;
  std::string messages;
};

TEST_F(GameWithDataTest, InitLoadsEveryAssetQuietly) {
  EXPECT_EQ(messages, "");
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  const Texture* textures[] = {&game->fontTexture,  &game->roadTexture,       &game->wallTexture,
                               &game->grassTexture, &game->whitePixelTexture, &game->starsTexture,
                               &game->woodTexture};
  for (const Texture* texture : textures) {
    EXPECT_NE(texture->name(), 0u);
    EXPECT_EQ(texture->pixels(), nullptr) << "pixels are freed after upload";
  }
  const Mesh* meshes[] = {&game->quadMesh,      &game->treeMesh, &game->wallMesh,
                          &game->tallWallMesh,  &game->woodMesh, &game->floorWoodMesh,
                          &game->backgroundMesh};
  for (const Mesh* mesh : meshes) {
    EXPECT_GT(mesh->indexCount(), 0u);
    EXPECT_TRUE(mesh->hasBuffers());
  }
  EXPECT_NE(game->basicProgram.programId(), 0u);
  EXPECT_NE(game->conveyorProgram.programId(), 0u);
  EXPECT_NE(game->gameOverProgram.programId(), 0u);
  EXPECT_GE(game->posLocation, 0);
  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, GLint(game->conveyorProgram.programId()));
}

TEST_F(GameWithDataTest, FramesDrawWithoutGlErrors) {
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  for (int frame = 0; frame < 3; ++frame) {
    game->update(0.015f);
    game->render();
    EXPECT_EQ(glGetError(), GL_NO_ERROR) << "frame " << frame;
  }
  EXPECT_GT(pixelsOffClearColour(), 0);
  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, GLint(game->basicProgram.programId()));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLboolean depthWrite = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrite);
  EXPECT_EQ(depthWrite, GL_TRUE);

  // The orthographic view with the ground scrolled still draws cleanly.
  test::scriptedKeys().press(Key::F2);
  test::scriptedKeys().press(Key::Right);
  for (int frame = 0; frame < 3; ++frame) {
    game->update(0.5f);
    game->render();
  }
  EXPECT_FALSE(game->perspective);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  EXPECT_GT(pixelsOffClearColour(), 0);
  test::scriptedKeys().releaseAll();
}

// Where the entity's pivot (0.5, 0.5) landed in its last draw, undoing the
// camera part A of its matrix (projection x view, or the view alone when the
// program takes "mvMat").
Vec3 lastPivotPosition(const Entity& entity, const Camera& camera, bool viewOnly) {
  Mat4 a;
  if (viewOnly) {
    a = camera.view();
  } else {
    multiply(camera.projection(), camera.view(), a);
  }
  const Mat4& m = entity.modelMatrix;
  double p[4];
  for (int r = 0; r < 4; ++r) p[r] = 0.5 * m.m[r] + 0.5 * m.m[4 + r] + m.m[12 + r];
  // Solve A q = p for q by Gaussian elimination (A is 4 x 4, column-major).
  double aug[4][5];
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) aug[r][c] = a.m[4 * c + r];
    aug[r][4] = p[r];
  }
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 4; ++r) {
      if (std::fabs(aug[r][c]) > std::fabs(aug[pivot][c])) pivot = r;
    }
    for (int k = 0; k < 5; ++k) std::swap(aug[c][k], aug[pivot][k]);
    for (int r = 0; r < 4; ++r) {
      if (r == c) continue;
      const double f = aug[r][c] / aug[c][c];
      for (int k = 0; k < 5; ++k) aug[r][k] -= f * aug[c][k];
    }
  }
  const double w = aug[3][4] / aug[3][3];
  return Vec3(float(aug[0][4] / aug[0][0] / w), float(aug[1][4] / aug[1][1] / w),
              float(aug[2][4] / aug[2][2] / w));
}

TEST_F(GameWithDataTest, GrassDiscFollowsTheGroundOffset) {
  const bool viewOnly = glGetUniformLocation(game->conveyorProgram.programId(), "mvMat") >= 0;
  struct Case {
    Vec2 offset;
    Vec2 lastTile;  // the last tile of the disc in drawing order
  };
  const Case cases[] = {{{0, 0}, {19, 6}},
                        {{0.5f, 0}, {19.5f, 4}},
                        {{-0.5f, 0.25f}, {19.5f, 3.75f}},
                        {{0.25f, -0.25f}, {19.75f, 2.25f}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset.x);
    game->groundOffset = c.offset;
    game->render();
    EXPECT_EQ(game->groundTile.position.x, 0.0f);
    EXPECT_EQ(game->groundTile.position.y, 0.0f);
    EXPECT_EQ(game->groundTile.position.z, -1.0f);
    const Vec3 last = lastPivotPosition(game->groundTile, game->worldCamera, viewOnly);
    EXPECT_NEAR(last.x, c.lastTile.x, 1e-3);
    EXPECT_NEAR(last.y, c.lastTile.y, 1e-3);
    EXPECT_NEAR(last.z, -1.0f, 1e-3);
  }
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

TEST_F(GameWithDataTest, TheViewLooksFromThePannedEyeAtTheFixedTarget) {
  // The eye follows the pan 20 above the ground; the target stays put.
  game->cameraEye = Vec2(6, -24);
  game->render();
  const Mat4& view = game->worldCamera.view();
  auto viewed = [&](float x, float y, float z) {
    const float* m = view.m;
    return Vec3(m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                m[2] * x + m[6] * y + m[10] * z + m[14]);
  };
  const Vec3 eye = viewed(6, -24, 20);
  EXPECT_NEAR(eye.x, 0, 1e-4);
  EXPECT_NEAR(eye.y, 0, 1e-4);
  EXPECT_NEAR(eye.z, 0, 1e-4);
  const Vec3 target = viewed(0, 5.46237f, -5);
  EXPECT_NEAR(target.x, 0, 1e-4);
  EXPECT_NEAR(target.y, 0, 1e-4);
  EXPECT_NEAR(target.z, -std::sqrt(36.0f + 29.46237f * 29.46237f + 625.0f), 1e-3);
}

TEST_F(GameWithDataTest, PlayerAndBarAreDrawnOnlyWhilePlaying) {
  for (bool playing : {false, true}) {
    game->playing = playing;
    for (float& v : game->player.modelMatrix.m) v = 777.0f;
    for (float& v : game->bar.modelMatrix.m) v = 777.0f;
    game->render();
    EXPECT_EQ(game->player.modelMatrix.m[0] != 777.0f, playing);
    EXPECT_EQ(game->bar.modelMatrix.m[0] != 777.0f, playing);
  }
}

TEST_F(GameWithDataTest, ReleaseDeletesAllButTheStarsTexture) {
  const GLuint stars = game->starsTexture.name();
  const GLuint deleted[] = {game->fontTexture.name(),  game->roadTexture.name(),
                            game->wallTexture.name(),  game->woodTexture.name(),
                            game->grassTexture.name(), game->whitePixelTexture.name()};
  game->release();
  // Binding a deleted name makes a fresh, empty texture of that name.
  for (GLuint name : deleted) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0) << "texture " << name;
  }
  glBindTexture(GL_TEXTURE_2D, stars);
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_GT(width, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  game->release();
}

}  // namespace
}  // namespace dravik
