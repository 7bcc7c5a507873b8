// The contract between the game's shell (the files of app/) and a platform
// backend (one folder each: app/sdl, app/win32, app/web, and app/headless,
// which plays a script for the shell's own tests). The shell runs the
// session, the frame loop and its timing, the window's events, the search
// for data/ and the process's start; a backend provides everything below,
// all of it, and nothing else. Where a platform has nothing to do, its
// backend says so in a one-line no-op.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "app/FrameTimer.h"
#include "app/PadMapping.h"
#include "app/PadReading.h"
#include "game/InputState.h"

namespace dravik {

struct ResizeListener;

// The game's one window and its GL context. The backend implements the
// members marked so, on its own Platform state; the shell implements the
// other handlers, which the backend calls as the window's messages arrive.
class AppWindow {
 public:
  // Backend: keeps the platform's instance handle (null where it has none).
  explicit AppWindow(void* instanceHandle = nullptr);
  // Backend: lets go of whatever create made that destroy did not.
  ~AppWindow();
  AppWindow(const AppWindow&) = delete;
  AppWindow& operator=(const AppWindow&) = delete;

  // Must come before create: the first size notification arrives during it.
  void setResizeListener(ResizeListener* listener) { resizeListener = listener; }
  // Backend: makes the window and its GL context current (then calls
  // onContextCurrent and onSize); false when either fails.
  bool create(int width, int height, int bits, bool fullscreenRequested);
  // Backend: closes the window, deletes the context, restores the display
  // mode if full screen changed it.
  void destroy();
  bool isRunning() const { return running; }
  // Backend: drains all pending window messages, calling the handlers below.
  void pumpMessages();
  // Backend: shows the frame just drawn.
  void swapBuffers();

  // Backend: the game is to end (a close message, a context it cannot use):
  // deletes the context once, clears the context flag and stops running.
  void onCloseRequest();

  // Shell: what the window's messages do, whichever platform delivers them.
  void onContextCurrent();
  void onSize(int width, int height);
  void onEscapeDown() { active = !active; }
  // Once a pass, after the messages, paused or not: reads the playing pad
  // (platformReadPad); its Start pauses as Escape does, and the rest waits
  // in gamepad() for the input poll.
  void readGamepad();
  const PadState& gamepad() const { return padMapping_.pad(); }
  // A browser may take the context away and later give a fresh one back.
  // At the loss the game forgets its GL objects at once, before a new
  // context could hand out the same names; the session makes them again at
  // the next pass after the restore (takeContextRestored).
  void onContextLost();
  void onContextRestored();
  bool takeContextRestored();

  bool active = true;
  ResizeListener* resizeListener = nullptr;
  bool running = false;
  bool fullscreen = false;

  struct Platform;

 private:
  bool contextRestored_ = false;
  PadMapping padMapping_;
  std::unique_ptr<Platform> platform_;
};

// Backend: fills the GL table through the platform's lookup; the window's
// context is current.
void loadGLFunctions();

// Backend: an error box (and the same text on standard error or the
// console, where no one may see the box). A null caption shows none.
void showMessageBox(const char* caption, const char* text, bool isError);

// Backend: the frame loop's clock, the performance counter with its
// frequency, and a 1 ms sleep where the loop may block its thread (none in a
// browser, whose main thread never blocks).
ClockSource platformClock();

// Backend: whether the key is held now, for the input poll.
bool platformKeyHeld(Key key);
// Backend: the playing gamepad as its device reports it now (PadReading.h);
// an empty reading where none plays. The backend picks which pad plays.
void platformReadPad(PadReading& reading);

// Backend: the folder that holds the running executable; empty where unknown.
std::filesystem::path platformExecutableFolder();
// Backend: where an installed game keeps its data/; empty where the platform
// has no such place.
std::filesystem::path platformInstalledFolder();

// Shows how far the game's start has come: the stage the next step works on
// ("textures"), which of its items (from 1) and how many, and the steps done
// of all; a stage of "done" once the start is complete.
using StartProgressView = void (*)(const char* stage, int item, int items, int stepsDone,
                                   int steps);
// Backend: null where the game starts in one call before the first pass (a
// desktop); else the view of its progress, and the game starts in short
// steps over the first passes (a browser, whose page must keep answering
// while the game starts).
StartProgressView platformStartInSteps();

// Backend: calls pass(state) once a frame until it returns false. A desktop
// loops until then and answers true; a browser hands the passes to its
// animation frames and answers false at once: the run goes on after it.
bool platformRunPasses(bool (*pass)(void* state), void* state);

}  // namespace dravik
