// The page's touch controls (index.html) keep their state in the page's
// dravikTouch object; the game reads it from there.
#include <emscripten/emscripten.h>

#include "app/web/WebPage.h"

namespace dravik {

namespace {

// The stick into stick[0..1]; the held buttons as bits (1 camera,
// 2 projection). A button tapped since the last read reads as held once.
EM_JS(int, readTouchControls, (float* stick), {
  var touch = window.dravikTouch;
  if (!touch) return 0;
  HEAPF32[stick >> 2] = touch.x;
  HEAPF32[(stick >> 2) + 1] = touch.y;
  return touch.readButtons();
});

EM_JS(int, takePauseTaps, (), {
  var touch = window.dravikTouch;
  if (!touch) return 0;
  var taps = touch.pauses;
  touch.pauses = 0;
  return taps;
});

}  // namespace

namespace web {

PadReading touchControls() {
  float stick[2] = {0.0f, 0.0f};
  const int buttons = readTouchControls(stick);
  PadReading touch;
  touch.leftStick.x = stick[0];
  touch.leftStick.y = stick[1];
  touch.setHeld(PadButton::A, (buttons & 1) != 0);
  touch.setHeld(PadButton::Y, (buttons & 2) != 0);
  return touch;
}

int takeTouchPauses() { return takePauseTaps(); }

}  // namespace web

}  // namespace dravik
