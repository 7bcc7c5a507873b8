#pragma once

#include <cstdint>
#include <memory>

#include "game/InputState.h"

namespace dravik {

struct ResizeListener;

// The game's one window and its GL context. The backend (app/sdl, app/win32
// or app/web) implements the platform part; no platform type appears here.
class AppWindow {
 public:
  explicit AppWindow(void* instanceHandle = nullptr);
  ~AppWindow();
  AppWindow(const AppWindow&) = delete;
  AppWindow& operator=(const AppWindow&) = delete;

  // Must come before create: the first size notification arrives during it.
  void setResizeListener(ResizeListener* listener) { resizeListener = listener; }
  // Makes the window and its GL context current; false when either fails.
  bool create(int width, int height, int bits, bool fullscreenRequested);
  // Restores the display mode if full screen changed it.
  void destroy();
  bool isRunning() const { return running; }
  // Drains all pending window messages.
  void pumpMessages();
  void swapBuffers();

  // What the window's messages do, whichever platform delivers them.
  void onContextCurrent();
  void onCloseRequest();
  void onSize(int width, int height);
  void onEscapeDown() { active = !active; }
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
  std::unique_ptr<Platform> platform_;
};

// Fills the GL entry points through the platform's lookup. Requires the
// window's context to be current.
void loadGLFunctions();

// An error box (and the same text on standard error, where no display may
// show the box). A null caption shows none.
void showMessageBox(const char* caption, const char* text, bool isError);

// The platform clock for the frame loop. The sleep is the desktop
// backends' only: a browser's main thread never blocks.
int64_t platformCounter();
int64_t platformFrequency();
void platformSleepOneMillisecond();

// Key and gamepad state for the input poll.
bool platformKeyHeld(Key key);
void platformReadPad(PadState& pad);

}  // namespace dravik
