// A gamepad as its device reports it, the same on every platform: the
// buttons of the standard layout (Xbox names) and the left stick. A backend
// fills one a pass; what the buttons mean to the game is the shell's
// (PadMapping).
#pragma once

#include <cstdint>

#include "game/InputState.h"

namespace dravik {

enum class PadButton : std::uint8_t {
  A,  // bottom face button (Cross)
  B,
  X,
  Y,  // top face button (Triangle)
  Back,
  Start,
  DpadUp,
  DpadDown,
  DpadLeft,
  DpadRight,
};
constexpr int kPadButtonCount = 10;

struct PadReading {
  static constexpr int kNoPad = -1;

  // The backend's number for the pad read, kNoPad where none plays. A pad
  // that takes over from another, or is plugged in again, reads with a
  // number other than the last reading's.
  int pad = kNoPad;
  // Unfiltered, each component in -1..1 (a hair beyond where the device
  // says so), x to the right and y up.
  Axis leftStick;
  // One bit per PadButton, set while held.
  std::uint16_t buttons = 0;

  bool held(PadButton button) const { return (buttons & bit(button)) != 0; }
  // The buttons field from a platform's own: codes gives the platform's
  // code for each PadButton, in PadButton's order, and isHeld(code) says
  // whether it is held.
  template <class Code, class IsHeld>
  static std::uint16_t buttonsHeld(const Code (&codes)[kPadButtonCount], IsHeld isHeld) {
    unsigned held = 0;
    for (int button = 0; button < kPadButtonCount; ++button) {
      if (isHeld(codes[button])) held |= bit(static_cast<PadButton>(button));
    }
    return static_cast<std::uint16_t>(held);
  }
  void setHeld(PadButton button, bool isHeld) {
    buttons = static_cast<std::uint16_t>(isHeld ? buttons | bit(button) : buttons & ~bit(button));
  }

 private:
  static unsigned bit(PadButton button) { return 1u << static_cast<unsigned>(button); }
};

}  // namespace dravik
