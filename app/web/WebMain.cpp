// Process entry in a browser: starts the game, then hands the frame loop to
// the browser, which runs one pass per animation frame. main returns at
// once; the page keeps the game running.
#include <emscripten/emscripten.h>

#include "app/AppWindow.h"
#include "app/GameSession.h"

namespace {

dravik::ClockSource browserClock() {
  dravik::ClockSource clock;
  clock.counter = dravik::platformCounter;
  clock.frequency = dravik::platformFrequency;
  return clock;  // no sleep: the main thread must never block
}

// The page shows its loading bar until the game's first frame is drawn.
EM_JS(void, hidePageLoading, (), {
  if (Module['hideLoading']) Module['hideLoading']();
});

void runOnePass(void* userData) {
  auto* session = static_cast<dravik::GameSession*>(userData);
  static bool drawn = false;
  if (session->runPass() && !drawn) {
    drawn = true;
    hidePageLoading();
  }
  if (!session->isRunning()) {
    emscripten_cancel_main_loop();
    session->finish();
  }
}

}  // namespace

int main() {
  // Lives as long as the page: the passes run after main has returned.
  static dravik::GameSession session(nullptr, browserClock());
  if (const int failure = session.start()) return failure;
  emscripten_set_main_loop_arg(runOnePass, &session, 0, EM_FALSE);
  return 0;
}
