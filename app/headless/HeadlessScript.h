// What the headless backend plays instead of a real platform: a clock that
// moves only when told (or when the frame loop sleeps), the keys and pad the
// player holds, the window messages to deliver at the next pump, the folders
// and what to fail; and what it saw: the message boxes, the start's
// progress, the frames shown. One script per process, reset by whoever
// drives the run.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/PadReading.h"
#include "game/InputState.h"

namespace dravik::headless {

enum class WindowMessage { Close, Escape, ContextLost, ContextRestored };

struct MessageBox {
  std::string caption;
  std::string text;
  bool isError = false;
};

struct Script {
  // The clock, in microseconds; each 1 ms sleep of the frame loop adds 1000.
  int64_t now = 0;
  int sleeps = 0;

  std::set<Key> heldKeys;
  PadReading pad;  // the playing pad, as read
  // Delivered in order at the next pump.
  std::deque<WindowMessage> messages;
  // Called before each pass of the frame loop with the pass's number (from
  // 1); a run that never closes is closed after passLimit passes.
  std::function<void(int pass)> beforePass;
  int passLimit = 600;

  bool failWindow = false;        // no window or context can be made
  std::string missingEntryPoint;  // the GL lookup answers null for this name
  bool startInSteps = false;      // the game starts in steps, as in a browser
  std::filesystem::path executableFolder;
  std::filesystem::path installedFolder;

  // What the run showed.
  std::vector<MessageBox> messageBoxes;
  std::vector<std::string> startProgress;  // "textures 1 of 7, 0 of 20 done"
  std::vector<int64_t> swapTimes;          // the clock at each frame shown
  int width = 0;
  int height = 0;
  bool contextCurrent = false;
};

Script& script();

}  // namespace dravik::headless
