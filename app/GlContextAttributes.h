#pragma once

namespace dravik {

// What the game asks of its GL context on a desktop, whichever backend makes
// it (and the tests' context, so that they draw as the game does): OpenGL
// 3.0, else 2.1, with 8 bits for each colour channel and alpha, a 16-bit
// depth buffer, double buffered.
struct GlVersion {
  int major;
  int minor;
};
constexpr GlVersion kPreferredGlVersion{3, 0};
constexpr GlVersion kFallbackGlVersion{2, 1};
constexpr int kGlChannelBits = 8;
constexpr int kGlDepthBits = 16;

}  // namespace dravik
