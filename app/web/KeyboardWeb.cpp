// The keyboard in a browser: key events on the page keep the held state
// that the input poll reads. Keys count while the page has the focus.
#include <emscripten/html5.h>

#include <cstring>

#include "app/Platform.h"
#include "app/web/WebPage.h"

namespace dravik {

namespace {

constexpr int kKeyCount = 7;
bool held[kKeyCount] = {};

struct KeyCode {
  const char* code;  // KeyboardEvent.code: the physical key, whatever the layout
  Key key;
};
constexpr KeyCode kPolledKeys[kKeyCount] = {
    {"Space", Key::Space},
    {"F1", Key::F1},
    {"F2", Key::F2},
    {"ArrowLeft", Key::Left},
    {"ArrowRight", Key::Right},
    {"ArrowUp", Key::Up},
    {"ArrowDown", Key::Down},
};

int indexOf(Key key) { return static_cast<int>(key); }

bool inFullScreen() {
  EmscriptenFullscreenChangeEvent status;
  return emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS &&
         status.isFullscreen;
}

// Answers whether the event was one of the game's keys; the browser then
// skips its own action for it (scrolling, help, search).
EM_BOOL onKey(int eventType, const EmscriptenKeyboardEvent* event, void* userData) {
  const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  if (std::strcmp(event->code, "Escape") == 0) {
    // In full screen Escape is the browser's, which leaves full screen with
    // it; the game pauses on a gamepad's Start or the pause button there.
    if (inFullScreen()) return EM_FALSE;
    // Auto-repeats included, as the desktop windows see them.
    if (down) static_cast<AppWindow*>(userData)->onEscapeDown();
    return EM_TRUE;
  }
  for (const KeyCode& polled : kPolledKeys) {
    if (std::strcmp(event->code, polled.code) == 0) {
      held[indexOf(polled.key)] = down;
      return EM_TRUE;
    }
  }
  return EM_FALSE;
}

// A page that loses the focus hears no more key releases.
EM_BOOL onBlur(int /*eventType*/, const EmscriptenFocusEvent* /*event*/, void* /*userData*/) {
  for (bool& key : held) key = false;
  return EM_FALSE;
}

}  // namespace

namespace web {

void listenToKeys(AppWindow* window) {
  const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(page, window, EM_FALSE, onKey);
  emscripten_set_keyup_callback(page, window, EM_FALSE, onKey);
  emscripten_set_blur_callback(page, nullptr, EM_FALSE, onBlur);
}

}  // namespace web

bool platformKeyHeld(Key key) {
  const int index = indexOf(key);
  return index >= 0 && index < kKeyCount && held[index];
}

}  // namespace dravik
