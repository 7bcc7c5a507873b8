#pragma once

namespace dravik {

// Runs the game from start-up to shutdown; returns the process exit code
// (0 after a normal close, 1 when the window or the game cannot start).
// The instance handle is the platform's (null where it has none).
int runGame(void* instanceHandle = nullptr);

}  // namespace dravik
