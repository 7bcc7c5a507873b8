// A trivial program and read-back helpers for the mesh drawing tests.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

#include "gl/GlApi.h"
#include "render/Math.h"
#include "render/ShaderProgram.h"
#include "tests/support/GlTestContext.h"

namespace dravik::test {

// Entry points the game does not use, fetched for the checks only.
struct GlQueries {
  void(DRAVIK_GLAPIENTRY* getBufferParameteriv)(GLenum, GLenum, GLint*);
  void(DRAVIK_GLAPIENTRY* getBufferSubData)(GLenum, GLintptr, GLsizeiptr, void*);
  void(DRAVIK_GLAPIENTRY* getUniformiv)(GLuint, GLint, GLint*);
  GLboolean(DRAVIK_GLAPIENTRY* isBuffer)(GLuint);
};

inline const GlQueries& glQueries() {
  static const GlQueries q = [] {
    GlQueries r;
    r.getBufferParameteriv = reinterpret_cast<decltype(r.getBufferParameteriv)>(
        SDL_GL_GetProcAddress("glGetBufferParameteriv"));
    r.getBufferSubData =
        reinterpret_cast<decltype(r.getBufferSubData)>(SDL_GL_GetProcAddress("glGetBufferSubData"));
    r.getUniformiv =
        reinterpret_cast<decltype(r.getUniformiv)>(SDL_GL_GetProcAddress("glGetUniformiv"));
    r.isBuffer = reinterpret_cast<decltype(r.isBuffer)>(SDL_GL_GetProcAddress("glIsBuffer"));
    return r;
  }();
  return q;
}

// The queries below are not in the game's table: the binding is sent to the
// driver first.
inline GLint bufferSize(GLuint buffer) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glentry::syncDriverState();
  GLint size = -1;
  glQueries().getBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  return size;
}

inline std::vector<float> bufferFloats(GLuint buffer, std::size_t count) {
  std::vector<float> out(count, -1.0f);
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glentry::syncDriverState();
  glQueries().getBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * 4), out.data());
  return out;
}

// Colour = per-vertex colour times the texture at the vertex's uv.
constexpr const char* kVertexSource = R"(#version 120
attribute vec3 inVertex;
attribute vec3 inNormal;
attribute vec2 inTexCoord;
uniform mat4 finalMatrix;
varying vec3 colour;
varying vec2 uv;
void main() {
  colour = inNormal;
  uv = inTexCoord;
  gl_Position = finalMatrix * vec4(inVertex, 1.0);
})";

constexpr const char* kFragmentSource = R"(#version 120
uniform sampler2D texture0;
varying vec3 colour;
varying vec2 uv;
void main() { gl_FragColor = vec4(colour, 1.0) * texture2D(texture0, uv); })";

inline GLuint compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  EXPECT_EQ(ok, 1) << "test shader does not compile";
  return shader;
}

// Makes the test program current and fills shaderLocations() from it.
inline GLuint useTestProgram() {
  static const GLuint program = [] {
    const GLuint p = glCreateProgram();
    glAttachShader(p, compile(GL_VERTEX_SHADER, kVertexSource));
    glAttachShader(p, compile(GL_FRAGMENT_SHADER, kFragmentSource));
    glLinkProgram(p);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    EXPECT_EQ(ok, 1) << "test program does not link";
    return p;
  }();
  glUseProgram(program);
  ShaderLocations& at = shaderLocations();
  at.finalMatrix = glGetUniformLocation(program, "finalMatrix");
  at.texture0 = glGetUniformLocation(program, "texture0");
  at.inVertex = glGetAttribLocation(program, "inVertex");
  at.inNormal = glGetAttribLocation(program, "inNormal");
  at.inTexCoord = glGetAttribLocation(program, "inTexCoord");
  at.mvMat = -1;
  return program;
}

// Binds to unit 0 a texture of RGBA texels side by side, nearest filtering.
inline void bindTexels(const std::vector<uint8_t>& rgba) {
  static GLuint texture = 0;
  if (texture == 0) glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(rgba.size() / 4), 1, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, rgba.data());
}

inline std::array<int, 3> pixelAt(int x, int y) {
  std::array<uint8_t, 4> p{};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return {p[0], p[1], p[2]};
}

inline Mat4 identityMatrix() {
  Mat4 m;
  identity(m);
  return m;
}

// Context, program and a white texture ready, framebuffer cleared to white.
class GlTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ensureGlContext());
    resetGlState();
    useTestProgram();
    bindTexels({255, 255, 255, 255});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override { EXPECT_EQ(glGetError(), GL_NO_ERROR); }
};

using Rgb = std::array<int, 3>;
constexpr Rgb kWhite{255, 255, 255};

}  // namespace dravik::test
