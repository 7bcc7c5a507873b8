#include "app/FrameTimer.h"

namespace dravik {

void FrameTimer::start() {
  frameStart_ = clock_.counter();
  now_ = frameStart_;
  frequency_ = clock_.frequency();
}

float FrameTimer::secondsBetween(int64_t frameStart, int64_t now, int64_t frequency) {
  const uint64_t elapsed = static_cast<uint64_t>(now) - static_cast<uint64_t>(frameStart);
  // Unsigned multiply wraps like the 64-bit counter arithmetic it stands for.
  const int64_t scaled = static_cast<int64_t>(elapsed * 1000000ull);
  if (frequency == 0) return 0.0f;
  const int64_t micros = scaled / frequency;
  return static_cast<float>(static_cast<float>(micros) / 1000000.0);
}

float FrameTimer::measure() {
  now_ = clock_.counter();
  return secondsBetween(frameStart_, now_, frequency_);
}

float FrameTimer::waitForMinimumFrameTime(float measured) {
  float dt = measured;
  while (dt < kMinimumFrameTime) {
    clock_.sleepOneMillisecond();
    dt = measure();
  }
  return dt;
}

}  // namespace dravik
