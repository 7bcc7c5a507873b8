// Win32 backend: GL entry points, message boxes, clock and keyboard.
#include <windows.h>

#include "app/AppWindow.h"
#include "app/MessageBoxText.h"
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

}  // namespace

void loadGLFunctions() { glentry::loadAll(lookupGlEntryPoint); }

void showMessageBox(const char* caption, const char* text, bool isError) {
  echoMessageBoxText(caption, text);
  MessageBoxA(nullptr, text, caption, isError ? MB_ICONERROR : MB_OK);
}

int64_t platformCounter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

int64_t platformFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

void platformSleepOneMillisecond() { Sleep(1); }

// The global keyboard state: keys count whichever window has the focus.
bool platformKeyHeld(Key key) {
  return win32::asyncStateHeld(GetAsyncKeyState(win32::virtualKey(key)));
}

}  // namespace dravik
