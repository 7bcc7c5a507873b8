// XInput gamepads for the Win32 window.
#pragma once

#include "app/win32/XInputPad.h"

namespace dravik {
class AppWindow;
}

namespace dravik::win32 {

// Holds the XInput library while it lives; platformReadPad hands out what
// the last poll read. Without XInput the game plays by keyboard alone.
class Gamepads {
 public:
  Gamepads();
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  // Once per pass of the message pump, paused or not, so that Start can
  // resume the game as Escape does.
  void poll(AppWindow& window);

 private:
  XInputPads pads_;
};

}  // namespace dravik::win32
