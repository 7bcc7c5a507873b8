// Making the Win32 window, windowed and full screen, against a recording
// stand-in for the system calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win32/WindowSetup.h"
#include "tests/win32/FakeWin32.h"

namespace dravik::win32::test {
namespace {

using Log = std::vector<std::string>;

struct Creation {
  FakeApi api;
  WindowRecord record;
  bool fullscreen = false;
  int target = 0;  // stands for the object the window procedure calls

  bool run(bool fullscreenRequested, int width = 1280, int height = 720, int bits = 32) {
    return createWindow(api, record, fullscreen, width, height, bits, fullscreenRequested, &target);
  }
};

TEST(WindowSetupTest, WindowedCreationRegistersSizesAndShowsTheWindow) {
  Creation c;
  ASSERT_TRUE(c.run(false));
  EXPECT_EQ(c.api.log,
            (Log{"registerClass(3, GLClass)", "adjustWindowRect(0 0 1280 720, 0xcf0000, 0x40100)",
                 // Outer size from the adjusted rectangle; the style gains the clip bits.
                 "createWindow(0x0, GLClass, ZOKT 5 Dravik, 0x6cf0000, 0 0 1296 759)",
                 "getDC(0x77)", "showWindow(0x77)", "updateWindow(0x77)"}));
  EXPECT_FALSE(c.fullscreen);
  EXPECT_EQ(c.record.hwnd, c.api.createdWindow);
  EXPECT_EQ(c.record.gl.hdc, c.api.dc);
  EXPECT_EQ(c.api.windowParam, &c.target);
  EXPECT_EQ(c.record.windowRect.left, -8);
  EXPECT_EQ(c.record.windowRect.bottom, 728);
}

TEST(WindowSetupTest, ClientRectangleFollowsTheRequestedSize) {
  Creation c;
  ASSERT_TRUE(c.run(false, 640, 480));
  EXPECT_EQ(c.api.log[1], "adjustWindowRect(0 0 640 480, 0xcf0000, 0x40100)");
  EXPECT_EQ(c.api.log[2], "createWindow(0x0, GLClass, ZOKT 5 Dravik, 0x6cf0000, 0 0 656 519)");
}

TEST(WindowSetupTest, RefusedClassRegistrationFailsBeforeAnyWindow) {
  Creation c;
  c.api.registerSucceeds = false;
  EXPECT_FALSE(c.run(false));
  EXPECT_EQ(c.api.log, (Log{"registerClass(3, GLClass)"}));
  EXPECT_EQ(c.record.hwnd, nullptr);
}

TEST(WindowSetupTest, NoWindowMeansFailureAndNothingShown) {
  Creation c;
  c.api.createdWindow = nullptr;
  EXPECT_FALSE(c.run(false));
  ASSERT_EQ(c.api.log.size(), 3u);
  EXPECT_EQ(c.api.log.back().rfind("createWindow(", 0), 0u);
}

TEST(WindowSetupTest, FullScreenSetsTheDisplayModeHidesTheCursorAndUsesAPopup) {
  Creation c;
  ASSERT_TRUE(c.run(true, 1024, 768, 16));
  EXPECT_TRUE(c.fullscreen);
  EXPECT_EQ(c.api.log, (Log{"registerClass(3, GLClass)", "changeDisplayMode", "showCursor(0)",
                            "adjustWindowRect(0 0 1024 768, 0x80000000, 0x40000)",
                            "createWindow(0x0, GLClass, ZOKT 5 Dravik, 0x86000000, 0 0 1040 807)",
                            "getDC(0x77)", "showWindow(0x77)", "updateWindow(0x77)"}));
  EXPECT_EQ(c.api.displayMode.size, 156);
  EXPECT_EQ(c.api.displayMode.fields, 0x001C0000u);
  EXPECT_EQ(c.api.displayMode.width, 1024u);
  EXPECT_EQ(c.api.displayMode.height, 768u);
  EXPECT_EQ(c.api.displayMode.bitsPerPixel, 16u);
}

TEST(WindowSetupTest, RefusedDisplayModeSaysSoAndContinuesWindowed) {
  Creation c;
  c.api.displayModeSucceeds = false;
  ASSERT_TRUE(c.run(true));
  EXPECT_FALSE(c.fullscreen);
  EXPECT_EQ(c.api.log, (Log{"registerClass(3, GLClass)", "changeDisplayMode",
                            "messageBox(Display mode failed, none)",
                            "adjustWindowRect(0 0 1280 720, 0xcf0000, 0x40100)",
                            "createWindow(0x0, GLClass, ZOKT 5 Dravik, 0x6cf0000, 0 0 1296 759)",
                            "getDC(0x77)", "showWindow(0x77)", "updateWindow(0x77)"}));
}

TEST(WindowSetupTest, RestoringTheDisplayOnlyAfterFullScreen) {
  FakeApi windowed;
  restoreDisplay(windowed, false);
  EXPECT_TRUE(windowed.log.empty());
  FakeApi full;
  restoreDisplay(full, true);
  EXPECT_EQ(full.log, (Log{"restoreDisplayMode", "showCursor(1)"}));
}

TEST(WindowSetupTest, StylesForBothModes) {
  EXPECT_EQ(windowStyles(false).style, 0x00CF0000u);
  EXPECT_EQ(windowStyles(false).exStyle, 0x00040100u);
  EXPECT_EQ(windowStyles(true).style, 0x80000000u);
  EXPECT_EQ(windowStyles(true).exStyle, 0x00040000u);
}

}  // namespace
}  // namespace dravik::win32::test
