// Win32 backend: GL entry points, message boxes, clock and keyboard.
#include <windows.h>

#include "app/MessageBoxText.h"
#include "app/Platform.h"
#include "app/win32/MessageTable.h"
#include "gl/GlApi.h"

namespace dravik {

static_assert(win32::virtualKey(Key::Space) == VK_SPACE && win32::virtualKey(Key::F1) == VK_F1 &&
              win32::virtualKey(Key::F2) == VK_F2 && win32::virtualKey(Key::Left) == VK_LEFT &&
              win32::virtualKey(Key::Right) == VK_RIGHT && win32::virtualKey(Key::Up) == VK_UP &&
              win32::virtualKey(Key::Down) == VK_DOWN);

namespace {

void* lookupGlEntryPoint(const char* name) {
  void* proc = reinterpret_cast<void*>(wglGetProcAddress(name));
  return win32::isValidProcAddress(proc) ? proc : nullptr;
}

int64_t counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

int64_t frequency() {
  LARGE_INTEGER ticks;
  QueryPerformanceFrequency(&ticks);
  return ticks.QuadPart;
}

void sleepOneMillisecond() { Sleep(1); }

}  // namespace

void loadGLFunctions() { glentry::loadAll(lookupGlEntryPoint); }

void showMessageBox(const char* caption, const char* text, bool isError) {
  echoMessageBoxText(caption, text);
  MessageBoxA(nullptr, text, caption, isError ? MB_ICONERROR : MB_OK);
}

ClockSource platformClock() { return {counter, frequency, sleepOneMillisecond}; }

// The start is one call: nothing draws before the window's first frame.
StartProgressView platformStartInSteps() { return nullptr; }

bool platformRunPasses(bool (*pass)(void* state), void* state) {
  while (pass(state)) {
  }
  return true;
}

// The global keyboard state: keys count whichever window has the focus.
bool platformKeyHeld(Key key) {
  return win32::asyncStateHeld(GetAsyncKeyState(win32::virtualKey(key)));
}

}  // namespace dravik
