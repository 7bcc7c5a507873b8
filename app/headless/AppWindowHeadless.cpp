// The headless backend's window: an offscreen GL context on EGL (Mesa's
// surfaceless platform, so no display server is needed) with a pbuffer the
// size of the window, and the window messages the script queues. A lost
// context really goes: the EGL context and its pbuffer are destroyed at the
// loss, and fresh ones, with none of the old objects or picture, are made at
// the restore.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <iostream>

#include "app/GlContextAttributes.h"
#include "app/Platform.h"
#include "app/headless/HeadlessScript.h"
#include "gl/GlApi.h"

namespace dravik {

struct AppWindow::Platform {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
  EGLSurface surface = EGL_NO_SURFACE;
  EGLContext context = EGL_NO_CONTEXT;
};

namespace {

EGLDisplay openDisplay() {
  EGLDisplay display = EGL_NO_DISPLAY;
  const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay != nullptr) {
    display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  }
  if (display == EGL_NO_DISPLAY) display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (display == EGL_NO_DISPLAY || eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
    return EGL_NO_DISPLAY;
  }
  return display;
}

EGLConfig chooseConfig(EGLDisplay display) {
  // clang-format off
  const EGLint attributes[] = {
      EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
      EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
      EGL_RED_SIZE, kGlChannelBits,
      EGL_GREEN_SIZE, kGlChannelBits,
      EGL_BLUE_SIZE, kGlChannelBits,
      EGL_ALPHA_SIZE, kGlChannelBits,
      EGL_DEPTH_SIZE, kGlDepthBits,
      EGL_NONE};
  // clang-format on
  EGLConfig config = nullptr;
  EGLint found = 0;
  if (eglChooseConfig(display, attributes, &config, 1, &found) != EGL_TRUE || found == 0) {
    return nullptr;
  }
  return config;
}

EGLContext createContext(EGLDisplay display, EGLConfig config) {
  for (const GlVersion& version : {kPreferredGlVersion, kFallbackGlVersion}) {
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, version.major,
                                 EGL_CONTEXT_MINOR_VERSION, version.minor, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
    if (context != EGL_NO_CONTEXT) return context;
  }
  return EGL_NO_CONTEXT;
}

// A fresh pbuffer and context, current: at the window's creation and at a
// restore, which finds the old picture gone as a browser's canvas does.
bool makeCurrent(AppWindow::Platform& platform, int width, int height) {
  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  platform.surface = eglCreatePbufferSurface(platform.display, platform.config, size);
  if (platform.surface == EGL_NO_SURFACE) return false;
  platform.context = createContext(platform.display, platform.config);
  if (platform.context == EGL_NO_CONTEXT) return false;
  headless::script().contextCurrent =
      eglMakeCurrent(platform.display, platform.surface, platform.surface, platform.context) ==
      EGL_TRUE;
  return headless::script().contextCurrent;
}

void deleteContext(AppWindow::Platform& platform) {
  if (platform.display == EGL_NO_DISPLAY) return;
  eglMakeCurrent(platform.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (platform.context != EGL_NO_CONTEXT) eglDestroyContext(platform.display, platform.context);
  if (platform.surface != EGL_NO_SURFACE) eglDestroySurface(platform.display, platform.surface);
  platform.context = EGL_NO_CONTEXT;
  platform.surface = EGL_NO_SURFACE;
  headless::script().contextCurrent = false;
}

}  // namespace

AppWindow::AppWindow(void* /*instanceHandle*/) : platform_(std::make_unique<Platform>()) {}

AppWindow::~AppWindow() {
  deleteContext(*platform_);
  // The display stays initialized: EGL hands the same one to the next
  // window of the process, and terminating it under a later window's
  // feet would end that one too.
}

bool AppWindow::create(int width, int height, int /*bits*/, bool fullscreenRequested) {
  fullscreen = fullscreenRequested;
  headless::Script& script = headless::script();
  if (script.failWindow) return false;
  Platform& platform = *platform_;
  platform.display = openDisplay();
  if (platform.display == EGL_NO_DISPLAY || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
    std::cerr << "EGL: no display" << std::endl;
    return false;
  }
  platform.config = chooseConfig(platform.display);
  if (platform.config == nullptr || !makeCurrent(platform, width, height)) {
    std::cerr << "EGL: no offscreen context (error 0x" << std::hex << eglGetError() << std::dec
              << ")" << std::endl;
    return false;
  }
  script.width = width;
  script.height = height;
  onContextCurrent();
  onSize(width, height);
  return true;
}

void AppWindow::destroy() {}

void AppWindow::onCloseRequest() {
  if (platform_->context != EGL_NO_CONTEXT) {
    deleteContext(*platform_);
    glentry::setContextAvailable(false);
  }
  running = false;
}

void AppWindow::pumpMessages() {
  auto& messages = headless::script().messages;
  while (!messages.empty()) {
    const headless::WindowMessage message = messages.front();
    messages.pop_front();
    switch (message) {
      case headless::WindowMessage::Close:
        onCloseRequest();
        break;
      case headless::WindowMessage::Escape:
        onEscapeDown();
        break;
      case headless::WindowMessage::ContextLost:
        deleteContext(*platform_);
        onContextLost();
        break;
      case headless::WindowMessage::ContextRestored:
        if (!makeCurrent(*platform_, headless::script().width, headless::script().height)) {
          onCloseRequest();
          break;
        }
        onContextRestored();
        break;
    }
  }
}

void AppWindow::swapBuffers() {
  if (platform_->context == EGL_NO_CONTEXT) return;
  // A pbuffer has one buffer: the frame stays there to be read back.
  headless::script().swapTimes.push_back(headless::script().now);
}

}  // namespace dravik
