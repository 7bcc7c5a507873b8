// Gamepads on SDL2, for the SDL window backend.
#pragma once

#include <SDL.h>

namespace dravik::sdl {

// Starts SDL's game controller subsystem, with its built-in mapping
// database; without it the game plays by keyboard alone.
void startGamepads();
// Closes the gamepad in use and the subsystem.
void stopGamepads();
// Follows gamepads plugged in and pulled out, and the buttons pressed on the
// one that plays, so that a press released before the next reading still
// reads as held in it. Other events are left alone.
void onGamepadEvent(const SDL_Event& event);

}  // namespace dravik::sdl
