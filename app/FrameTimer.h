#pragma once

#include <cstdint>

namespace dravik {

// Where the frame timer reads time from: the platform's performance counter
// and its 1 ms sleep, or a scripted clock in tests. A thread that must never
// block (a browser's main thread) gives no sleep.
struct ClockSource {
  int64_t (*counter)() = nullptr;
  int64_t (*frequency)() = nullptr;
  void (*sleepOneMillisecond)() = nullptr;
};

// Measures frame times from the performance counter and holds the frame
// rate down to one frame per 15 ms.
class FrameTimer {
 public:
  static constexpr float kMinimumFrameTime = 0.015f;

  explicit FrameTimer(const ClockSource& clock) : clock_(clock) {}

  // Takes the first reading, then the frequency.
  void start();
  // Seconds since the frame started, from a fresh counter reading.
  float measure();
  // Sleeps in 1 ms steps until at least the minimum frame time has passed
  // since the frame started; returns the last measured time.
  float waitForMinimumFrameTime(float measured);
  // The next frame is measured from the last reading of this one.
  void endFrame() { frameStart_ = now_; }
  // Whether the clock can sleep; without, an early frame is skipped instead.
  bool canWait() const { return clock_.sleepOneMillisecond != nullptr; }

  // The frame-time arithmetic on its own: elapsed ticks times one million
  // (wrapping), divided by the frequency with truncation, in float seconds.
  static float secondsBetween(int64_t frameStart, int64_t now, int64_t frequency);

 private:
  ClockSource clock_;
  int64_t frameStart_ = 0;
  int64_t now_ = 0;
  int64_t frequency_ = 1;
};

// One pass of the frame loop, for any window and game with the shell's
// operations. Returns whether the game ran this pass.
//
// Where the clock cannot sleep, a pass that comes less than the minimum
// frame time after the frame started does nothing more: no update, no
// render, no swap, and the frame goes on, so the next pass measures from the
// same start. The picture on screen stays as the last render left it.
//
// The gamepad is read after the messages in every pass but one that ends
// early, paused or not, so that its Start can resume the game. An early pass
// leaves it unread: a button tapped since the last reading still reads as
// held in the pass that runs.
template <class Window, class Scene>
bool runFramePass(Window& window, Scene& scene, FrameTimer& timer, bool (*contextAvailable)()) {
  window.pumpMessages();
  float dt = timer.measure();
  // A close request deletes the GL context inside the pump, and a browser
  // may take it away (a context loss) until it gives a new one back; update
  // and render both make GL calls, so such a pass only swaps, and the play
  // state waits as it was.
  const auto canRun = [&window, contextAvailable] { return window.active && contextAvailable(); };
  const auto tooEarly = [&timer, &dt] {
    return !timer.canWait() && dt < FrameTimer::kMinimumFrameTime;
  };
  if (canRun() && tooEarly()) return false;
  window.readGamepad();
  bool ran = false;
  if (canRun()) {
    if (tooEarly()) return false;  // resumed by the pad's Start
    dt = timer.waitForMinimumFrameTime(dt);
    scene.update(dt);
    scene.render();
    ran = true;
  }
  window.swapBuffers();
  timer.endFrame();
  return ran;
}

}  // namespace dravik
