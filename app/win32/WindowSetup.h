// Making and restoring the Win32 window, without <windows.h>: the steps of
// AppWindow::create and AppWindow::destroy against an `Api` that performs
// the system calls (the real one in AppWindowWin32.cpp, a recorder in the
// host tests). The constants are checked against <windows.h> in the backend.
#pragma once

#include <cstdint>

#include "app/win32/MessageTable.h"

namespace dravik::win32 {

constexpr std::uint32_t kCsVRedraw = 0x0001;
constexpr std::uint32_t kCsHRedraw = 0x0002;
constexpr std::uint32_t kWsExWindowEdge = 0x00000100;
constexpr std::uint32_t kWsExAppWindow = 0x00040000;
constexpr std::uint32_t kWsPopup = 0x80000000u;
constexpr std::uint32_t kWsOverlappedWindow = 0x00CF0000;
constexpr std::uint32_t kWsClipSiblings = 0x04000000;
constexpr std::uint32_t kWsClipChildren = 0x02000000;
constexpr std::uint32_t kDmBitsPerPel = 0x00040000;
constexpr std::uint32_t kDmPelsWidth = 0x00080000;
constexpr std::uint32_t kDmPelsHeight = 0x00100000;

constexpr const char* kClassName = "GLClass";
constexpr const char* kWindowTitle = "ZOKT 5 Dravik";
constexpr const char* kDisplayModeFailed = "Display mode failed";

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct WindowStyles {
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
};

constexpr WindowStyles windowStyles(bool fullscreen) {
  return fullscreen ? WindowStyles{kWsExAppWindow, kWsPopup}
                    : WindowStyles{kWsExAppWindow | kWsExWindowEdge, kWsOverlappedWindow};
}

// The full-screen display mode: DEVMODEA's size is 156 on both widths.
struct DisplayModeRequest {
  std::uint16_t size = 156;
  std::uint32_t fields = kDmBitsPerPel | kDmPelsWidth | kDmPelsHeight;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 0;
};

// What create leaves behind besides the flags.
struct WindowRecord {
  Handle hwnd = nullptr;
  Rect windowRect;
  GlHandles gl;
};

// The window's creation. `creationParameter` is the object the window
// procedure hands the messages to; WM_CREATE and the first WM_SIZE reach it
// from inside api.createWindow.
template <class Api>
bool createWindow(Api& api, WindowRecord& record, bool& fullscreen, int width, int height, int bits,
                  bool fullscreenRequested, void* creationParameter) {
  fullscreen = fullscreenRequested;
  record.windowRect = Rect{0, 0, width, height};
  if (!api.registerClass(kCsHRedraw | kCsVRedraw, kClassName)) return false;

  if (fullscreen) {
    DisplayModeRequest mode;
    mode.width = static_cast<std::uint32_t>(width);
    mode.height = static_cast<std::uint32_t>(height);
    mode.bitsPerPixel = static_cast<std::uint32_t>(bits);
    if (!api.changeDisplayMode(mode)) {
      api.messageBox(kDisplayModeFailed, nullptr);
      fullscreen = false;
    }
  }

  const WindowStyles styles = windowStyles(fullscreen);
  if (fullscreen) api.showCursor(false);
  api.adjustWindowRect(record.windowRect, styles.style, styles.exStyle);

  const Rect& r = record.windowRect;
  record.hwnd = api.createWindow(0, kClassName, kWindowTitle,
                                 styles.style | kWsClipSiblings | kWsClipChildren, 0, 0,
                                 r.right - r.left, r.bottom - r.top, creationParameter);
  if (record.hwnd == nullptr) return false;

  record.gl.hdc = api.getDC(record.hwnd);
  api.showWindow(record.hwnd);
  api.updateWindow(record.hwnd);
  return true;
}

// Back to the desktop's own display mode after full screen; the window and
// its context stay (the close message already released the context).
template <class Api>
void restoreDisplay(Api& api, bool fullscreen) {
  if (!fullscreen) return;
  api.restoreDisplayMode();
  api.showCursor(true);
}

}  // namespace dravik::win32
