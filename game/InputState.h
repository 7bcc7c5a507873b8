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

// A gamepad, or a page's touch controls, as the game reads it. Start
// (pause) is not here: like Escape it reaches the window, since a paused
// game polls nothing.
struct PadState {
  // The left stick as the device gives it, unfiltered: each component in
  // -1..1, x to the right and y up. The game applies its own dead zone.
  Axis stick;
  bool dpadLeft = false;
  bool dpadRight = false;
  bool dpadUp = false;
  bool dpadDown = false;
  bool camera = false;      // bottom face button (A / Cross), as Space
  bool projection = false;  // top face button (Y / Triangle), as F2
};

// Everything the player holds as of the last poll: two direction axes (x to
// the right, y up) and three held flags.
//
// The arrow keys and the d-pad give -1, 0 or 1 on both axes, keys first,
// Left over Right and Up over Down. The stick feeds the analog axis where it
// is pushed further than the keys or d-pad on that component, and the
// digital axis, as -1 or 1 from 0.5 on, where they hold nothing.
class InputState {
 public:
  // Refreshes every member from the sources. Without a source everything
  // reads as released.
  void poll();

  const Axis& analogAxis() const { return analogAxis_; }
  const Axis& digitalAxis() const { return digitalAxis_; }
  bool spaceDown() const { return spaceDown_; }
  bool f1Down() const { return f1Down_; }
  bool f2Down() const { return f2Down_; }

  void setKeySource(KeyHeldFn source) { keyHeld_ = source; }
  // The pad as its owner last read it (the shell, once a pass); null for none.
  void setPadSource(const PadState* pad) { pad_ = pad; }

 private:
  Axis analogAxis_;
  Axis digitalAxis_;
  bool spaceDown_ = false;
  bool f1Down_ = false;
  bool f2Down_ = false;
  KeyHeldFn keyHeld_ = nullptr;
  const PadState* pad_ = nullptr;
};

// The one process-wide instance.
InputState& inputState();

}  // namespace dravik
