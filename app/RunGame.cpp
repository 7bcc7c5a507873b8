// The body of the process entry, shared by every platform's entry function:
// owns the window and the game for the whole run and drives the frame loop.
#include "app/RunGame.h"

#include <iostream>

#include "app/AppWindow.h"
#include "app/FrameTimer.h"
#include "app/GlobalGlState.h"
#include "app/InputState.h"
#include "gl/GlApi.h"
#include "game/Game.h"

namespace dravik {

namespace {

constexpr const char* kErrorCaption = "An error occurred";

}  // namespace

int runGame(void* instanceHandle) {
  AppWindow window(instanceHandle);
  Game game;
  window.setResizeListener(game.resizeListener());
  if (!window.create(1280, 720, 32, false)) {
    showMessageBox(kErrorCaption, "Unable to create the OpenGL Window", true);
    window.destroy();
    return 1;
  }
  loadGLFunctions();
  // Never call through a null entry point: a driver without one the game
  // needs cannot run it.
  if (const char* missing = glentry::firstMissingCalledEntryPoint()) {
    std::cerr << "Missing OpenGL entry point: " << missing << std::endl;
    showMessageBox(kErrorCaption, "Could not initialize the application", true);
    window.destroy();
    return 1;
  }
  setGlobalGlState();
  inputState().setKeySource(platformKeyHeld);
  if (game.init() != 1) {
    showMessageBox(kErrorCaption, "Could not initialize the application", true);
    window.destroy();
    return 1;
  }

  ClockSource clock;
  clock.counter = platformCounter;
  clock.frequency = platformFrequency;
  clock.sleepOneMillisecond = platformSleepOneMillisecond;
  FrameTimer timer(clock);
  timer.start();
  while (window.isRunning()) {
    runFramePass(window, game, timer, glentry::contextAvailable);
  }
  game.release();
  window.destroy();
  return 0;
}

}  // namespace dravik
