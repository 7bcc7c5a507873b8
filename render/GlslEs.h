#pragma once

#include <string>

namespace dravik {

enum class ShaderStage { Vertex, Fragment };

// Rewrites one of the game's GLSL 1.20 shaders as GLSL ES 1.00, which WebGL 1
// and WebGL 2 both compile. The sources keep to what the two languages share
// (attribute, varying, texture2D, gl_FragColor, float literals without a
// suffix), so only two things change: the version line becomes
// "#version 100" (added when there is none), and a fragment shader gets the
// default float precision that GLSL ES requires, highp where the GPU has it.
// The precision block adds lines after the first, so a fragment shader's
// compile log counts kFragmentLinesAdded more than its file. An empty source
// (a file that could not be read) stays empty.
std::string adaptShaderForGlslEs(const std::string& source, ShaderStage stage);

constexpr int kFragmentLinesAdded = 5;

}  // namespace dravik
