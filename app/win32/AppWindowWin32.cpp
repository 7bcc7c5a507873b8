// Win32 + WGL backend of the game window.
#include <windows.h>

#include "app/Platform.h"
#include "app/win32/GamepadWin32.h"
#include "app/win32/MessageTable.h"
#include "app/win32/WindowSetup.h"
#include "gl/GlApi.h"

namespace dravik {

namespace w = win32;

// The portable tables use their own copies of these values.
static_assert(w::kWmCreate == WM_CREATE && w::kWmDestroy == WM_DESTROY && w::kWmSize == WM_SIZE &&
              w::kWmClose == WM_CLOSE && w::kWmKeyDown == WM_KEYDOWN);
static_assert(w::kVkEscape == VK_ESCAPE);
static_assert(w::kCsHRedraw == CS_HREDRAW && w::kCsVRedraw == CS_VREDRAW);
static_assert(w::kWsExAppWindow == WS_EX_APPWINDOW && w::kWsExWindowEdge == WS_EX_WINDOWEDGE);
static_assert(w::kWsPopup == WS_POPUP && w::kWsOverlappedWindow == WS_OVERLAPPEDWINDOW);
static_assert(w::kWsClipSiblings == WS_CLIPSIBLINGS && w::kWsClipChildren == WS_CLIPCHILDREN);
static_assert(w::kDmBitsPerPel == DM_BITSPERPEL && w::kDmPelsWidth == DM_PELSWIDTH &&
              w::kDmPelsHeight == DM_PELSHEIGHT);
static_assert(w::PixelFormatRequest{}.size == sizeof(PIXELFORMATDESCRIPTOR));
static_assert(w::PixelFormatRequest{}.flags ==
              (PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER));
static_assert(w::PixelFormatRequest{}.pixelType == PFD_TYPE_RGBA);
static_assert(w::DisplayModeRequest{}.size == sizeof(DEVMODEA));
static_assert(sizeof(w::WParam) == sizeof(WPARAM) && sizeof(w::LParam) == sizeof(LPARAM) &&
              sizeof(w::LResult) == sizeof(LRESULT));

namespace {

using CreateContextAttribsFn = HGLRC(WINAPI*)(HDC, HGLRC, const int*);

// Fetched at WM_CREATE; kept for the life of the process.
CreateContextAttribsFn gCreateContextAttribs = nullptr;

}  // namespace

struct AppWindow::Platform {
  AppWindow* owner = nullptr;
  HINSTANCE hInstance = nullptr;
  w::WindowRecord record;
  WNDCLASSEXA windowClass{};
  w::Gamepads gamepads;

  w::LResult handleMessage(w::Handle hwnd, unsigned message, w::WParam wParam, w::LParam lParam);
};

namespace {

// The window procedure's calls: it finds its object before any Platform is
// known, so these need none.
struct UserDataApi {
  void* creationParameter(w::LParam lParam) {
    return reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
  }
  // GWLP_USERDATA is pointer-sized on 64-bit Windows; GWL_USERDATA would
  // cut the pointer to 32 bits.
  void setUserData(w::Handle hwnd, void* target) {
    SetWindowLongPtrA(static_cast<HWND>(hwnd), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
  }
  void* userData(w::Handle hwnd) {
    return reinterpret_cast<void*>(GetWindowLongPtrA(static_cast<HWND>(hwnd), GWLP_USERDATA));
  }
  w::LResult defWindowProc(w::Handle hwnd, unsigned message, w::WParam wParam, w::LParam lParam) {
    return DefWindowProcA(static_cast<HWND>(hwnd), message, wParam, lParam);
  }
};

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  UserDataApi api;
  return w::dispatchToTarget<AppWindow::Platform>(api, hwnd, message, wParam, lParam);
}

// The system calls behind the portable tables.
struct Win32Api : UserDataApi {
  explicit Win32Api(AppWindow::Platform& owner) : platform(owner) {}
  AppWindow::Platform& platform;

