#version 120
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
