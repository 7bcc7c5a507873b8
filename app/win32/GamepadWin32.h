// XInput gamepads for the Win32 window.
#pragma once

#include "app/win32/XInputPad.h"

namespace dravik::win32 {

// Holds the XInput library while it lives; platformReadPad reads through
// it. Without XInput the game plays by keyboard alone.
class Gamepads {
 public:
  Gamepads();
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  PadReading read();

 private:
  XInputPads pads_;
};

}  // namespace dravik::win32
