// The process's start, shared by every platform's entry function: finds
// data/, starts the game session and hands its passes to the platform's
// frame loop (a loop of its own on a desktop, the page's animation frames in
// a browser).
#include "app/RunGame.h"

#include <optional>

#include "app/DataFolder.h"
#include "app/GameSession.h"
#include "app/Platform.h"

namespace dravik {

namespace {

int gExitCode = 0;

// One pass; at the end of the run the session finishes within it.
bool runPass(void* state) {
  auto& session = *static_cast<GameSession*>(state);
  session.runPass();
  if (session.isRunning()) return true;
  gExitCode = session.finish();
  return false;
}

}  // namespace

int runGame(void* instanceHandle) {
  // A browser runs the passes after runGame has returned: the session lives
  // on here until the run ends.
  static std::optional<GameSession> session;
  enterDataFolder(platformExecutableFolder(), platformInstalledFolder());
  session.emplace(instanceHandle, platformClock());
  if (const int failure = session->start()) {
    session.reset();
    return failure;
  }
  if (!platformRunPasses(runPass, &*session)) return 0;
  session.reset();
  return gExitCode;
}

}  // namespace dravik
