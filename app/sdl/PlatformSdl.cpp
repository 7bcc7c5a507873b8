// SDL2 backend: GL entry points, message boxes, clock and keyboard.
#include <SDL.h>

#include "app/MessageBoxText.h"
#include "app/Platform.h"
#include "gl/GlApi.h"

namespace dravik {

namespace {
void* lookupGlEntryPoint(const char* name) { return SDL_GL_GetProcAddress(name); }
int64_t counter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t frequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }
void sleepOneMillisecond() { SDL_Delay(1); }
}  // namespace

void loadGLFunctions() { glentry::loadAll(lookupGlEntryPoint); }

void showMessageBox(const char* caption, const char* text, bool isError) {
  echoMessageBoxText(caption, text);
  SDL_ShowSimpleMessageBox(isError ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION,
                           caption != nullptr ? caption : "", text, nullptr);
}

std::filesystem::path platformExecutableFolder() {
  char* base = SDL_GetBasePath();
  if (base == nullptr) return {};
  std::filesystem::path folder(base);
  SDL_free(base);
  return folder;
}

std::filesystem::path platformInstalledFolder() { return DRAVIK_INSTALLED_FOLDER; }

ClockSource platformClock() { return {counter, frequency, sleepOneMillisecond}; }

// The start is one call: nothing draws before the window's first frame.
StartProgressView platformStartInSteps() { return nullptr; }

bool platformRunPasses(bool (*pass)(void* state), void* state) {
  while (pass(state)) {
  }
  return true;
}

bool platformKeyHeld(Key key) {
  // SDL's state is that of the keyboard-focused window, refreshed by the
  // event pump.
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  switch (key) {
    case Key::Space:
      return state[SDL_SCANCODE_SPACE] != 0;
    case Key::F1:
      return state[SDL_SCANCODE_F1] != 0;
    case Key::F2:
      return state[SDL_SCANCODE_F2] != 0;
    case Key::Left:
      return state[SDL_SCANCODE_LEFT] != 0;
    case Key::Right:
      return state[SDL_SCANCODE_RIGHT] != 0;
    case Key::Up:
      return state[SDL_SCANCODE_UP] != 0;
    case Key::Down:
      return state[SDL_SCANCODE_DOWN] != 0;
  }
  return false;
}

}  // namespace dravik
