#include "app/PadMapping.h"

namespace dravik {

namespace {

float larger(float a, float b) { return (b < 0 ? -b : b) > (a < 0 ? -a : a) ? b : a; }

}  // namespace

bool PadMapping::read(const PadReading& reading) {
  pad_.stick = reading.leftStick;
  pad_.dpadUp = reading.held(PadButton::DpadUp);
  pad_.dpadDown = reading.held(PadButton::DpadDown);
  pad_.dpadLeft = reading.held(PadButton::DpadLeft);
  pad_.dpadRight = reading.held(PadButton::DpadRight);
  pad_.camera = reading.held(PadButton::A);
  pad_.projection = reading.held(PadButton::Y);

  const bool start = reading.held(PadButton::Start);
  const bool pressed = start && !startHeld_ && reading.pad == playing_;
  startHeld_ = start;
  playing_ = reading.pad;
  return pressed;
}

PadReading combineReadings(const PadReading& first, const PadReading& second) {
  PadReading both = first;
  both.leftStick.x = larger(first.leftStick.x, second.leftStick.x);
  both.leftStick.y = larger(first.leftStick.y, second.leftStick.y);
  both.buttons = static_cast<std::uint16_t>(first.buttons | second.buttons);
  return both;
}

}  // namespace dravik
