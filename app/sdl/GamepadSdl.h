// Gamepads on SDL2, for the SDL window backend.
#pragma once

#include <SDL.h>

namespace dravik {
class AppWindow;
}

namespace dravik::sdl {

// Starts SDL's game controller subsystem, with its built-in mapping
// database; without it the game plays by keyboard alone.
void startGamepads();
// Closes the gamepad in use and the subsystem.
void stopGamepads();
// Follows gamepads plugged in and pulled out, and Start, which pauses as
// Escape does. Other events are left alone.
void onGamepadEvent(const SDL_Event& event, AppWindow& window);

}  // namespace dravik::sdl
