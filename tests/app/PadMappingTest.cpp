#include <gtest/gtest.h>

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
  struct Step {
    int pad;
    bool start;
    bool pauses;
  } const steps[] = {
      // Held as the pad starts to play: no press.
      {0, true, false},
      {0, true, false},
      {0, false, false},
      {0, true, true},
      {0, true, false},
      // Another pad takes over with Start held.
      {3, true, false},
      {3, false, false},
      {3, true, true},
      // Pulled out, then plugged in again with Start held.
      {PadReading::kNoPad, false, false},
      {3, true, false},
  };
  PadMapping mapping;
  for (const Step& step : steps) {
    SCOPED_TRACE(&step - steps);
    PadReading now = reading(step.pad, {});
    now.setHeld(PadButton::Start, step.start);
    EXPECT_EQ(mapping.read(now), step.pauses);
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
