#version 120
uniform sampler2D texture0;
varying vec2 texCoord;
varying vec3 colour;

void main() {
  vec4 c = texture2D(texture0, texCoord) * vec4(colour, 1.0);
  float grey = dot(c.rgb, vec3(0.299, 0.587, 0.114));
  gl_FragColor = vec4(vec3(grey), c.a);
}
