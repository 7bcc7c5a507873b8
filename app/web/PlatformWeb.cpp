// Browser backend: GL entry points, message boxes and the clock. A browser's
// main thread never sleeps, so there is no sleep here: the frame loop skips
// a pass that comes too early instead (runFramePass).
#include <emscripten/emscripten.h>
#include <emscripten/html5_webgl.h>

#include <cstring>

#include "app/Platform.h"
#include "gl/GlApi.h"

namespace dravik {

namespace {

// A shader whose compilation failed is attached (and detached) as 0. GL
// records GL_INVALID_VALUE and goes on; WebGL throws, which would end the
// game in the middle of its start-up. These two skip the 0 instead.
glentry::glAttachShaderFn webglAttachShader = nullptr;
glentry::glDetachShaderFn webglDetachShader = nullptr;

void attachShaderAsGlDoes(GLuint program, GLuint shader) {
  if (shader != 0) webglAttachShader(program, shader);
}

void detachShaderAsGlDoes(GLuint program, GLuint shader) {
  if (shader != 0) webglDetachShader(program, shader);
}

template <class Fn>
void* standIn(void* webgl, Fn& keep, Fn replacement) {
  keep = reinterpret_cast<Fn>(webgl);
  return webgl != nullptr ? reinterpret_cast<void*>(replacement) : nullptr;
}

void* lookupGlEntryPoint(const char* name) {
  void* webgl = emscripten_webgl_get_proc_address(name);
  if (std::strcmp(name, "glAttachShader") == 0) {
    return standIn(webgl, webglAttachShader, &attachShaderAsGlDoes);
  }
  if (std::strcmp(name, "glDetachShader") == 0) {
    return standIn(webgl, webglDetachShader, &detachShaderAsGlDoes);
  }
  return webgl;
}

// The page's stand-in for a message box: the text over the canvas, and the
// line "caption: text" on the console (as an error for an error box). An
// error takes the place of the page's loading bar.
EM_JS(void, showOnPage, (const char* caption, const char* text, bool isError), {
  var message = UTF8ToString(text);
  var line = caption ? UTF8ToString(caption) + ': ' + message : message;
  if (isError) {
    console.error(line);
    if (Module['hideLoading']) Module['hideLoading']();
  } else {
    console.log(line);
  }
  var box = document.createElement('p');
  box.className = isError ? 'message error' : 'message';
  box.textContent = message;
  document.body.appendChild(box);
});

}  // namespace

void loadGLFunctions() { glentry::loadAll(lookupGlEntryPoint); }

void showMessageBox(const char* caption, const char* text, bool isError) {
  showOnPage(caption, text, isError);
}

namespace {
// performance.now() in whole microseconds.
int64_t counter() { return static_cast<int64_t>(emscripten_get_now() * 1000.0); }
int64_t frequency() { return 1000000; }

struct Passes {
  bool (*pass)(void* state) = nullptr;
  void* state = nullptr;
};

void runOnePass(void* passes) {
  const Passes& p = *static_cast<const Passes*>(passes);
  if (!p.pass(p.state)) emscripten_cancel_main_loop();
}
}  // namespace

// No sleep: the main thread must never block; the frame loop skips a pass
// that comes too early instead (runFramePass).
ClockSource platformClock() { return {counter, frequency, nullptr}; }

namespace {
// The page's loading bar follows the start's steps; each step is marked on
// the page's timeline, so that a trace tells which step a long task ran.
EM_JS(void, showStartOnPage, (const char* stage, int item, int items, int stepsDone, int steps), {
  if (Module['showStartProgress']) {
    Module['showStartProgress'](UTF8ToString(stage), item, items, stepsDone, steps);
  }
});
}  // namespace

// The page must keep drawing and answering while the game starts.
StartProgressView platformStartInSteps() { return showStartOnPage; }

// One pass per animation frame, from when the page's script returns.
bool platformRunPasses(bool (*pass)(void* state), void* state) {
  static Passes passes;
  passes = Passes{pass, state};
  emscripten_set_main_loop_arg(runOnePass, &passes, 0, EM_FALSE);
  return false;
}

// The page's data is preloaded into the virtual file system's root, the
// current directory: there is no executable or install folder to search.
std::filesystem::path platformExecutableFolder() { return {}; }
std::filesystem::path platformInstalledFolder() { return {}; }

}  // namespace dravik
