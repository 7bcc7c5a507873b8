// The game's GL context request (GlContextAttributes.h) in SDL's terms, for
// the SDL window and for the tests' context, which SDL makes too.
#pragma once

#include <SDL.h>

#include "app/GlContextAttributes.h"

namespace dravik::sdl {

inline void requestGlAttributes(GlVersion version) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, version.major);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, version.minor);
  for (SDL_GLattr channel :
       {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE}) {
    SDL_GL_SetAttribute(channel, kGlChannelBits);
  }
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, kGlDepthBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

}  // namespace dravik::sdl
