// What a gamepad means to the game, whichever platform read it: the stick
// and the d-pad move, A pans the camera, Y switches the projection, and
// Start pauses as Escape does.
#pragma once

#include "app/PadReading.h"
#include "game/InputState.h"

namespace dravik {

class PadMapping {
 public:
  // Takes the pass's reading; answers whether Start went down since the
  // last one. A Start already held as a pad starts to play is no press.
  bool read(const PadReading& reading);
  // The pad as of the last reading, for the input poll.
  const PadState& pad() const { return pad_; }

 private:
  PadState pad_;
  int playing_ = PadReading::kNoPad;
  bool startHeld_ = false;
};

// Two readings as one (a pad and a page's on-screen controls): per stick
// component the larger magnitude, each button held when held on either; the
// pad number is the first's.
PadReading combineReadings(const PadReading& first, const PadReading& second);

}  // namespace dravik