  // --- context ---
  w::Handle getDC(w::Handle hwnd) { return GetDC(static_cast<HWND>(hwnd)); }
  void setPixelFormat(w::Handle hdc, const w::PixelFormatRequest& request) {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = request.size;
    pfd.nVersion = request.version;
    pfd.dwFlags = request.flags;
    pfd.iPixelType = request.pixelType;
    pfd.cColorBits = request.colorBits;
    pfd.cDepthBits = request.depthBits;
    const int format = ChoosePixelFormat(static_cast<HDC>(hdc), &pfd);
    SetPixelFormat(static_cast<HDC>(hdc), format, &pfd);
  }
  w::Handle createContext(w::Handle hdc) { return wglCreateContext(static_cast<HDC>(hdc)); }
  void makeCurrent(w::Handle hdc, w::Handle context) {
    wglMakeCurrent(static_cast<HDC>(hdc), static_cast<HGLRC>(context));
  }
  void deleteContext(w::Handle context) { wglDeleteContext(static_cast<HGLRC>(context)); }
  void* getProcAddress(const char* name) {
    return reinterpret_cast<void*>(wglGetProcAddress(name));
  }
  w::Handle createContextAttribs(void* proc, w::Handle hdc, w::Handle share,
                                 const int* attributes) {
    gCreateContextAttribs = reinterpret_cast<CreateContextAttribsFn>(proc);
    return gCreateContextAttribs(static_cast<HDC>(hdc), static_cast<HGLRC>(share), attributes);
  }
  void postQuitMessage(int code) { PostQuitMessage(code); }

  // --- window creation ---
  bool registerClass(std::uint32_t style, const char* className) {
    WNDCLASSEXA& wc = platform.windowClass;
    wc = WNDCLASSEXA{};
    // 48 is the structure's 32-bit size; 64-bit Windows refuses it.
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = style;
    wc.lpfnWndProc = windowProcedure;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = platform.hInstance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = className;
    wc.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    return RegisterClassExA(&wc) != 0;
  }
  bool changeDisplayMode(const w::DisplayModeRequest& request) {
    DEVMODEA mode{};
    mode.dmSize = request.size;
    mode.dmPelsWidth = request.width;
    mode.dmPelsHeight = request.height;
    mode.dmBitsPerPel = request.bitsPerPixel;
    mode.dmFields = request.fields;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
  }
  void messageBox(const char* text, const char* caption) { showMessageBox(caption, text, false); }
  void showCursor(bool show) { ShowCursor(show ? TRUE : FALSE); }
  void adjustWindowRect(w::Rect& rect, std::uint32_t style, std::uint32_t exStyle) {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    rect = w::Rect{r.left, r.top, r.right, r.bottom};
  }
  w::Handle createWindow(std::uint32_t exStyle, const char* className, const char* title,
                         std::uint32_t style, int x, int y, int width, int height, void* param) {
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, nullptr, nullptr,
                           platform.hInstance, param);
  }
  void showWindow(w::Handle hwnd) { ShowWindow(static_cast<HWND>(hwnd), SW_SHOW); }
  void updateWindow(w::Handle hwnd) { UpdateWindow(static_cast<HWND>(hwnd)); }
  void restoreDisplayMode() { ChangeDisplaySettingsA(nullptr, 0); }
};

}  // namespace

w::LResult AppWindow::Platform::handleMessage(w::Handle hwnd, unsigned message, w::WParam wParam,
                                              w::LParam lParam) {
  Win32Api api(*this);
  return w::handleMessage(*owner, record.gl, api, hwnd, message, wParam, lParam);
}

AppWindow::AppWindow(void* instanceHandle) : platform_(std::make_unique<Platform>()) {
  platform_->owner = this;
  platform_->hInstance = static_cast<HINSTANCE>(instanceHandle);
}

AppWindow::~AppWindow() {
  // The window may outlive the object until the process ends; no message
  // may reach the object after this.
  if (platform_->record.hwnd != nullptr) {
    SetWindowLongPtrA(static_cast<HWND>(platform_->record.hwnd), GWLP_USERDATA, 0);
  }
}

bool AppWindow::create(int width, int height, int bits, bool fullscreenRequested) {
  Win32Api api(*platform_);
  return w::createWindow(api, platform_->record, fullscreen, width, height, bits,
                         fullscreenRequested, platform_.get());
}

void AppWindow::destroy() {
  Win32Api api(*platform_);
  w::restoreDisplay(api, fullscreen);
}

void AppWindow::onCloseRequest() {
  glentry::setContextAvailable(false);
  running = false;
}

void AppWindow::pumpMessages() {
  MSG message;
  // WM_QUIT is dispatched like any other; the loop ends on `running`.
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void AppWindow::swapBuffers() {
  if (platform_->record.gl.hdc != nullptr) SwapBuffers(static_cast<HDC>(platform_->record.gl.hdc));
}

}  // namespace dravik
