// Browser backend of the game window: a <canvas> with a WebGL context, on
// Emscripten's HTML5 API.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <iostream>

#include "app/Platform.h"
#include "app/web/WebPage.h"
#include "gl/GlApi.h"
#include "render/ShaderProgram.h"

namespace dravik {

struct AppWindow::Platform {
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
  AppWindow* window = nullptr;
  int width = 0;
  int height = 0;
  bool frameShown = false;
};

namespace {

// The page makes the context itself as soon as it can (index.html), so that
// the browser's slow part of it runs while the game downloads, with these
// same attributes; Emscripten then hands that one out here. Where the page
// could make none, this makes it.
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE createContext(int majorVersion) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = majorVersion;
  attributes.minorVersion = 0;
  // Opaque, like a window's client area: the blended draws leave alpha
  // below 1 in the drawing buffer, which the page must not show through.
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  // Every pass that renders clears and draws the whole picture, and a pass
  // that does not render (too early, or paused) touches no GL state, so the
  // browser keeps showing the last picture without preserving the buffer.
  attributes.preserveDrawingBuffer = EM_FALSE;
  // The game needs none of WebGL's extensions but the background shader
  // compile, which it asks for by name; asking the browser for every one
  // it has waits on the GPU process once each, in the middle of the start.
  attributes.enableExtensionsByDefault = EM_FALSE;
  return emscripten_webgl_create_context(web::kCanvas, &attributes);
}

// With KHR_parallel_shader_compile the shaders build in the background, and
// the start asks whether they are done before it asks how they went.
void followBackgroundCompile(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context) {
  ShaderProgram::setBackgroundCompileQueries(
      emscripten_webgl_enable_extension(context, "KHR_parallel_shader_compile") == EM_TRUE);
}

// The browser may take the context away (a GPU reset, too many contexts, a
// tab long in the background). The game waits with its state as it is;
// answering true calls preventDefault, which asks the browser to give the
// context back.
EM_BOOL onWebglContextLost(int /*eventType*/, const void* /*reserved*/, void* userData) {
  static_cast<AppWindow::Platform*>(userData)->window->onContextLost();
  return EM_TRUE;
}

// The same handle, a fresh context: nothing made in the old one is left.
EM_BOOL onWebglContextRestored(int /*eventType*/, const void* /*reserved*/, void* userData) {
  auto* platform = static_cast<AppWindow::Platform*>(userData);
  if (platform->context <= 0) return EM_FALSE;
  emscripten_webgl_make_context_current(platform->context);
  followBackgroundCompile(platform->context);
  platform->window->onContextRestored();
  platform->window->onSize(platform->width, platform->height);
  return EM_TRUE;
}

}  // namespace

AppWindow::AppWindow(void* /*instanceHandle*/) : platform_(std::make_unique<Platform>()) {}

AppWindow::~AppWindow() {
  if (platform_->context > 0) {
    emscripten_webgl_destroy_context(platform_->context);
    glentry::setContextAvailable(false);
  }
}

bool AppWindow::create(int width, int height, int /*bits*/, bool fullscreenRequested) {
  // A page cannot change the display mode; full screen is the browser's to
  // give, on a user gesture.
  if (fullscreenRequested) showMessageBox(nullptr, "Display mode failed", false);
  fullscreen = false;
  emscripten_set_window_title(web::kTitle);
  if (emscripten_set_canvas_element_size(web::kCanvas, width, height) !=
      EMSCRIPTEN_RESULT_SUCCESS) {
    std::cerr << "No " << web::kCanvas << " element on the page" << std::endl;
    return false;
  }
  platform_->context = createContext(2);
  // Either no WebGL 2, or the page's own context fell back to WebGL 1.
  EmscriptenWebGLContextAttributes made;
  if (platform_->context <= 0 || (emscripten_webgl_get_context_attributes(
                                      platform_->context, &made) == EMSCRIPTEN_RESULT_SUCCESS &&
                                  made.majorVersion < 2)) {
    std::cerr << "OpenGL 3.0 is not supported, falling back to GL 2.1" << std::endl;
  }
  if (platform_->context <= 0) {
    platform_->context = createContext(1);
    if (platform_->context <= 0) {
      platform_->context = 0;
      return false;
    }
  }
  emscripten_webgl_make_context_current(platform_->context);
  followBackgroundCompile(platform_->context);
  onContextCurrent();
  web::listenToKeys(this);
  platform_->window = this;
  platform_->width = width;
  platform_->height = height;
  emscripten_set_webglcontextlost_callback(web::kCanvas, platform_.get(), EM_FALSE,
                                           onWebglContextLost);
  emscripten_set_webglcontextrestored_callback(web::kCanvas, platform_.get(), EM_FALSE,
                                               onWebglContextRestored);
  // The drawing buffer keeps its size whatever the page's layout makes of
  // the canvas, so this is the only size notification.
  onSize(width, height);
  return true;
}

// Nothing to restore: a page never changes the display mode.
void AppWindow::destroy() {}

void AppWindow::onCloseRequest() {
  // The game ends (a restored context it could not use): nothing is drawn
  // any more.
  if (platform_->context > 0) {
    platform_->context = 0;
    glentry::setContextAvailable(false);
  }
  running = false;
}

// The browser delivers the page's events between passes, to the callbacks.
// The touch controls' pause taps are read here, paused or not: the pause
// button acts as Escape does.
void AppWindow::pumpMessages() {
  for (int taps = web::takeTouchPauses(); taps > 0; --taps) onEscapeDown();
}

// The page shows its loading bar until the game's first frame is drawn.
EM_JS(void, hidePageLoading, (), {
  if (Module['hideLoading']) Module['hideLoading']();
});

// The browser shows the drawing buffer when a pass that drew returns; the
// first takes the loading bar away.
void AppWindow::swapBuffers() {
  if (platform_->frameShown) return;
  platform_->frameShown = true;
  hidePageLoading();
}

}  // namespace dravik
