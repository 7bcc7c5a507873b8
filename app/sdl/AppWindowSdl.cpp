// SDL2 backend of the game window: stands in for Win32 + WGL on Linux and
// other desktops.
#include <SDL.h>

#include <iostream>

#include "app/Platform.h"
#include "app/sdl/GamepadSdl.h"
#include "app/sdl/SdlGlAttributes.h"
#include "gl/GlApi.h"

namespace dravik {

struct AppWindow::Platform {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
};

namespace {

constexpr const char* kTitle = "ZOKT 5 Dravik";

// SDL falls back to its offscreen driver when no display server answers;
// a window there is invisible to the player. It is only used when asked for
// by name (as the tests do through SDL_VIDEODRIVER).
bool isVisibleDriver(const char* driver) {
  if (driver == nullptr) return false;
  const bool headless = SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
  if (!headless) return true;
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  return requested != nullptr && SDL_strcasecmp(requested, driver) == 0;
}

// A display server that is there but busy can refuse a connection for a
// moment (an X server whose accept queue is full answers "Resource
// temporarily unavailable"); SDL then falls back to its offscreen driver.
// Where a display is named, the connection is tried a few more times before
// the game gives up.
constexpr int kDisplayAttempts = 30;
constexpr Uint32 kDisplayRetryDelayMs = 100;

bool displayNamed() {
  return SDL_getenv("DISPLAY") != nullptr || SDL_getenv("WAYLAND_DISPLAY") != nullptr;
}

bool startVideo() {
  // Where only an X display is named, SDL is asked for X11 alone: a refused
  // connection would otherwise fall through to Wayland, which prints its own
  // complaint, and on to the offscreen driver. SDL_VIDEODRIVER, when set,
  // still decides.
  if (SDL_getenv("DISPLAY") != nullptr && SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  }
  for (int attempt = 1;; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      if (isVisibleDriver(SDL_GetCurrentVideoDriver())) return true;
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      SDL_SetError("only an invisible video driver is available");
    }
    if (attempt == kDisplayAttempts || !displayNamed()) {
      std::cerr << "No display to open a window on (" << SDL_GetError() << ")" << std::endl;
      return false;
    }
    SDL_Delay(kDisplayRetryDelayMs);
  }
}

// Switches the display to width x height at bits per pixel; false when no
// such mode can be set.
bool enterFullscreen(SDL_Window* window, int width, int height, int bits) {
  SDL_DisplayMode wanted{};
  wanted.w = width;
  wanted.h = height;
  wanted.format = bits >= 24 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
  SDL_DisplayMode closest{};
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetClosestDisplayMode(display, &wanted, &closest) == nullptr) {
    return false;
  }
  if (closest.w != width || closest.h != height) return false;
  if (SDL_SetWindowDisplayMode(window, &closest) != 0) return false;
  return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

}  // namespace

AppWindow::AppWindow(void* /*instanceHandle*/) : platform_(std::make_unique<Platform>()) {}

AppWindow::~AppWindow() {
  if (platform_->context != nullptr) {
    SDL_GL_MakeCurrent(platform_->window, nullptr);
    SDL_GL_DeleteContext(platform_->context);
    glentry::setContextAvailable(false);
  }
  if (platform_->window != nullptr) SDL_DestroyWindow(platform_->window);
  sdl::stopGamepads();
  // SDL's video subsystem is left up until the process ends: quitting it
  // unloads the X11 and GL libraries SDL opened, and their process-lifetime
  // allocations would then be reported as leaks with no library left to
  // attribute them to. The window and its context are gone by now.
}

bool AppWindow::create(int width, int height, int bits, bool fullscreenRequested) {
  fullscreen = fullscreenRequested;
  if (!startVideo()) return false;
  sdl::startGamepads();
  // One extra reference to the GL library keeps the driver loaded until the
  // process ends: SDL unloads it with the last GL window, and the driver's
  // process-lifetime allocations would then be reported as leaks with no
  // library left to attribute them to (or suppress them by).
  SDL_GL_LoadLibrary(nullptr);

  sdl::requestGlAttributes(kPreferredGlVersion);
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
  platform_->window = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                       width, height, flags);
  if (platform_->window == nullptr) {
    std::cerr << "SDL window: " << SDL_GetError() << std::endl;
    return false;
  }
  if (fullscreen && !enterFullscreen(platform_->window, width, height, bits)) {
    showMessageBox(nullptr, "Display mode failed", false);
    fullscreen = false;
  }
  SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);

  platform_->context = SDL_GL_CreateContext(platform_->window);
  if (platform_->context == nullptr) {
    std::cerr << "OpenGL 3.0 is not supported, falling back to GL 2.1" << std::endl;
    // The pixel format belongs to the window, so a legacy context needs a
    // window made with the legacy attributes.
    SDL_DestroyWindow(platform_->window);
    sdl::requestGlAttributes(kFallbackGlVersion);
    platform_->window = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                         width, height, flags);
    if (platform_->window == nullptr) return false;
    platform_->context = SDL_GL_CreateContext(platform_->window);
    if (platform_->context == nullptr) {
      std::cerr << "SDL GL context: " << SDL_GetError() << std::endl;
      return false;
    }
  }
  SDL_GL_MakeCurrent(platform_->window, platform_->context);
  onContextCurrent();

  // SDL does not report the initial size as an event; the game learns it
  // here, with the context current, as it would from the first size message.
  int drawableWidth = width;
  int drawableHeight = height;
  SDL_GL_GetDrawableSize(platform_->window, &drawableWidth, &drawableHeight);
  onSize(drawableWidth, drawableHeight);

  SDL_ShowWindow(platform_->window);
  return true;
}

void AppWindow::destroy() {
  if (fullscreen && platform_->window != nullptr) {
    SDL_SetWindowFullscreen(platform_->window, 0);
    SDL_ShowCursor(SDL_ENABLE);
  }
}

void AppWindow::onCloseRequest() {
  // A close message, a quit event and a termination signal may all arrive;
  // the context is deleted once.
  if (platform_->context != nullptr) {
    SDL_GL_MakeCurrent(platform_->window, nullptr);
    SDL_GL_DeleteContext(platform_->context);
    platform_->context = nullptr;
    glentry::setContextAvailable(false);
  }
  running = false;
}

void AppWindow::pumpMessages() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_QUIT:  // also SIGINT and SIGTERM
        onCloseRequest();
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          onCloseRequest();
        } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          onSize(event.window.data1, event.window.data2);
        }
        break;
      case SDL_KEYDOWN:  // auto-repeats included
        if (event.key.keysym.sym == SDLK_ESCAPE) onEscapeDown();
        break;
      default:
        sdl::onGamepadEvent(event);
        break;
    }
  }
}

void AppWindow::swapBuffers() {
  if (platform_->context != nullptr) SDL_GL_SwapWindow(platform_->window);
}

}  // namespace dravik
