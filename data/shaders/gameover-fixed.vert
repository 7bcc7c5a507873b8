#version 120
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
