// A stand-in for the Win32 and WGL calls: every call is written to a log
// as text, and the answers are set by the test.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/win32/MessageTable.h"
#include "app/win32/WindowSetup.h"

namespace dravik::win32::test {

inline Handle fakeHandle(std::uintptr_t value) { return reinterpret_cast<Handle>(value); }

inline std::string str(const void* p) {
  std::ostringstream out;
  out << "0x" << std::hex << reinterpret_cast<std::uintptr_t>(p);
  return out.str();
}

struct FakeApi {
  std::vector<std::string> log;

  // Answers.
  Handle dc = fakeHandle(0xDC);
  Handle temporaryContext = fakeHandle(0x71);
  Handle modernContext = fakeHandle(0x30);
  void* createAttribsProc = reinterpret_cast<void*>(std::uintptr_t{0xA77});
  LResult defaultResult = 1234;
  bool registerSucceeds = true;
  bool displayModeSucceeds = true;
  Handle createdWindow = fakeHandle(0x77);
  void* userDataValue = nullptr;
  void* creationParam = nullptr;

  // What the calls were given.
  PixelFormatRequest pixelFormat;
  std::vector<int> contextAttributes;
  DisplayModeRequest displayMode;
  void* windowParam = nullptr;

  // --- window procedure ---
  void* creationParameter(LParam lParam) {
    log.push_back("creationParameter(" + std::to_string(lParam) + ")");
    return creationParam;
  }
  void setUserData(Handle hwnd, void* target) {
    log.push_back("setUserData(" + str(hwnd) + ", " + str(target) + ")");
    userDataValue = target;
  }
  void* userData(Handle hwnd) {
    log.push_back("userData(" + str(hwnd) + ")");
    return userDataValue;
  }
  LResult defWindowProc(Handle hwnd, unsigned message, WParam wParam, LParam lParam) {
    log.push_back("defWindowProc(" + str(hwnd) + ", " + std::to_string(message) + ", " +
                  std::to_string(wParam) + ", " + std::to_string(lParam) + ")");
    return defaultResult;
  }

  // --- context ---
  Handle getDC(Handle hwnd) {
    log.push_back("getDC(" + str(hwnd) + ")");
    return dc;
  }
  void setPixelFormat(Handle hdc, const PixelFormatRequest& request) {
    log.push_back("setPixelFormat(" + str(hdc) + ")");
    pixelFormat = request;
  }
  Handle createContext(Handle hdc) {
    log.push_back("createContext(" + str(hdc) + ")");
    return temporaryContext;
  }
  void makeCurrent(Handle hdc, Handle context) {
    log.push_back("makeCurrent(" + str(hdc) + ", " + str(context) + ")");
  }
  void deleteContext(Handle context) { log.push_back("deleteContext(" + str(context) + ")"); }
  void* getProcAddress(const char* name) {
    log.push_back(std::string("getProcAddress(") + name + ")");
    return createAttribsProc;
  }
  Handle createContextAttribs(void* proc, Handle hdc, Handle share, const int* attributes) {
    log.push_back("createContextAttribs(" + str(proc) + ", " + str(hdc) + ", " + str(share) + ")");
    contextAttributes.clear();
    for (const int* a = attributes; *a != 0; a += 2) {
      contextAttributes.push_back(a[0]);
      contextAttributes.push_back(a[1]);
    }
    return modernContext;
  }
  void postQuitMessage(int code) { log.push_back("postQuitMessage(" + std::to_string(code) + ")"); }

  // --- window creation ---
  bool registerClass(std::uint32_t style, const char* className) {
    log.push_back("registerClass(" + std::to_string(style) + ", " + className + ")");
    return registerSucceeds;
  }
  bool changeDisplayMode(const DisplayModeRequest& request) {
    log.push_back("changeDisplayMode");
    displayMode = request;
    return displayModeSucceeds;
  }
  void messageBox(const char* text, const char* caption) {
    log.push_back(std::string("messageBox(") + text + ", " + (caption ? caption : "none") + ")");
  }
  void showCursor(bool show) {
    log.push_back(std::string("showCursor(") + (show ? "1" : "0") + ")");
  }
  // A frame of 8 pixels on the sides and the bottom and 31 on top.
  void adjustWindowRect(Rect& rect, std::uint32_t style, std::uint32_t exStyle) {
    std::ostringstream out;
    out << "adjustWindowRect(" << rect.left << " " << rect.top << " " << rect.right << " "
        << rect.bottom << ", 0x" << std::hex << style << ", 0x" << exStyle << ")";
    log.push_back(out.str());
    rect = Rect{rect.left - 8, rect.top - 31, rect.right + 8, rect.bottom + 8};
  }
  Handle createWindow(std::uint32_t exStyle, const char* className, const char* title,
                      std::uint32_t style, int x, int y, int width, int height, void* param) {
    std::ostringstream out;
    out << "createWindow(0x" << std::hex << exStyle << ", " << className << ", " << title << ", 0x"
        << style << std::dec << ", " << x << " " << y << " " << width << " " << height << ")";
    log.push_back(out.str());
    windowParam = param;
    return createdWindow;
  }
  void showWindow(Handle hwnd) { log.push_back("showWindow(" + str(hwnd) + ")"); }
  void updateWindow(Handle hwnd) { log.push_back("updateWindow(" + str(hwnd) + ")"); }
  void restoreDisplayMode() { log.push_back("restoreDisplayMode"); }
};

// The flags and handlers the message table drives, as AppWindow has them.
struct FakeWindow {
  bool active = true;
  bool running = false;
  int contextCurrentCalls = 0;
  int closeCalls = 0;
  std::vector<std::pair<int, int>> sizes;

  void onContextCurrent() {
    ++contextCurrentCalls;
    running = true;
  }
  void onCloseRequest() {
    ++closeCalls;
    running = false;
  }
  void onSize(int width, int height) { sizes.emplace_back(width, height); }
  void onEscapeDown() { active = !active; }
};

}  // namespace dravik::win32::test
