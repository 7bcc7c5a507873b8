#include "game/InputState.h"

namespace dravik {

namespace {

constexpr float kStickDigitalThreshold = 0.5f;

float magnitude(float v) { return v < 0.0f ? -v : v; }

// A device may report slightly past its range (or garbage); the game's axes
// stay within -1..1.
float clampUnit(float v) {
  if (!(v == v)) return 0.0f;
  if (v > 1.0f) return 1.0f;
  if (v < -1.0f) return -1.0f;
  return v;
}

// -1, 0 or 1 from two opposite buttons; the first wins when both are held.
float buttonPair(bool first, float firstValue, bool second) {
  if (first) return firstValue;
  return second ? -firstValue : 0.0f;
}

float stickDigital(float v) {
  if (v >= kStickDigitalThreshold) return 1.0f;
  return v <= -kStickDigitalThreshold ? -1.0f : 0.0f;
}

// One component of both axes from the buttons' -1/0/1 and the stick.
void combineComponent(float buttons, float stick, float& analog, float& digital) {
  analog = magnitude(stick) > magnitude(buttons) ? stick : buttons;
  digital = buttons != 0.0f ? buttons : stickDigital(stick);
}

}  // namespace

void InputState::poll() {
  auto held = [this](Key key) { return keyHeld_ != nullptr && keyHeld_(key); };
  const PadState pad = pad_ != nullptr ? *pad_ : PadState{};

  spaceDown_ = held(Key::Space) || pad.camera;
  f1Down_ = held(Key::F1);
  f2Down_ = held(Key::F2) || pad.projection;

  float x = buttonPair(held(Key::Left), -1.0f, held(Key::Right));
  if (x == 0.0f) x = buttonPair(pad.dpadLeft, -1.0f, pad.dpadRight);
  combineComponent(x, clampUnit(pad.stick.x), analogAxis_.x, digitalAxis_.x);
  float y = buttonPair(held(Key::Up), 1.0f, held(Key::Down));
  if (y == 0.0f) y = buttonPair(pad.dpadUp, 1.0f, pad.dpadDown);
  combineComponent(y, clampUnit(pad.stick.y), analogAxis_.y, digitalAxis_.y);
}

InputState& inputState() {
  static InputState instance;
  return instance;
}

}  // namespace dravik
