#pragma once

namespace dravik::test {

// Makes a real GL context current for the test process (SDL offscreen
// driver, so no X server is needed) and fills the GL entry points. Created
// once, on first use; later calls return the same context. The drawable is
// kSize x kSize pixels. Fails the calling test when no context can be made.
bool ensureGlContext();

constexpr int kContextSize = 64;

// Resets the GL state a test may have changed to the game's start-up state.
void resetGlState();

}  // namespace dravik::test
