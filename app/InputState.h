#pragma once

namespace dravik {

// Keys the game polls. Escape is not among them: it arrives as a window
// message.
enum class Key { Space, F1, F2, Left, Right, Up, Down };

// Answers whether a key is held right now; supplied by the platform backend
// (or by a test).
using KeyHeldFn = bool (*)(Key key);

struct Axis {
  float x = 0.0f;
  float y = 0.0f;
};

// The keyboard as of the last poll: arrows as two direction axes (x to the
// right, y up), three keys as held flags.
class InputState {
 public:
  // Refreshes every member from the key source; Left wins over Right and Up
  // over Down. Without a key source every key reads as released.
  void poll();

  const Axis& analogAxis() const { return analogAxis_; }
  const Axis& digitalAxis() const { return digitalAxis_; }
  bool spaceDown() const { return spaceDown_; }
  bool f1Down() const { return f1Down_; }
  bool f2Down() const { return f2Down_; }

  void setKeySource(KeyHeldFn source) { keyHeld_ = source; }

 private:
  Axis analogAxis_;
  Axis digitalAxis_;
  bool spaceDown_ = false;
  bool f1Down_ = false;
  bool f2Down_ = false;
  KeyHeldFn keyHeld_ = nullptr;
};

// The one process-wide instance.
InputState& inputState();

}  // namespace dravik
