// GLSL 1.20 sources of the game's three programs. Attribute and uniform
// names are the ones every draw call looks up.
#pragma once

namespace dravik::assets {

extern const char* const kBasicVertexShader;
extern const char* const kBasicFragmentShader;
extern const char* const kConveyorVertexShader;
extern const char* const kConveyorFragmentShader;
extern const char* const kGameOverVertexShader;
extern const char* const kGameOverFragmentShader;

// Ground that lies flat out to this distance from the view centre, then
// curls down.
constexpr float kFlatRadius = 15.0f;
constexpr float kCurlRadius = 2.5f;

}  // namespace dravik::assets
