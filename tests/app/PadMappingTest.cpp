#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/PadMapping.h"

namespace dravik {
namespace {

PadReading reading(int pad, std::initializer_list<PadButton> held, Axis stick = {}) {
  PadReading r;
  r.pad = pad;
  r.leftStick = stick;
  for (PadButton button : held) r.setHeld(button, true);
  return r;
}

TEST(PadMapping, AMovesTheCameraYTheProjectionAndTheStickAndDpadMove) {
  PadMapping mapping;
  mapping.read(reading(0,
                       {PadButton::A, PadButton::Y, PadButton::DpadUp, PadButton::DpadLeft,
                        PadButton::B, PadButton::X, PadButton::Back},
                       {0.5f, -0.25f}));
  const PadState& pad = mapping.pad();
  EXPECT_TRUE(pad.camera && pad.projection && pad.dpadUp && pad.dpadLeft);
  EXPECT_FALSE(pad.dpadDown || pad.dpadRight);
  EXPECT_EQ(pad.stick.x, 0.5f);
  EXPECT_EQ(pad.stick.y, -0.25f);
  mapping.read(reading(PadReading::kNoPad, {}));  // pulled out mid-move
  EXPECT_FALSE(mapping.pad().camera || mapping.pad().projection || mapping.pad().dpadUp);
  EXPECT_EQ(mapping.pad().stick.x, 0.0f);
}

TEST(PadMapping, StartPausesOncePerPressOfThePadThatPlays) {
  // A reading a word: the pad that plays (- for none), S while Start is
  // held, ! where it pauses. Held as a pad starts to play (the first, one
  // taking over, one plugged in again) it is no press.
  std::istringstream steps("0S 0S 0 0S! 0S 3S 3 3S! - 3S");
  PadMapping mapping;
  for (std::string step; steps >> step;) {
    SCOPED_TRACE(step);
    const int pad = step[0] == '-' ? PadReading::kNoPad : step[0] - '0';
    const bool start = step.find('S') != std::string::npos;
    EXPECT_EQ(mapping.read(reading(pad, {start ? PadButton::Start : PadButton::B})),
              step.back() == '!');
  }
}

TEST(PadMapping, CombinedReadingsTakeTheFurtherStickAndEitherButton) {
  const PadReading both =
      combineReadings(reading(2, {PadButton::Y}, {0.3f, -0.9f}),
                      reading(PadReading::kNoPad, {PadButton::A}, {-0.6f, 0.1f}));
  EXPECT_EQ(both.pad, 2);
  EXPECT_TRUE(both.held(PadButton::A) && both.held(PadButton::Y));
  EXPECT_EQ(both.leftStick.x, -0.6f);
  EXPECT_EQ(both.leftStick.y, -0.9f);
}

}  // namespace
}  // namespace dravik
