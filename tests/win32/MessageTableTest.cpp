// The Win32 window's message table and window procedure, driven by
// synthetic messages against a recording stand-in for the system calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win32/MessageTable.h"
#include "tests/win32/FakeWin32.h"

namespace dravik::win32::test {
namespace {

using Log = std::vector<std::string>;

const Handle kHwnd = fakeHandle(0x55);

class MessageTableTest : public ::testing::Test {
 protected:
  LResult send(unsigned message, WParam wParam = 0, LParam lParam = 0) {
    return handleMessage(window, gl, api, kHwnd, message, wParam, lParam);
  }
  FakeApi api;
  FakeWindow window;
  GlHandles gl;
};

TEST_F(MessageTableTest, CreateMakesAThreeZeroContextAndDropsTheTemporaryOne) {
  testing::internal::CaptureStderr();
  const LResult result = send(kWmCreate, 0, 99);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  EXPECT_EQ(api.log, (Log{"getDC(0x55)", "setPixelFormat(0xdc)", "createContext(0xdc)",
                          "makeCurrent(0xdc, 0x71)", "getProcAddress(wglCreateContextAttribsARB)",
                          "createContextAttribs(0xa77, 0xdc, 0x0)", "deleteContext(0x71)",
                          "makeCurrent(0xdc, 0x30)", "defWindowProc(0x55, 1, 0, 99)"}));
  EXPECT_EQ(result, api.defaultResult);
  EXPECT_EQ(gl.hdc, api.dc);
  EXPECT_EQ(gl.hglrc, api.modernContext);
  EXPECT_EQ(api.contextAttributes, (std::vector<int>{0x2091, 3, 0x2092, 0}));
  EXPECT_EQ(window.contextCurrentCalls, 1);
  EXPECT_TRUE(window.running);
}

TEST_F(MessageTableTest, PixelFormatIsDoubleBufferedRgbaWithThirtyTwoColourAndSixteenDepthBits) {
  send(kWmCreate);
  EXPECT_EQ(api.pixelFormat.size, 40);
  EXPECT_EQ(api.pixelFormat.version, 1);
  EXPECT_EQ(api.pixelFormat.flags, 37u);
  EXPECT_EQ(api.pixelFormat.pixelType, 0);
  EXPECT_EQ(api.pixelFormat.colorBits, 32);
  EXPECT_EQ(api.pixelFormat.depthBits, 16);
}

// No wglCreateContextAttribsARB, in every way a driver says so.
TEST_F(MessageTableTest, WithoutTheThreeZeroEntryPointTheLegacyContextStaysAfterOneLine) {
  for (std::intptr_t missing : {0, 1, 2, 3, -1}) {
    SCOPED_TRACE(missing);
    FakeApi fresh;
    FakeWindow freshWindow;
    GlHandles freshGl;
    fresh.createAttribsProc = reinterpret_cast<void*>(missing);
    testing::internal::CaptureStderr();
    handleMessage(freshWindow, freshGl, fresh, kHwnd, kWmCreate, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "OpenGL 3.0 is not supported, falling back to GL 2.1\n");
    EXPECT_EQ(fresh.log,
              (Log{"getDC(0x55)", "setPixelFormat(0xdc)", "createContext(0xdc)",
                   "makeCurrent(0xdc, 0x71)", "getProcAddress(wglCreateContextAttribsARB)",
                   "makeCurrent(0xdc, 0x71)", "defWindowProc(0x55, 1, 0, 0)"}));
    EXPECT_EQ(freshGl.hglrc, fresh.temporaryContext);
    EXPECT_TRUE(freshWindow.running);
  }
}

TEST_F(MessageTableTest, ARefusedThreeZeroContextKeepsTheLegacyOne) {
  api.modernContext = nullptr;
  testing::internal::CaptureStderr();
  send(kWmCreate);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "OpenGL 3.0 is not supported, falling back to GL 2.1\n");
  EXPECT_EQ(gl.hglrc, api.temporaryContext);
  for (const std::string& call : api.log) EXPECT_NE(call, "deleteContext(0x71)");
  EXPECT_EQ(api.log[api.log.size() - 2], "makeCurrent(0xdc, 0x71)");
  EXPECT_TRUE(window.running);
}

TEST_F(MessageTableTest, CloseAndDestroyReleaseTheContextStopTheLoopAndKeepTheWindow) {
  for (unsigned message : {kWmClose, kWmDestroy}) {
    SCOPED_TRACE(message);
    FakeApi fresh;
    FakeWindow freshWindow;
    GlHandles freshGl{fakeHandle(0xDC), fakeHandle(0x30)};
    freshWindow.running = true;
    const LResult result = handleMessage(freshWindow, freshGl, fresh, kHwnd, message, 0, 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fresh.log,
              (Log{"makeCurrent(0xdc, 0x0)", "deleteContext(0x30)", "postQuitMessage(0)"}));
    EXPECT_FALSE(freshWindow.running);
    EXPECT_EQ(freshWindow.closeCalls, 1);
    EXPECT_EQ(freshGl.hglrc, nullptr);
  }
}

TEST_F(MessageTableTest, SizeSplitsTheLowAndHighWordsOfLParam) {
  struct Case {
    LParam lParam;
    int width;
    int height;
  };
  const Case cases[] = {
      {(720 << 16) | 1280, 1280, 720},
      {0, 0, 0},
      {0xFFFF, 65535, 0},
      {static_cast<LParam>(0xFFFF0000u), 0, 65535},
      // Bits above the two words (64-bit LPARAM) play no part.
      {static_cast<LParam>((std::int64_t{0x5A} << 32) | (300 << 16) | 400), 400, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lParam);
    window.sizes.clear();
    api.log.clear();
    EXPECT_EQ(send(kWmSize, 0, c.lParam), api.defaultResult);
    ASSERT_EQ(window.sizes.size(), 1u);
    EXPECT_EQ(window.sizes[0], std::make_pair(c.width, c.height));
    ASSERT_EQ(api.log.size(), 1u);
    EXPECT_EQ(api.log[0].rfind("defWindowProc(0x55, 5, ", 0), 0u);
  }
}

TEST_F(MessageTableTest, EveryEscapeKeyDownFlipsActiveAndOtherKeysDoNot) {
  const struct {
    WParam key;
    bool activeAfter;
  } presses[] = {{0x1B, false}, {0x20, false}, {0x1B, true}, {0x71, true},
                 {0x41, true},  {0x1B, false}, {0x1B, true}};
  for (const auto& p : presses) {
    SCOPED_TRACE(p.key);
    EXPECT_EQ(send(kWmKeyDown, p.key, 0x00010001), api.defaultResult);
    EXPECT_EQ(window.active, p.activeAfter);
  }
  EXPECT_EQ(api.log.size(), 7u);
}

TEST_F(MessageTableTest, OtherMessagesOnlyGetTheDefault) {
  // WM_PAINT, WM_QUIT, WM_KEYUP (Escape released), WM_MOUSEMOVE, WM_ACTIVATE.
  for (unsigned message : {0x000Fu, 0x0012u, 0x0101u, 0x0200u, 0x0006u}) {
    SCOPED_TRACE(message);
    api.log.clear();
    EXPECT_EQ(send(message, 0x1B, 7), api.defaultResult);
    EXPECT_EQ(api.log, (Log{"defWindowProc(0x55, " + std::to_string(message) + ", 27, 7)"}));
  }
  EXPECT_TRUE(window.active);
  EXPECT_FALSE(window.running);
  EXPECT_TRUE(window.sizes.empty());
  EXPECT_EQ(window.closeCalls, 0);
}

// The target the window procedure hands messages to.
struct RecordingTarget {
  std::vector<unsigned> messages;
  LResult handleMessage(Handle, unsigned message, WParam, LParam) {
    messages.push_back(message);
    return 77;
  }
};

TEST(WindowProcedureTest, MessagesBeforeCreateGetTheDefault) {
  FakeApi api;
  EXPECT_EQ(dispatchToTarget<RecordingTarget>(api, kHwnd, 0x0024, 0, 0), api.defaultResult);
  EXPECT_EQ(api.log, (Log{"userData(0x55)", "defWindowProc(0x55, 36, 0, 0)"}));
}

TEST(WindowProcedureTest, CreateStoresTheObjectAndLaterMessagesFindIt) {
  FakeApi api;
  RecordingTarget target;
  api.creationParam = &target;
  EXPECT_EQ(dispatchToTarget<RecordingTarget>(api, kHwnd, kWmCreate, 0, 4242), 77);
  EXPECT_EQ(api.log, (Log{"creationParameter(4242)", "setUserData(0x55, " + str(&target) + ")"}));
  EXPECT_EQ(dispatchToTarget<RecordingTarget>(api, kHwnd, kWmSize, 0, 0), 77);
  EXPECT_EQ(dispatchToTarget<RecordingTarget>(api, kHwnd, kWmClose, 0, 0), 77);
  EXPECT_EQ(target.messages, (std::vector<unsigned>{kWmCreate, kWmSize, kWmClose}));
  EXPECT_EQ(api.log.back(), "userData(0x55)");
}

TEST(WindowProcedureTest, CreateWithoutAnObjectGetsTheDefault) {
  FakeApi api;
  EXPECT_EQ(dispatchToTarget<RecordingTarget>(api, kHwnd, kWmCreate, 0, 5), api.defaultResult);
  EXPECT_EQ(api.log.back(), "defWindowProc(0x55, 1, 0, 5)");
}

TEST(ProcAddressTest, DriverFailureValuesCountAsMissing) {
  const struct {
    std::intptr_t value;
    bool valid;
  } cases[] = {{0, false},  {1, false}, {2, false}, {3, false},
               {-1, false}, {4, true},  {-2, true}, {0x7FFE1000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(isValidProcAddress(reinterpret_cast<const void*>(c.value)), c.valid);
  }
}

TEST(KeyCodesTest, PolledKeysMapToTheirVirtualKeyCodes) {
  const struct {
    Key key;
    int code;
  } cases[] = {{Key::Space, 0x20}, {Key::F1, 0x70}, {Key::F2, 0x71},  {Key::Left, 0x25},
               {Key::Right, 0x27}, {Key::Up, 0x26}, {Key::Down, 0x28}};
  for (const auto& c : cases) EXPECT_EQ(virtualKey(c.key), c.code);
}

TEST(KeyCodesTest, OnlyBitFifteenMeansHeld) {
  const struct {
    std::int16_t state;
    bool held;
  } cases[] = {{0, false},
               {0x0001, false},  // pressed since the last call, not held now
               {0x7FFF, false},
               {static_cast<std::int16_t>(0x8000), true},
               {static_cast<std::int16_t>(0x8001), true},
               {-1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    EXPECT_EQ(asyncStateHeld(c.state), c.held);
  }
}

}  // namespace
}  // namespace dravik::win32::test
