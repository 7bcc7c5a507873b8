// Win32 backend: gamepads through XInput, loaded at run time so that the
// program imports no DLL beyond the system's and starts where none exists.
#include "app/win32/GamepadWin32.h"

#include <windows.h>
#include <xinput.h>

#include "app/Platform.h"

namespace dravik {

namespace w = win32;

static_assert(w::kErrorSuccess == ERROR_SUCCESS &&
              w::kErrorDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED);
static_assert(w::kXUserMaxCount == XUSER_MAX_COUNT);
static_assert(w::kXInputDpadUp == XINPUT_GAMEPAD_DPAD_UP &&
              w::kXInputDpadDown == XINPUT_GAMEPAD_DPAD_DOWN &&
              w::kXInputDpadLeft == XINPUT_GAMEPAD_DPAD_LEFT &&
              w::kXInputDpadRight == XINPUT_GAMEPAD_DPAD_RIGHT);
static_assert(w::kXInputStart == XINPUT_GAMEPAD_START && w::kXInputBack == XINPUT_GAMEPAD_BACK);
static_assert(w::kXInputA == XINPUT_GAMEPAD_A && w::kXInputB == XINPUT_GAMEPAD_B &&
              w::kXInputX == XINPUT_GAMEPAD_X && w::kXInputY == XINPUT_GAMEPAD_Y);
static_assert(sizeof(w::XInputGamepad) == sizeof(XINPUT_GAMEPAD) &&
              sizeof(w::XInputState) == sizeof(XINPUT_STATE));

namespace {

using GetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

struct XInputApi {
  // From the system folder only: a DLL of that name beside the game or in
  // the current folder is never loaded.
  w::Handle loadLibrary(const char* name) {
    return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  void* procAddress(w::Handle library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
  }
  void freeLibrary(w::Handle library) { FreeLibrary(static_cast<HMODULE>(library)); }
  std::uint32_t getState(void* proc, unsigned user, w::XInputState& out) {
    XINPUT_STATE state{};
    const DWORD result = reinterpret_cast<GetStateFn>(proc)(user, &state);
    if (result != ERROR_SUCCESS) return result;
    const XINPUT_GAMEPAD& g = state.Gamepad;
    out.packetNumber = state.dwPacketNumber;
    out.gamepad = w::XInputGamepad{g.wButtons, g.bLeftTrigger, g.bRightTrigger, g.sThumbLX,
                                   g.sThumbLY, g.sThumbRX,     g.sThumbRY};
    return result;
  }
};

// The one window's pads, for platformReadPad.
w::Gamepads* gPads = nullptr;

}  // namespace

namespace win32 {

Gamepads::Gamepads() {
  XInputApi api;
  pads_.open(api);
  gPads = this;
}

Gamepads::~Gamepads() {
  gPads = nullptr;
  XInputApi api;
  pads_.close(api);
}

PadReading Gamepads::read() {
  XInputApi api;
  return pads_.read(api);
}

}  // namespace win32

void platformReadPad(PadReading& reading) {
  reading = gPads != nullptr ? gPads->read() : PadReading{};
}

}  // namespace dravik
