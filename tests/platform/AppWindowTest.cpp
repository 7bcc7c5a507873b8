// The SDL window backend driven by synthetic events on SDL's offscreen
// driver: a real GL context, no X server.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "app/Platform.h"
#include "game/Game.h"
#include "gl/GlApi.h"

namespace dravik {
namespace {

void pushWindowEvent(Uint8 kind, int data1 = 0, int data2 = 0) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = kind;
  event.window.data1 = data1;
  event.window.data2 = data2;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void pushEscape(bool repeat) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.sym = SDLK_ESCAPE;
  event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void viewport(int out[4]) { glGetIntegerv(GL_VIEWPORT, out); }

class AppWindowEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    window.setResizeListener(game.resizeListener());
    ASSERT_TRUE(window.create(1280, 720, 32, false));
    loadGLFunctions();
  }
  Game game;
  AppWindow window{nullptr};
};

TEST_F(AppWindowEvents, CreateMakesContextCurrentAndReportsFirstSize) {
  EXPECT_TRUE(window.isRunning());
  EXPECT_TRUE(window.active);
  EXPECT_TRUE(glentry::contextAvailable());
  EXPECT_EQ(glentry::firstMissingCalledEntryPoint(), nullptr);
  // The first size reached the game during create: its viewport is set.
  int v[4] = {};
  viewport(v);
  EXPECT_EQ(v[2], 1280);
  EXPECT_EQ(v[3], 720);
}

TEST_F(AppWindowEvents, EveryEscapeKeyDownTogglesPauseRepeatsIncluded) {
  pushEscape(false);
  window.pumpMessages();
  EXPECT_FALSE(window.active);
  pushEscape(false);
  window.pumpMessages();
  EXPECT_TRUE(window.active);
  pushEscape(true);
  pushEscape(true);
  pushEscape(true);
  window.pumpMessages();
  EXPECT_FALSE(window.active);
  EXPECT_TRUE(window.isRunning());
}

TEST_F(AppWindowEvents, LaterSizeChangesReachTheGame) {
  pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 450);
  window.pumpMessages();
  int v[4] = {};
  viewport(v);
  EXPECT_EQ(v[0], 0);
  EXPECT_EQ(v[1], 0);
  EXPECT_EQ(v[2], 800);
  EXPECT_EQ(v[3], 450);
}

TEST_F(AppWindowEvents, CloseRequestDeletesContextAndStopsOnce) {
  pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  window.pumpMessages();
  EXPECT_FALSE(window.isRunning());
  EXPECT_FALSE(glentry::contextAvailable());
  // Swapping and pumping after the close are harmless.
  window.swapBuffers();
  window.pumpMessages();
  window.destroy();
  // Releasing the game with the context gone must not touch GL.
  game.release();
}

TEST(AppWindowFailure, NoVideoDriverMeansCreateFails) {
  SDL_setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  Game game;
  AppWindow window(nullptr);
  window.setResizeListener(game.resizeListener());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(window.create(1280, 720, 32, false));
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(window.isRunning());
  window.destroy();
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
}

}  // namespace
}  // namespace dravik
