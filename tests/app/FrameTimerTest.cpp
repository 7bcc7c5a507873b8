#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/FrameTimer.h"

namespace dravik {
namespace {

// A scripted performance counter: each reading returns the current tick
// count; each sleep advances it by sleepTicks; frequency is fixed.
struct FakeClock {
  static int64_t ticks;
  static int64_t sleepTicks;
  static int64_t frequency;
  static int sleeps;
  static std::vector<int64_t> readings;

  static int64_t counter() {
    readings.push_back(ticks);
    return ticks;
  }
  static int64_t freq() { return frequency; }
  static void sleep() {
    ++sleeps;
    ticks += sleepTicks;
  }
  static void reset(int64_t start, int64_t perSleep, int64_t ticksPerSecond) {
    ticks = start;
    sleepTicks = perSleep;
    frequency = ticksPerSecond;
    sleeps = 0;
    readings.clear();
  }
  static ClockSource source() {
    ClockSource c;
    c.counter = counter;
    c.frequency = freq;
    c.sleepOneMillisecond = sleep;
    return c;
  }
};
int64_t FakeClock::ticks = 0;
int64_t FakeClock::sleepTicks = 0;
int64_t FakeClock::frequency = 1;
int FakeClock::sleeps = 0;
std::vector<int64_t> FakeClock::readings;

struct FakeWindow {
  bool active = true;
  int pumps = 0;
  int swaps = 0;
  int64_t ticksPerPump = 0;
  int padReads = 0;
  bool startOnNextRead = false;
  void pumpMessages() {
    ++pumps;
    FakeClock::ticks += ticksPerPump;
  }
  void readGamepad() {
    ++padReads;
    if (startOnNextRead) active = !active;
    startOnNextRead = false;
  }
  void swapBuffers() { ++swaps; }
};

struct FakeGame {
  std::vector<float> dts;
  int renders = 0;
  int64_t ticksPerUpdate = 0;
  void update(float dt) {
    dts.push_back(dt);
    FakeClock::ticks += ticksPerUpdate;
  }
  void render() { ++renders; }
};

bool contextPresent() { return true; }
bool contextGone() { return false; }

TEST(FrameTimeArithmetic, TruncatesToWholeMicroseconds) {
  // 1 tick at 3 ticks per second: 333333.33 us truncates to 333333.
  EXPECT_FLOAT_EQ(FrameTimer::secondsBetween(0, 1, 3), 0.333333f);
  // Negative elapsed time truncates toward zero, not toward minus infinity.
  EXPECT_FLOAT_EQ(FrameTimer::secondsBetween(1, 0, 3), -0.333333f);
  // 15 ms on a 10 MHz counter.
  EXPECT_FLOAT_EQ(FrameTimer::secondsBetween(1000, 1000 + 150000, 10000000), 0.015f);
}

TEST(FrameTimeArithmetic, MultiplicationWrapsLikeSixtyFourBitCounters) {
  // elapsed * 1e6 overflows 64 bits here; the result must be the wrapped
  // product divided by the frequency, as the counter arithmetic gives.
  const int64_t elapsed = INT64_C(10000000000000);  // 1e13 ticks
  const uint64_t wrapped = static_cast<uint64_t>(elapsed) * 1000000ull;
  const int64_t micros = static_cast<int64_t>(wrapped) / 1000;
  const float expected = static_cast<float>(static_cast<float>(micros) / 1000000.0);
  EXPECT_FLOAT_EQ(FrameTimer::secondsBetween(0, elapsed, 1000), expected);
}

TEST(FrameLoop, FastFrameWaitsInMillisecondSleepsUntilMinimum) {
  // 1 MHz counter; each sleep takes 1.2 ms.
  FakeClock::reset(500, 1200, 1000000);
  FrameTimer timer(FakeClock::source());
  timer.start();
  FakeWindow window;
  FakeGame game;
  ASSERT_TRUE(runFramePass(window, game, timer, contextPresent));
  // 13 sleeps give 15.6 ms, the first reading at or above 15 ms.
  EXPECT_EQ(FakeClock::sleeps, 13);
  ASSERT_EQ(game.dts.size(), 1u);
  EXPECT_FLOAT_EQ(game.dts[0], 0.0156f);
  EXPECT_EQ(game.renders, 1);
  EXPECT_EQ(window.swaps, 1);
}

TEST(FrameLoop, SlowFrameIsNotDelayed) {
  FakeClock::reset(0, 1000, 1000000);
  FrameTimer timer(FakeClock::source());
  timer.start();
  FakeWindow window;
  window.ticksPerPump = 20000;  // the pump alone took 20 ms
  FakeGame game;
  runFramePass(window, game, timer, contextPresent);
  EXPECT_EQ(FakeClock::sleeps, 0);
  ASSERT_EQ(game.dts.size(), 1u);
  EXPECT_FLOAT_EQ(game.dts[0], 0.02f);
}

TEST(FrameLoop, ExactlyMinimumFrameTimeIsNotDelayed) {
  FakeClock::reset(0, 1000, 1000000);
  FrameTimer timer(FakeClock::source());
  timer.start();
  FakeWindow window;
  window.ticksPerPump = 15000;
  FakeGame game;
  runFramePass(window, game, timer, contextPresent);
  EXPECT_EQ(FakeClock::sleeps, 0);
  EXPECT_FLOAT_EQ(game.dts.at(0), 0.015f);
}

TEST(FrameLoop, NextFrameMeasuresFromLastReadingOfTheWait) {
  FakeClock::reset(0, 4000, 1000000);
  FrameTimer timer(FakeClock::source());
  timer.start();
  FakeWindow window;
  FakeGame game;
  game.ticksPerUpdate = 3000;  // update + render take 3 ms after the wait
  runFramePass(window, game, timer, contextPresent);
  // Waited 4 sleeps to 16 ms; the 3 ms of update belong to the next frame.
  EXPECT_FLOAT_EQ(game.dts.at(0), 0.016f);
  window.ticksPerPump = 13000;
  runFramePass(window, game, timer, contextPresent);
  EXPECT_EQ(FakeClock::sleeps, 4);
  EXPECT_FLOAT_EQ(game.dts.at(1), 0.016f);
}

TEST(FrameLoop, PausedTimeNeverReachesTheGame) {
  FakeClock::reset(0, 1000, 1000000);
  FrameTimer timer(FakeClock::source());
  timer.start();
  FakeWindow window;
  FakeGame game;
  window.active = false;
  window.ticksPerPump = 500000;  // half a second per paused pass
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(runFramePass(window, game, timer, contextPresent));
  }
  EXPECT_TRUE(game.dts.empty());
  EXPECT_EQ(game.renders, 0);
  EXPECT_EQ(window.swaps, 10);
  EXPECT_EQ(window.padReads, 10);  // so that Start can resume the game
  EXPECT_EQ(FakeClock::sleeps, 0);
  window.active = true;
  window.ticksPerPump = 0;
  runFramePass(window, game, timer, contextPresent);
  ASSERT_EQ(game.dts.size(), 1u);
  EXPECT_LT(game.dts[0], 0.02f);
  EXPECT_GE(game.dts[0], 0.015f);
}

TEST(FrameLoop, LoadingTimeBeforeStartIsNotHandedToTheGame) {
  FakeClock::reset(0, 1000, 1000000);
  FrameTimer timer(FakeClock::source());
  FakeClock::ticks = 5000000;  // five seconds of loading before the first reading
  timer.start();
  FakeWindow window;
  FakeGame game;
  runFramePass(window, game, timer, contextPresent);
  EXPECT_FLOAT_EQ(game.dts.at(0), 0.015f);
}

TEST(FrameLoop, PassAfterContextLossOnlySwaps) {
  FakeClock::reset(0, 1000, 1000000);
  FrameTimer timer(FakeClock::source());
  timer.start();
  FakeWindow window;
  FakeGame game;
  EXPECT_FALSE(runFramePass(window, game, timer, contextGone));
  EXPECT_TRUE(game.dts.empty());
  EXPECT_EQ(window.swaps, 1);
}

TEST(FrameLoop, WithoutSleepAnEarlyPassSkipsAndTheFrameKeepsItsStart) {
  // A browser's clock (no sleep) and passes every 8 ms, as on a 120 Hz display.
  FakeClock::reset(0, 1000, 1000000);
  ClockSource clock = FakeClock::source();
  clock.sleepOneMillisecond = nullptr;
  FrameTimer timer(clock);
  timer.start();
  FakeWindow window;
  window.ticksPerPump = 8000;
  FakeGame game;
  const bool ran[] = {false, true, false, true};  // at 8, 16, 24 and 32 ms
  for (bool expected : ran) EXPECT_EQ(expected, runFramePass(window, game, timer, contextPresent));
  // Each update gets the time since the last one, not since the skipped pass.
  EXPECT_EQ(game.dts, (std::vector<float>{0.016f, 0.016f}));
  EXPECT_EQ(game.renders, 2);
  EXPECT_EQ(window.swaps, 2);
  EXPECT_EQ(window.padReads, 2);  // taps wait for the pass that runs
}

TEST(FrameLoop, StartReadInAPassActsBeforeItsUpdate) {
  FakeClock::reset(0, 1000, 1000000);
  FrameTimer timer(FakeClock::source());
  timer.start();
  FakeWindow window;
  FakeGame game;
  window.startOnNextRead = true;
  EXPECT_FALSE(runFramePass(window, game, timer, contextPresent));
  window.startOnNextRead = true;
  EXPECT_TRUE(runFramePass(window, game, timer, contextPresent));
  EXPECT_EQ(game.dts.size(), 1u);
}

}  // namespace
}  // namespace dravik
