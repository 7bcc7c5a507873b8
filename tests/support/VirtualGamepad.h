// SDL's virtual joystick in the standard controller layout (button i is
// SDL_GameControllerButton i, axis i SDL_GameControllerAxis i), which the
// game's SDL backend takes for a gamepad on its next event pump. Needs SDL's
// joystick subsystem (the game starts it with the window).
#pragma once

#include <SDL.h>

namespace dravik::test {

// The attached pad, opened for driving it; null (SDL_GetError says why)
// where SDL has none.
inline SDL_Joystick* attachVirtualGamepad(const char* name) {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.button_mask = ~0u;
  desc.axis_mask = ~0u;
  desc.name = name;
  const int device = SDL_JoystickAttachVirtualEx(&desc);
  return device >= 0 ? SDL_JoystickOpen(device) : nullptr;
}

}  // namespace dravik::test
