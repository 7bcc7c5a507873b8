#include "app/InputState.h"

namespace dravik {

void InputState::poll() {
  auto held = [this](Key key) { return keyHeld_ != nullptr && keyHeld_(key); };
  spaceDown_ = held(Key::Space);
  f1Down_ = held(Key::F1);
  f2Down_ = held(Key::F2);
  float x = 0.0f;
  if (held(Key::Left)) {
    x = -1.0f;
  } else if (held(Key::Right)) {
    x = 1.0f;
  }
  digitalAxis_.x = analogAxis_.x = x;
  float y = 0.0f;
  if (held(Key::Up)) {
    y = 1.0f;
  } else if (held(Key::Down)) {
    y = -1.0f;
  }
  digitalAxis_.y = analogAxis_.y = y;
}

InputState& inputState() {
  static InputState instance;
  return instance;
}

}  // namespace dravik
