// The Win32 window's behaviour without <windows.h>: the window procedure's
// dispatch, the message table and the key codes, written against an `Api`
// that performs the system calls. The real backend hands them the Win32 and
// WGL functions; the host tests hand them a recorder. The values of the
// Win32 constants below are checked against <windows.h> in the backend.
#pragma once

#include <cstdint>
#include <iostream>

#include "app/GlContextAttributes.h"
#include "game/InputState.h"

namespace dravik::win32 {

using Handle = void*;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

constexpr unsigned kWmCreate = 0x0001;
constexpr unsigned kWmDestroy = 0x0002;
constexpr unsigned kWmSize = 0x0005;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmKeyDown = 0x0100;

constexpr WParam kVkEscape = 0x1B;

// The pixel format the window asks for: double-buffered RGBA on a window.
struct PixelFormatRequest {
  std::uint16_t size = 40;
  std::uint16_t version = 1;
  std::uint32_t flags = 0x01 | 0x20 | 0x04;  // draw to window, OpenGL, double buffer: 37
  std::uint8_t pixelType = 0;                // RGBA
  std::uint8_t colorBits = 32;
  std::uint8_t depthBits = kGlDepthBits;
};

constexpr int kWglContextMajorVersion = 0x2091;
constexpr int kWglContextMinorVersion = 0x2092;
// A 3.0 context, no profile or flags.
constexpr int kContextAttributes[] = {kWglContextMajorVersion, kPreferredGlVersion.major,
                                      kWglContextMinorVersion, kPreferredGlVersion.minor, 0};

constexpr const char* kLegacyContextLine = "OpenGL 3.0 is not supported, falling back to GL 2.1";

// Some drivers answer an unknown name with 1, 2, 3 or -1 instead of null.
inline bool isValidProcAddress(const void* proc) {
  const auto value = reinterpret_cast<std::intptr_t>(proc);
  return value != 0 && value != 1 && value != 2 && value != 3 && value != -1;
}

// The window's device and GL rendering contexts.
struct GlHandles {
  Handle hdc = nullptr;
  Handle hglrc = nullptr;
};

// The message table. `window` offers onContextCurrent, onCloseRequest,
// onSize and onEscapeDown (AppWindow does); `api` the system calls.
template <class Window, class Api>
LResult handleMessage(Window& window, GlHandles& gl, Api& api, Handle hwnd, unsigned message,
                      WParam wParam, LParam lParam) {
  switch (message) {
    case kWmCreate: {
      gl.hdc = api.getDC(hwnd);
      api.setPixelFormat(gl.hdc, PixelFormatRequest{});
      Handle temporary = api.createContext(gl.hdc);
      api.makeCurrent(gl.hdc, temporary);
      void* createAttribs = api.getProcAddress("wglCreateContextAttribsARB");
      Handle modern = nullptr;
      if (isValidProcAddress(createAttribs)) {
        modern = api.createContextAttribs(createAttribs, gl.hdc, nullptr, kContextAttributes);
      }
      if (modern != nullptr) {
        gl.hglrc = modern;
        api.deleteContext(temporary);
      } else {
        // Also when the driver offers the function but refuses the 3.0
        // context: the legacy one already works.
        std::cerr << kLegacyContextLine << std::endl;
        gl.hglrc = temporary;
      }
      api.makeCurrent(gl.hdc, gl.hglrc);
      window.onContextCurrent();
      return api.defWindowProc(hwnd, message, wParam, lParam);
    }
    case kWmClose:
    case kWmDestroy:
      api.makeCurrent(gl.hdc, nullptr);
      api.deleteContext(gl.hglrc);
      gl.hglrc = nullptr;
      window.onCloseRequest();
      api.postQuitMessage(0);
      // Skipping the default processing keeps the window alive after a close.
      return 0;
    case kWmSize: {
      const auto bits = static_cast<std::uintptr_t>(lParam);
      window.onSize(static_cast<int>(bits & 0xFFFF), static_cast<int>((bits >> 16) & 0xFFFF));
      return api.defWindowProc(hwnd, message, wParam, lParam);
    }
    case kWmKeyDown:
      if (wParam == kVkEscape) window.onEscapeDown();
      return api.defWindowProc(hwnd, message, wParam, lParam);
    default:
      return api.defWindowProc(hwnd, message, wParam, lParam);
  }
}

// The static window procedure: WM_CREATE carries the target object in its
// creation parameters and stores it in the window's user data; later
// messages find it there. Messages before WM_CREATE get the default.
// `Target` offers handleMessage(hwnd, message, wParam, lParam).
template <class Target, class Api>
LResult dispatchToTarget(Api& api, Handle hwnd, unsigned message, WParam wParam, LParam lParam) {
  Target* target = nullptr;
  if (message == kWmCreate) {
    target = static_cast<Target*>(api.creationParameter(lParam));
    api.setUserData(hwnd, target);
  } else {
    target = static_cast<Target*>(api.userData(hwnd));
  }
  if (target == nullptr) return api.defWindowProc(hwnd, message, wParam, lParam);
  return target->handleMessage(hwnd, message, wParam, lParam);
}

// Windows virtual-key codes of the polled keys.
constexpr int virtualKey(Key key) {
  switch (key) {
    case Key::Space:
      return 0x20;
    case Key::F1:
      return 0x70;
    case Key::F2:
      return 0x71;
    case Key::Left:
      return 0x25;
    case Key::Right:
      return 0x27;
    case Key::Up:
      return 0x26;
    case Key::Down:
      return 0x28;
  }
  return 0;
}

// GetAsyncKeyState's bit 15 is "held now"; bit 0 (pressed since the last
// call) is deliberately ignored.
constexpr bool asyncStateHeld(std::int16_t state) {
  return (static_cast<std::uint16_t>(state) & 0x8000u) != 0;
}

}  // namespace dravik::win32
