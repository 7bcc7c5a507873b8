#pragma once

#include "app/FrameTimer.h"
#include "app/Platform.h"
#include "game/Game.h"

namespace dravik {

// The game from start-up to shutdown, in three steps: start, one frame pass
// at a time while the window runs, finish. runGame takes every platform
// through them; the passes run where the platform runs them
// (platformRunPasses: a loop of its own on a desktop, one pass per animation
// frame in a browser, which never blocks). Owns the window and the game for
// the whole run; the game is destroyed before the window.
class GameSession {
 public:
  GameSession(void* instanceHandle, const ClockSource& clock);
  GameSession(const GameSession&) = delete;
  GameSession& operator=(const GameSession&) = delete;

  // Window, GL entry points and state, key and pad sources, game init, first clock
  // reading. 0 when the game can run, else the exit code after the error box.
  // Where the platform starts the game in steps, init is left to the first
  // passes.
  int start();
  bool isRunning() const { return window_.isRunning(); }
  // One pass of the frame loop; whether the game updated and rendered.
  // After a context restore it first makes the GL objects again. While the
  // game starts in steps, a pass runs start steps instead.
  bool runPass();
  bool isStarting() const { return startView_ != nullptr; }
  // Releases the game and the window; the exit code of a normal end (0).
  int finish();
  // The game as the passes left it, for the shell's tests.
  const Game& game() const { return game_; }

 private:
  // The global GL state and the game's GL objects in a restored context;
  // false after the error box.
  bool restoreGl();
  // Start steps for about one pass's budget; a context restore starts them
  // over, as nothing made in the lost context is left.
  void runStartSteps();

  AppWindow window_;
  Game game_;
  ClockSource clock_;
  FrameTimer timer_;
  StartProgressView startView_ = nullptr;
};

}  // namespace dravik
