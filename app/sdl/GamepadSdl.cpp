// Gamepads on SDL2's game controller API: the first one connected plays;
// when it is pulled out, the next one still connected takes over.
#include "app/sdl/GamepadSdl.h"

#include "app/Platform.h"

namespace dravik {

namespace {

bool gStarted = false;
SDL_GameController* gController = nullptr;
SDL_JoystickID gControllerId = -1;
// The buttons that went down since the last reading.
PadReading gPressedSinceReading;

// SDL's button for each PadButton, in PadButton's order.
constexpr SDL_GameControllerButton kSdlButtons[kPadButtonCount] = {
    SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,         SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_BACK,      SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_DPAD_UP,   SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};

void closeController() {
  if (gController != nullptr) SDL_GameControllerClose(gController);
  gController = nullptr;
  gControllerId = -1;
  gPressedSinceReading = PadReading{};
}

// SDL numbers the devices in the order they were connected.
void openFirstController() {
  for (int index = 0; index < SDL_NumJoysticks() && gController == nullptr; ++index) {
    if (!SDL_IsGameController(index)) continue;
    gController = SDL_GameControllerOpen(index);
    if (gController != nullptr) {
      gControllerId = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(gController));
    }
  }
}

// SDL's axes run from -32768 to 32767; the input poll clamps the far end.
float axisValue(SDL_GameControllerAxis axis) {
  return static_cast<float>(SDL_GameControllerGetAxis(gController, axis)) / 32767.0f;
}

void notePress(Uint8 sdlButton) {
  for (int button = 0; button < kPadButtonCount; ++button) {
    if (kSdlButtons[button] == sdlButton) {
      gPressedSinceReading.setHeld(static_cast<PadButton>(button), true);
    }
  }
}

}  // namespace

namespace sdl {

void startGamepads() {
  if (gStarted) return;
  // Keys count whichever window has the focus on Windows; a gamepad does
  // here too, so a pad's state never goes stale behind another window.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  gStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void stopGamepads() {
  closeController();
  if (gStarted) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  gStarted = false;
}

void onGamepadEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:  // also for those connected at start
      if (gController == nullptr) openFirstController();
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (event.cdevice.which == gControllerId) {
        closeController();
        openFirstController();
      }
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (event.cbutton.which == gControllerId) notePress(event.cbutton.button);
      break;
    default:
      break;
  }
}

}  // namespace sdl

void platformReadPad(PadReading& reading) {
  reading = PadReading{};
  if (gController == nullptr) return;
  reading.pad = gControllerId;
  reading.leftStick.x = axisValue(SDL_CONTROLLER_AXIS_LEFTX);
  reading.leftStick.y = -axisValue(SDL_CONTROLLER_AXIS_LEFTY);  // SDL's y grows downward
  const auto held = [](SDL_GameControllerButton button) {
    return SDL_GameControllerGetButton(gController, button) != 0;
  };
  reading.buttons = static_cast<std::uint16_t>(gPressedSinceReading.buttons |
                                               PadReading::buttonsHeld(kSdlButtons, held));
  gPressedSinceReading = PadReading{};
}

}  // namespace dravik
