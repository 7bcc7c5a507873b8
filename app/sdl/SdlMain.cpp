// Process entry on SDL platforms. The game takes nothing from its command
// line.
#include <csignal>

#include "app/RunGame.h"

int main(int /*argc*/, char** /*argv*/) {
#ifdef SIGPIPE
  // An X server that drops the connection while the game connects (as one
  // does while it resets) would otherwise end the game silently on the
  // first write; ignored, the write fails, the connection attempt fails,
  // and the game tries again or says why it cannot open its window.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  return dravik::runGame();
}
