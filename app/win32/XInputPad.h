// XInput gamepads without <windows.h>: which controller plays and how its
// state reads as a PadReading, written against an `Api` that performs
// the system calls (loading the library, finding XInputGetState, calling
// it). The real backend hands it the Win32 functions; the host tests hand it
// a fake. The values below are checked against <xinput.h> in the backend.
#pragma once

#include <cstdint>

#include "app/PadReading.h"
#include "app/win32/MessageTable.h"

namespace dravik::win32 {

constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

constexpr unsigned kXUserMaxCount = 4;

constexpr std::uint16_t kXInputDpadUp = 0x0001;
constexpr std::uint16_t kXInputDpadDown = 0x0002;
constexpr std::uint16_t kXInputDpadLeft = 0x0004;
constexpr std::uint16_t kXInputDpadRight = 0x0008;
constexpr std::uint16_t kXInputStart = 0x0010;
constexpr std::uint16_t kXInputBack = 0x0020;
constexpr std::uint16_t kXInputA = 0x1000;
constexpr std::uint16_t kXInputB = 0x2000;
constexpr std::uint16_t kXInputX = 0x4000;
constexpr std::uint16_t kXInputY = 0x8000;

// XInput's bit for each PadButton, in PadButton's order.
constexpr std::uint16_t kXInputButtons[kPadButtonCount] = {
    kXInputA,     kXInputB,      kXInputX,        kXInputY,        kXInputBack,
    kXInputStart, kXInputDpadUp, kXInputDpadDown, kXInputDpadLeft, kXInputDpadRight,
};

// XINPUT_GAMEPAD and XINPUT_STATE, field for field.
struct XInputGamepad {
  std::uint16_t buttons = 0;
  std::uint8_t leftTrigger = 0;
  std::uint8_t rightTrigger = 0;
  std::int16_t thumbLX = 0;
  std::int16_t thumbLY = 0;
  std::int16_t thumbRX = 0;
  std::int16_t thumbRY = 0;
};

struct XInputState {
  std::uint32_t packetNumber = 0;
  XInputGamepad gamepad;
};

// Tried in turn: xinput1_4 comes with Windows 8 and later, xinput9_1_0
// with every Windows since Vista.
constexpr const char* kXInputLibraries[] = {"xinput1_4.dll", "xinput9_1_0.dll"};
constexpr const char* kXInputGetState = "XInputGetState";

// Unfiltered: the game applies its own dead zone. XInput's y already grows
// upward; -32768 reads a hair beyond -1, which the input poll clamps.
inline PadReading readingFromGamepad(const XInputGamepad& gamepad) {
  PadReading reading;
  reading.leftStick.x = static_cast<float>(gamepad.thumbLX) / 32767.0f;
  reading.leftStick.y = static_cast<float>(gamepad.thumbLY) / 32767.0f;
  reading.buttons = PadReading::buttonsHeld(
      kXInputButtons, [&gamepad](std::uint16_t bit) { return (gamepad.buttons & bit) != 0; });
  return reading;
}

// The XInput library and the controller in play. `Api` offers
// loadLibrary(name), procAddress(library, name), freeLibrary(library) and
// getState(proc, userIndex, XInputState&), which answers an error code.
class XInputPads {
 public:
  // Loads the first library found; without one, or without its
  // XInputGetState, every reading is empty. Answers whether it loaded.
  template <class Api>
  bool open(Api& api) {
    for (const char* name : kXInputLibraries) {
      library_ = api.loadLibrary(name);
      if (library_ != nullptr) break;
    }
    if (library_ == nullptr) return false;
    getState_ = api.procAddress(library_, kXInputGetState);
    if (getState_ == nullptr) close(api);
    return getState_ != nullptr;
  }

  template <class Api>
  void close(Api& api) {
    if (library_ != nullptr) api.freeLibrary(library_);
    library_ = nullptr;
    getState_ = nullptr;
    release();
  }

  // Reads the controller in play, or looks for one; the reading is empty
  // where none plays, and numbered by the controller's slot.
  template <class Api>
  PadReading read(Api& api) {
    if (getState_ == nullptr) return PadReading{};
    XInputState state;
    if (user_ != kNoUser && !query(api, user_, state)) release();
    if (user_ == kNoUser && !find(api, state)) return PadReading{};
    PadReading reading = readingFromGamepad(state.gamepad);
    reading.pad = static_cast<int>(user_);
    return reading;
  }

 private:
  static constexpr unsigned kNoUser = kXUserMaxCount;

  template <class Api>
  bool query(Api& api, unsigned user, XInputState& state) {
    return api.getState(getState_, user, state) == kErrorSuccess;
  }

  // Asking an empty slot takes XInput a long while on Windows, so with no
  // controller in play a reading asks one slot, in turn: a controller
  // plugged in answers within four readings. The slots below the one that
  // answers are asked again then, once, so that the lowest connected one
  // plays.
  template <class Api>
  bool find(Api& api, XInputState& state) {
    const unsigned probe = nextProbe_;
    nextProbe_ = (probe + 1) % kXUserMaxCount;
    if (!query(api, probe, state)) return false;
    user_ = probe;
    for (unsigned lower = 0; lower < probe; ++lower) {
      XInputState lowerState;
      if (query(api, lower, lowerState)) {
        user_ = lower;
        state = lowerState;
        break;
      }
    }
    return true;
  }

  void release() {
    user_ = kNoUser;
    nextProbe_ = 0;
  }

  Handle library_ = nullptr;
  void* getState_ = nullptr;
  unsigned user_ = kNoUser;
  unsigned nextProbe_ = 0;
};

}  // namespace dravik::win32
