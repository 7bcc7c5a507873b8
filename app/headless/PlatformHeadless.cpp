// The headless backend's platform services, all of them read from or told
// to the script: GL lookup through EGL, message boxes, the clock, keys, pad,
// folders, the start and the frame loop.
#include <EGL/egl.h>

#include <string>

#include "app/MessageBoxText.h"
#include "app/Platform.h"
#include "app/headless/HeadlessScript.h"
#include "gl/GlApi.h"

namespace dravik {

namespace headless {

Script& script() {
  static Script instance;
  return instance;
}

}  // namespace headless

namespace {

headless::Script& script() { return headless::script(); }

void* lookupGlEntryPoint(const char* name) {
  if (script().missingEntryPoint == name) return nullptr;
  return reinterpret_cast<void*>(eglGetProcAddress(name));
}

int64_t counter() { return script().now; }
int64_t frequency() { return 1000000; }
void sleepOneMillisecond() {
  script().now += 1000;
  ++script().sleeps;
}

void recordStartProgress(const char* stage, int item, int items, int stepsDone, int steps) {
  script().startProgress.push_back(std::string(stage) + " " + std::to_string(item) + " of " +
                                   std::to_string(items) + ", " + std::to_string(stepsDone) +
                                   " of " + std::to_string(steps) + " done");
}

}  // namespace

void loadGLFunctions() { glentry::loadAll(lookupGlEntryPoint); }

void showMessageBox(const char* caption, const char* text, bool isError) {
  echoMessageBoxText(caption, text);
  script().messageBoxes.push_back({caption != nullptr ? caption : "", text, isError});
}

ClockSource platformClock() { return {counter, frequency, sleepOneMillisecond}; }

bool platformKeyHeld(Key key) { return script().heldKeys.count(key) != 0; }

void platformReadPad(PadReading& reading) { reading = script().pad; }

std::filesystem::path platformExecutableFolder() { return script().executableFolder; }
std::filesystem::path platformInstalledFolder() { return script().installedFolder; }

StartProgressView platformStartInSteps() {
  return script().startInSteps ? recordStartProgress : nullptr;
}

bool platformRunPasses(bool (*pass)(void* state), void* state) {
  for (int number = 1;; ++number) {
    if (number > script().passLimit) script().messages.push_back(headless::WindowMessage::Close);
    if (script().beforePass) script().beforePass(number);
    if (!pass(state)) return true;
  }
}

}  // namespace dravik
