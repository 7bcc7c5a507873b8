// A gamepad for the end-to-end tests, preloaded into the real game
// (LD_PRELOAD): SDL's virtual joystick in the standard controller layout,
// driven by lines written to the FIFO named by DRAVIK_TEST_PAD:
//   attach | detach | axis N VALUE (-32768..32767) | button N 0|1
// with N an SDL_GameControllerAxis or SDL_GameControllerButton. The lines
// are read each time the game pumps its events, before SDL's own pump.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/VirtualGamepad.h"

namespace {

using PollEventFn = int (*)(SDL_Event*);

int gFifo = -1;
char gLine[128];
std::size_t gLength = 0;
SDL_Joystick* gJoystick = nullptr;

void attach() {
  if (gJoystick != nullptr) return;
  gJoystick = dravik::test::attachVirtualGamepad("Dravik test pad");
  if (gJoystick == nullptr) std::fprintf(stderr, "test pad: %s\n", SDL_GetError());
}

void detach() {
  if (gJoystick == nullptr) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(gJoystick);
  SDL_JoystickClose(gJoystick);
  gJoystick = nullptr;
  for (int device = 0; device < SDL_NumJoysticks(); ++device) {
    if (SDL_JoystickGetDeviceInstanceID(device) == id) SDL_JoystickDetachVirtual(device);
  }
}

void run(const char* line) {
  int index = 0;
  int value = 0;
  if (std::strcmp(line, "attach") == 0) {
    attach();
  } else if (std::strcmp(line, "detach") == 0) {
    detach();
  } else if (std::sscanf(line, "axis %d %d", &index, &value) == 2 && gJoystick != nullptr) {
    SDL_JoystickSetVirtualAxis(gJoystick, index, static_cast<Sint16>(value));
  } else if (std::sscanf(line, "button %d %d", &index, &value) == 2 && gJoystick != nullptr) {
    SDL_JoystickSetVirtualButton(gJoystick, index, static_cast<Uint8>(value));
  }
}

void readCommands() {
  if (gFifo < 0) {
    const char* path = std::getenv("DRAVIK_TEST_PAD");
    if (path == nullptr) return;
    gFifo = open(path, O_RDONLY | O_NONBLOCK);
    if (gFifo < 0) return;
  }
  char c;
  while (read(gFifo, &c, 1) == 1) {
    if (c != '\n') {
      if (gLength + 1 < sizeof gLine) gLine[gLength++] = c;
      continue;
    }
    gLine[gLength] = '\0';
    gLength = 0;
    run(gLine);
  }
}

}  // namespace

extern "C" int SDL_PollEvent(SDL_Event* event) {
  static const auto real = reinterpret_cast<PollEventFn>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
  readCommands();
  return real(event);
}
