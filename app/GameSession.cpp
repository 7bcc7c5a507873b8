#include "app/GameSession.h"

#include <iostream>

#include "app/GlobalGlState.h"
#include "game/InputState.h"
#include "gl/GlApi.h"

namespace dravik {

namespace {

constexpr const char* kErrorCaption = "An error occurred";
constexpr const char* kInitFailure = "Could not initialize the application";

}  // namespace

GameSession::GameSession(void* instanceHandle, const ClockSource& clock)
    : window_(instanceHandle), clock_(clock), timer_(clock) {}

int GameSession::start() {
  window_.setResizeListener(game_.resizeListener());
  if (!window_.create(1280, 720, 32, false)) {
    showMessageBox(kErrorCaption, "Unable to create the OpenGL Window", true);
    window_.destroy();
    return 1;
  }
  loadGLFunctions();
  // Never call through a null entry point: a driver without one the game
  // needs cannot run it.
  if (const char* missing = glentry::firstMissingCalledEntryPoint()) {
    std::cerr << "Missing OpenGL entry point: " << missing << std::endl;
    showMessageBox(kErrorCaption, kInitFailure, true);
    window_.destroy();
    return 1;
  }
  setGlobalGlState();
  inputState().setKeySource(platformKeyHeld);
  inputState().setPadSource(&window_.gamepad());
  startView_ = platformStartInSteps();
  if (startView_ != nullptr) {
    game_.beginStart();
    return 0;
  }
  if (game_.init() != 1) {
    showMessageBox(kErrorCaption, kInitFailure, true);
    window_.destroy();
    return 1;
  }
  timer_.start();
  return 0;
}

bool GameSession::restoreGl() {
  setGlobalGlState();
  if (game_.restoreGlObjects() != 1) {
    showMessageBox(kErrorCaption, kInitFailure, true);
    window_.onCloseRequest();
    return false;
  }
  // A paused game shows its picture again; a running one draws below.
  if (!window_.active) game_.render();
  return true;
}

void GameSession::runStartSteps() {
  if (window_.takeContextRestored()) {
    setGlobalGlState();
    game_.beginStart();
  }
  if (!glentry::contextAvailable()) return;
  // Steps run while the pass is young, so a fast machine takes several a
  // frame and a slow one one; the page draws between passes.
  constexpr double kBudgetSeconds = 0.008;
  const int64_t started = clock_.counter();
  const double ticksPerSecond = static_cast<double>(clock_.frequency());
  auto showProgress = [this] {
    const Game::StartProgress progress = game_.startProgress();
    startView_(progress.stage, progress.item, progress.items, progress.stepsDone, progress.steps);
    return progress.stepsDone;
  };
  for (;;) {
    const int stepsDone = showProgress();
    if (!game_.runStartStep()) break;
    // A step waiting on the driver's background work is asked again next pass.
    if (game_.startProgress().stepsDone == stepsDone) return;
    if (static_cast<double>(clock_.counter() - started) / ticksPerSecond >= kBudgetSeconds) return;
  }
  showProgress();
  startView_ = nullptr;
  timer_.start();
}

bool GameSession::runPass() {
  if (isStarting()) {
    runStartSteps();
    return false;
  }
  // The level, the pan, the camera and the pause stay as they were: only
  // the GL side starts again, in the restored context.
  if (window_.takeContextRestored() && !restoreGl()) return false;
  return runFramePass(window_, game_, timer_, glentry::contextAvailable);
}

int GameSession::finish() {
  game_.release();
  window_.destroy();
  return 0;
}

}  // namespace dravik
