// The process entry's body on desktop platforms, shared by their entry
// functions: the game session driven by a loop of its own, which sleeps to
// hold the frame rate down.
#include "app/RunGame.h"

#include "app/AppWindow.h"
#include "app/DataFolder.h"
#include "app/GameSession.h"

namespace dravik {

int runGame(void* instanceHandle) {
  ClockSource clock;
  clock.counter = platformCounter;
  clock.frequency = platformFrequency;
  clock.sleepOneMillisecond = platformSleepOneMillisecond;
  enterDataFolder(platformExecutableFolder(), platformInstalledFolder());
  GameSession session(instanceHandle, clock);
  if (const int failure = session.start()) return failure;
  while (session.isRunning()) session.runPass();
  return session.finish();
}

}  // namespace dravik
