#include <gtest/gtest.h>

#include <cmath>

#include "gl/GlApi.h"
#include "tests/support/GlTestContext.h"
#include "tests/tools/AssetFiles.h"

namespace dravik::test {
namespace {

// Compiles and links one of the committed shader pairs; 0 on failure, with
// the GL log in the test output.
GLuint buildProgram(const std::string& name) {
  GLuint program = glCreateProgram();
  const GLenum kinds[] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
  const char* suffixes[] = {".vert", ".frag"};
  for (int i = 0; i < 2; ++i) {
    const std::string source = readText("data/shaders/" + name + suffixes[i]);
    const char* text = source.c_str();
    const GLuint shader = glCreateShader(kinds[i]);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
      char log[1024] = {};
      glGetShaderInfoLog(shader, sizeof log, nullptr, log);
      ADD_FAILURE() << name << suffixes[i] << ": " << log;
      return 0;
    }
    glAttachShader(program, shader);
    glDeleteShader(shader);
  }
  glLinkProgram(program);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    ADD_FAILURE() << name << " does not link";
    return 0;
  }
  return program;
}

TEST(ShaderFiles, ProgramsLinkWithTheNamesTheGameLooksUp) {
  ASSERT_TRUE(ensureGlContext());
  const struct {
    const char* program;
    std::vector<const char*> uniforms;
  } cases[] = {
      {"basic-fixed", {"finalMatrix", "texture0"}},
      {"gameover-fixed", {"finalMatrix", "texture0"}},
      {"conveyor-map", {"texture0", "mvMat", "projMat", "pos"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    const GLuint program = buildProgram(c.program);
    ASSERT_NE(program, 0u);
    for (const char* attribute : {"inVertex", "inNormal", "inTexCoord"}) {
      EXPECT_GE(glGetAttribLocation(program, attribute), 0) << attribute;
    }
    for (const char* uniform : c.uniforms) {
      EXPECT_GE(glGetUniformLocation(program, uniform), 0) << uniform;
    }
  }
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

// Draws a unit quad through `program` over a cleared black 64 x 64 target
// with a 1 x 1 white texture and the given vertex colour.
class ShaderDraw : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ensureGlContext());
    resetGlState();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glViewport(0, 0, kContextSize, kContextSize);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const uint8_t white[4] = {255, 255, 255, 255};
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  }
  void TearDown() override {
    glUseProgram(0);
    glDeleteTextures(1, &texture_);
    resetGlState();
  }

  void drawQuad(GLuint program, float r, float g, float b) {
    const float positions[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const float colours[] = {r, g, b, r, g, b, r, g, b, r, g, b};
    const float uvs[] = {0, 0, 1, 0, 1, 1, 0, 1};
    const uint16_t indices[] = {0, 1, 2, 0, 2, 3};
    glUniform1i(glGetUniformLocation(program, "texture0"), 0);
    const struct {
      const char* name;
      int size;
      const float* data;
    } streams[] = {{"inVertex", 3, positions}, {"inNormal", 3, colours}, {"inTexCoord", 2, uvs}};
    for (const auto& s : streams) {
      const GLint at = glGetAttribLocation(program, s.name);
      ASSERT_GE(at, 0) << s.name;
      glEnableVertexAttribArray(static_cast<GLuint>(at));
      glVertexAttribPointer(static_cast<GLuint>(at), s.size, GL_FLOAT, GL_FALSE, 0, s.data);
    }
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, indices);
    for (const auto& s : streams) {
      glDisableVertexAttribArray(static_cast<GLuint>(glGetAttribLocation(program, s.name)));
    }
  }

  std::array<uint8_t, 4> pixel(int x, int y) const {
    std::array<uint8_t, 4> rgba{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }

  GLuint texture_ = 0;
};

// Column-major: scale and offset x and y, leave z, w.
void placement(float* m, float scale, float offsetX, float offsetY) {
  for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1.0f : 0.0f;
  m[0] = m[5] = scale;
  m[12] = offsetX;
  m[13] = offsetY;
}

TEST_F(ShaderDraw, BasicMultipliesTextureByVertexColour) {
  const GLuint program = buildProgram("basic-fixed");
  ASSERT_NE(program, 0u);
  glUseProgram(program);
  float matrix[16];
  placement(matrix, 1.0f, -0.5f, -0.5f);  // the quad covers the middle of the target
  glUniformMatrix4fv(glGetUniformLocation(program, "finalMatrix"), 1, GL_FALSE, matrix);
  drawQuad(program, 1.0f, 0.5f, 0.0f);
  const auto centre = pixel(32, 32);
  EXPECT_EQ(centre[0], 255);
  EXPECT_NEAR(centre[1], 128, 2);
  EXPECT_EQ(centre[2], 0);
  EXPECT_EQ(pixel(2, 2)[0], 0);  // outside the quad
}

TEST_F(ShaderDraw, GameOverIsGrey) {
  const GLuint program = buildProgram("gameover-fixed");
  ASSERT_NE(program, 0u);
  glUseProgram(program);
  float matrix[16];
  placement(matrix, 1.0f, -0.5f, -0.5f);
  glUniformMatrix4fv(glGetUniformLocation(program, "finalMatrix"), 1, GL_FALSE, matrix);
  drawQuad(program, 1.0f, 0.0f, 0.0f);
  const auto centre = pixel(32, 32);
  EXPECT_NEAR(centre[0], 76, 2);  // 0.299 of full red
  EXPECT_EQ(centre[0], centre[1]);
  EXPECT_EQ(centre[1], centre[2]);
}

// Ground tiles seen from straight above: projMat maps world x in 8..24 and
// y in -8..8 onto the target, mvMat puts the tile's corner at pos - 0.5.
class ConveyorDraw : public ShaderDraw {
 protected:
  // Draws the tile for pos = (x, 0) and returns the columns it covers on
  // the middle row.
  std::pair<int, int> tileColumns(float x) {
    glClear(GL_COLOR_BUFFER_BIT);
    program_ = program_ != 0 ? program_ : buildProgram("conveyor-map");
    EXPECT_NE(program_, 0u);
    glUseProgram(program_);
    float projection[16];
    placement(projection, 1.0f / 8.0f, -2.0f, 0.0f);
    projection[10] = 0.01f;  // keep dropped vertices inside the depth range
    float modelView[16];
    placement(modelView, 1.0f, x - 0.5f, -0.5f);
    glUniformMatrix4fv(glGetUniformLocation(program_, "projMat"), 1, GL_FALSE, projection);
    glUniformMatrix4fv(glGetUniformLocation(program_, "mvMat"), 1, GL_FALSE, modelView);
    glUniform2f(glGetUniformLocation(program_, "pos"), x, 0.0f);
    drawQuad(program_, 1.0f, 1.0f, 1.0f);
    int first = -1, last = -1;
    for (int column = 0; column < kContextSize; ++column) {
      if (pixel(column, 32)[1] > 0) {
        if (first < 0) first = column;
        last = column;
      }
    }
    return {first, last};
  }
  // Column of world x on the target.
  static double columnOf(double x) { return (x - 8.0) / 16.0 * kContextSize; }

  GLuint program_ = 0;
};

TEST_F(ConveyorDraw, FlatInsideTheRadiusCurledInwardBeyondIt) {
  // Inside radius 15 the tile lies where it stands, 4 columns wide.
  const auto [nearFirst, nearLast] = tileColumns(10.0f);
  EXPECT_NEAR(nearFirst, columnOf(9.5), 1.0);
  EXPECT_NEAR(nearLast, columnOf(10.5) - 1, 1.0);
  const int flatGreen = pixel(static_cast<int>(columnOf(10.0)), 32)[1];
  // At 17.5 units the ground bends down: seen from above it lies nearer the
  // centre than its flat place, and foreshortened.
  const auto [farFirst, farLast] = tileColumns(17.5f);
  ASSERT_GE(farFirst, 0) << "the curled tile must still be drawn";
  EXPECT_LT(farLast, columnOf(18.0) - 1.5);
  EXPECT_LT(farLast - farFirst + 1, 0.75 * (nearLast - nearFirst + 1));
  // And it is darker, fading towards the horizon.
  EXPECT_LT(pixel(farFirst, 32)[1], flatGreen);
}

}  // namespace
}  // namespace dravik::test
