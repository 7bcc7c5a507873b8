// XInput gamepads against a stand-in for the library with four slots.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/XInputPad.h"

namespace dravik::win32 {
namespace {

struct FakeXInput {
  explicit FakeXInput(std::vector<std::string> libraries = {"xinput1_4.dll", "xinput9_1_0.dll"})
      : loadable(std::move(libraries)) {
    pads.open(*this);
  }
  std::vector<std::string> loadable, log;
  bool connected[kXUserMaxCount] = {};
  XInputGamepad gamepads[kXUserMaxCount];
  std::vector<unsigned> queried;

  Handle loadLibrary(const char* name) {
    log.push_back(name);
    for (const std::string& n : loadable) {
      if (n == name) return this;
    }
    return nullptr;
  }
  void* procAddress(Handle, const char* name) {
    log.push_back(name);
    return this;
  }
  void freeLibrary(Handle) { log.push_back("free"); }
  std::uint32_t getState(void*, unsigned user, XInputState& state) {
    queried.push_back(user);
    if (!connected[user]) return kErrorDeviceNotConnected;
    state.gamepad = gamepads[user];
    return kErrorSuccess;
  }

  XInputPads pads;
  PadReading reading;
  const PadReading& passes(int count) {
    for (int i = 0; i < count; ++i) reading = pads.read(*this);
    return reading;
  }
};

// The held buttons as letters in PadButton's order (b for Back, S for
// Start), then the stick.
std::string read(const PadReading& r) {
  std::string s;
  for (int button = 0; button < kPadButtonCount; ++button) {
    if (r.held(static_cast<PadButton>(button))) s += "ABXYbSUDLR"[button];
  }
  return s + " " + std::to_string(std::lround(r.leftStick.x * 100)) + "," +
         std::to_string(std::lround(r.leftStick.y * 100));
}

TEST(XInputPadTest, ReadsTheLeftStickAndTheStandardButtons) {
  struct Row {
    std::uint16_t buttons;
    std::int16_t x, y;
    const char* expected;
  } const rows[] = {
      {0, 32767, 16384, " 100,50"},  // y grows upward, as in XInput
      {0, -32768, -8192, " -100,-25"},
      {kXInputDpadLeft | kXInputDpadUp, 0, 0, "UL 0,0"},
      {kXInputDpadRight | kXInputDpadDown | kXInputA | kXInputY, 0, 0, "AYDR 0,0"},
      {0x2000 | 0x4000 | 0x0020 | kXInputStart, 0, 0, "BXbS 0,0"},
      {0x0040 | 0x0080 | 0x0100 | 0x0200, 0, 0, " 0,0"},  // thumbs and shoulders
  };
  for (const Row& row : rows) {
    // The right stick and the triggers play no part.
    const XInputGamepad g{row.buttons, 255, 255, row.x, row.y, 30000, -30000};
    EXPECT_EQ(read(readingFromGamepad(g)), row.expected);
  }
}

TEST(XInputPadTest, APadPulledOutMidMoveReadsEmpty) {
  FakeXInput x;
  x.connected[1] = true;
  x.gamepads[1] = XInputGamepad{kXInputStart | kXInputA, 0, 0, 20000, -20000, 0, 0};
  EXPECT_EQ(read(x.passes(2)), "AS 61,-61");
  EXPECT_EQ(x.reading.pad, 1);
  x.connected[1] = false;
  EXPECT_EQ(read(x.passes(1)), " 0,0");
  EXPECT_EQ(read(x.passes(8)), " 0,0");
  EXPECT_EQ(x.reading.pad, PadReading::kNoPad);
}

TEST(XInputPadTest, TheLowestConnectedPadPlaysAndKeepsPlayingWhileConnected) {
  FakeXInput x;
  for (unsigned user = 0; user < kXUserMaxCount; ++user) {
    x.gamepads[user].thumbLX = static_cast<std::int16_t>(3277 * (user + 1));
  }
  x.connected[3] = true;
  x.passes(1);  // with none in play, one slot a pass: 0
  x.connected[0] = true;
  EXPECT_EQ(read(x.passes(3)), " 10,0");  // 1, 2, then 3 answers, and 0 is asked again
  EXPECT_EQ(x.queried, (std::vector<unsigned>{0, 1, 2, 3, 0}));
  x.connected[0] = false;
  x.connected[2] = true;
  EXPECT_EQ(read(x.passes(4)), " 30,0");  // 0 lost; 0, 1, then 2
  x.connected[1] = true;
  x.queried.clear();
  EXPECT_EQ(read(x.passes(3)), " 30,0");
  EXPECT_EQ(x.queried, (std::vector<unsigned>{2, 2, 2}));
}

TEST(XInputPadTest, FallsBackToXInput910AndWithNeitherReadsNothingHeld) {
  FakeXInput both;
  EXPECT_EQ(both.log, (std::vector<std::string>{"xinput1_4.dll", "XInputGetState"}));
  FakeXInput older({"xinput9_1_0.dll"});
  EXPECT_EQ(older.log,
            (std::vector<std::string>{"xinput1_4.dll", "xinput9_1_0.dll", "XInputGetState"}));
  FakeXInput none(std::vector<std::string>{});
  none.connected[0] = true;
  none.gamepads[0].buttons = kXInputA | kXInputStart;
  EXPECT_EQ(read(none.passes(4)), " 0,0");
  EXPECT_EQ(none.reading.pad, PadReading::kNoPad);
  EXPECT_TRUE(none.queried.empty());
}

}  // namespace
}  // namespace dravik::win32
