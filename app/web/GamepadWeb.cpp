// Gamepads in a browser, on the Gamepad API. The browser gives snapshots,
// not events, of sticks and buttons, so the pads are sampled at each reading.
// Only pads in the "standard" layout count. The first one connected plays
// for as long as it stays connected; then the one connected next takes over.
#include <emscripten/html5.h>

#include <cstring>

#include "app/Platform.h"
#include "app/web/WebPage.h"

namespace dravik {

namespace {

// Slots past these are ignored; browsers offer four.
constexpr int kSlotCount = 8;

// The standard layout's number for each PadButton, in PadButton's order.
constexpr int kStandardButtons[kPadButtonCount] = {0, 1, 2, 3, 8, 9, 12, 13, 14, 15};

// About 1.7 KB: one, reused for every slot.
EmscriptenGamepadEvent gStatus;
// Per slot, the rank in connection order of the pad there; 0 for none.
unsigned gConnectedAs[kSlotCount] = {};
unsigned gConnections = 0;

// Fills gStatus; false when the slot holds no standard pad.
bool readStandardPad(int slot, int slotCount) {
  return slot < slotCount &&
         emscripten_get_gamepad_status(slot, &gStatus) == EMSCRIPTEN_RESULT_SUCCESS &&
         gStatus.connected && std::strcmp(gStatus.mapping, "standard") == 0;
}

bool buttonHeld(int button) { return button < gStatus.numButtons && gStatus.digitalButton[button]; }

float axisValue(int axis) {
  return axis < gStatus.numAxes ? static_cast<float>(gStatus.axis[axis]) : 0.0f;
}

// The pad that plays: the earliest connected of those still there.
int playingSlot(int slotCount) {
  int playing = -1;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!readStandardPad(slot, slotCount)) {
      gConnectedAs[slot] = 0;
      continue;
    }
    if (gConnectedAs[slot] == 0) gConnectedAs[slot] = ++gConnections;
    if (playing < 0 || gConnectedAs[slot] < gConnectedAs[playing]) playing = slot;
  }
  return playing;
}

}  // namespace

// The touch controls count as a pad of their own beside the one that plays.
void platformReadPad(PadReading& reading) {
  reading = PadReading{};
  const int slotCount = emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS
                            ? emscripten_get_num_gamepads()
                            : 0;
  const int playing = playingSlot(slotCount);
  if (playing >= 0 && readStandardPad(playing, slotCount)) {
    reading.pad = static_cast<int>(gConnectedAs[playing]);
    reading.leftStick.x = axisValue(0);
    reading.leftStick.y = -axisValue(1);  // the Gamepad API's y grows downward
    reading.buttons = PadReading::buttonsHeld(kStandardButtons, buttonHeld);
  }
  reading = combineReadings(reading, web::touchControls());
}

}  // namespace dravik
