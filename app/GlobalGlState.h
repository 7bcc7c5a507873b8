#pragma once

namespace dravik {

// The GL state the whole game relies on, set once after the context and the
// entry points exist: depth test and back-face culling on, depth function
// LEQUAL, blending with source alpha, white clear colour, texture unit 0.
void setGlobalGlState();

}  // namespace dravik
