#include "tools/Shaders.h"

namespace dravik::assets {

const char* const kBasicVertexShader = R"(#version 120
attribute vec3 inVertex;
attribute vec3 inNormal;
attribute vec2 inTexCoord;
uniform mat4 finalMatrix;
varying vec2 texCoord;
varying vec3 colour;

void main() {
  texCoord = inTexCoord;
  colour = inNormal;
  gl_Position = finalMatrix * vec4(inVertex, 1.0);
}
)";

const char* const kBasicFragmentShader = R"(#version 120
uniform sampler2D texture0;
varying vec2 texCoord;
varying vec3 colour;

void main() {
  gl_FragColor = texture2D(texture0, texCoord) * vec4(colour, 1.0);
}
)";

// The ground tile: a unit quad whose lower-left corner the game puts at
// pos - 0.5. Past the flat radius the ground bends down along a circle of
// curlRadius until it hangs straight down, then keeps falling, so the
// visible disc reads as the top of a rounded world; the pieces standing
// there lean outward to match. The fade darkens the rim towards the horizon.
const char* const kConveyorVertexShader = R"(#version 120
attribute vec3 inVertex;
attribute vec3 inNormal;
attribute vec2 inTexCoord;
uniform mat4 mvMat;
uniform mat4 projMat;
uniform vec2 pos;
varying vec2 texCoord;
varying vec3 colour;

const float flatRadius = 15.0;
const float curlRadius = 2.5;
const float quarterTurn = 1.5707963;

void main() {
  vec2 ground = pos + inVertex.xy - vec2(0.5);
  float r = length(ground);
  vec3 displaced = inVertex;
  float fade = 1.0;
  if (r > flatRadius) {
    float e = r - flatRadius;
    float angle = min(e / curlRadius, quarterTurn);
    float along = angle * curlRadius;
    float outward = curlRadius * sin(angle);
    float drop = curlRadius * (1.0 - cos(angle)) + (e - along);
    displaced.xy += ground * ((flatRadius + outward) / r - 1.0);
    displaced.z -= drop;
    fade = 1.0 - 0.6 * clamp(e / 5.0, 0.0, 1.0);
  }
  texCoord = inTexCoord;
  colour = inNormal * fade;
  gl_Position = projMat * mvMat * vec4(displaced, 1.0);
}
)";

const char* const kConveyorFragmentShader = kBasicFragmentShader;

const char* const kGameOverVertexShader = kBasicVertexShader;

const char* const kGameOverFragmentShader = R"(#version 120
uniform sampler2D texture0;
varying vec2 texCoord;
varying vec3 colour;

void main() {
  vec4 c = texture2D(texture0, texCoord) * vec4(colour, 1.0);
  float grey = dot(c.rgb, vec3(0.299, 0.587, 0.114));
  gl_FragColor = vec4(vec3(grey), c.a);
}
)";

}  // namespace dravik::assets
