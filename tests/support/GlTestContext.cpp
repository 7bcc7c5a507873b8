#include "tests/support/GlTestContext.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/GlobalGlState.h"
#include "app/sdl/SdlGlAttributes.h"
#include "gl/GlApi.h"

namespace dravik::test {

namespace {

struct Context {
  SDL_Window* window = nullptr;
  SDL_GLContext gl = nullptr;
  bool tried = false;
  bool ok = false;
};

Context& context() {
  static Context instance;
  return instance;
}

void* lookup(const char* name) { return SDL_GL_GetProcAddress(name); }

}  // namespace

bool ensureGlContext() {
  Context& c = context();
  if (!c.tried) {
    c.tried = true;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      ADD_FAILURE() << "SDL_Init: " << SDL_GetError();
      return false;
    }
    sdl::requestGlAttributes(kPreferredGlVersion);
    c.window = SDL_CreateWindow("dravik tests", 0, 0, kContextSize, kContextSize,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (c.window == nullptr) {
      ADD_FAILURE() << "SDL_CreateWindow: " << SDL_GetError();
      return false;
    }
    c.gl = SDL_GL_CreateContext(c.window);
    if (c.gl == nullptr) {
      ADD_FAILURE() << "SDL_GL_CreateContext: " << SDL_GetError();
      return false;
    }
    SDL_GL_MakeCurrent(c.window, c.gl);
    glentry::loadAll(lookup);
    glentry::setContextAvailable(true);
    c.ok = glentry::firstMissingCalledEntryPoint() == nullptr;
    if (!c.ok) {
      ADD_FAILURE() << "missing GL entry point " << glentry::firstMissingCalledEntryPoint();
    }
    resetGlState();
  }
  if (!c.ok) {
    ADD_FAILURE() << "no GL context for this test";
    return false;
  }
  // A test may have cleared the table; the context is the same one.
  glentry::loadAll(lookup);
  glentry::setContextAvailable(true);
  return true;
}

void resetGlState() {
  setGlobalGlState();
  glViewport(0, 0, kContextSize, kContextSize);
  glDepthMask(GL_TRUE);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  while (glGetError() != GL_NO_ERROR) {
  }
}

}  // namespace dravik::test
