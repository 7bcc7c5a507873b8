#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gl/GlApi.h"
#include "mesh/Mesh.h"
#include "render/Camera.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TempDir.h"
#include "world/Entity.h"

namespace {

using dravik::Camera;
using dravik::Entity;
using dravik::test::kContextSize;

constexpr int kPixelsPerUnit = 4;
constexpr float kUnits = static_cast<float>(kContextSize) / kPixelsPerUnit;
// The camera looks at the world shifted by this many units.
constexpr float kViewShiftX = 1.0f;
constexpr float kViewShiftY = -1.0f;

const char* const kVertexShader = R"(#version 120
attribute vec3 inVertex;
attribute vec3 inNormal;
attribute vec2 inTexCoord;
uniform mat4 finalMatrix;
varying vec3 colour;
void main() {
  colour = inNormal + vec3(inTexCoord, 0.0) * 0.0;
  gl_Position = finalMatrix * vec4(inVertex, 1.0);
}
)";

// The same, for a program that takes model-view and projection apart.
const char* const kModelViewVertexShader = R"(#version 120
attribute vec3 inVertex;
attribute vec3 inNormal;
attribute vec2 inTexCoord;
uniform mat4 finalMatrix;
uniform mat4 mvMat;
uniform mat4 projMat;
varying vec3 colour;
void main() {
  colour = inNormal + vec3(inTexCoord, 0.0) * 0.0 + vec3(finalMatrix[0][0]) * 0.0;
  gl_Position = projMat * mvMat * vec4(inVertex, 1.0);
}
)";

const char* const kFragmentShader = R"(#version 120
uniform sampler2D texture0;
varying vec3 colour;
void main() {
  gl_FragColor = vec4(colour, 1.0);
}
)";

// Rectangle in world units, [x0, x1) x [y0, y1).
struct Rect {
  float x0, y0, x1, y1;
};

class EntityDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dravik::test::ensureGlContext());
    dravik::test::resetGlState();
    saved_ = dravik::shaderLocations();
    buildProgram(program_, kVertexShader, "plain");
    buildProgram(modelViewProgram_, kModelViewVertexShader, "modelview");
    program_.use();
    ASSERT_EQ(dravik::shaderLocations().mvMat, -1);

    // Unit quad 0..1, counter-clockwise, solid red.
    quad_.addVertex(0.0f, 0.0f, 0.0f);
    quad_.addVertex(1.0f, 0.0f, 0.0f);
    quad_.addVertex(1.0f, 1.0f, 0.0f);
    quad_.addVertex(0.0f, 1.0f, 0.0f);
    for (int i = 0; i < 4; ++i) {
      quad_.addColour(1.0f, 0.0f, 0.0f);
      quad_.addUv(0.0f, 0.0f);
    }
    quad_.addTriangle(0, 1, 2);
    quad_.addTriangle(0, 2, 3);
    quad_.updateCounts();
    quad_.createBuffers();

    camera_.resetView();
    dravik::translate(camera_.view(), kViewShiftX, kViewShiftY, 0.0f);
    camera_.resetProjection();
    camera_.setOrtho(0.0f, kUnits, 0.0f, kUnits, -10.0f, 10.0f);
  }

  void TearDown() override {
    dravik::shaderLocations() = saved_;
    dravik::test::resetGlState();
  }

  void buildProgram(dravik::ShaderProgram& program, const char* vertexSource,
                    const std::string& name) {
    const std::string vertexPath = dir_.write(name + ".vert", vertexSource);
    const std::string fragmentPath = dir_.write(name + ".frag", kFragmentShader);
    testing::internal::CaptureStdout();
    program.load(vertexPath, fragmentPath);
    program.compileAndLink();
    const std::string buildLog = testing::internal::GetCapturedStdout();
    ASSERT_EQ(buildLog, "") << name;
  }

  static void clear() {
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // Which pixels the last draws turned red, row 0 at the bottom.
  static std::vector<bool> coveredPixels() {
    std::vector<uint8_t> rgba(kContextSize * kContextSize * 4);
    glReadPixels(0, 0, kContextSize, kContextSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<bool> covered(kContextSize * kContextSize);
    for (int i = 0; i < kContextSize * kContextSize; ++i) {
      covered[i] = rgba[4 * i] > 200 && rgba[4 * i + 1] < 50 && rgba[4 * i + 2] < 50;
    }
    return covered;
  }

  // Every pixel must be covered exactly when its centre lies inside the
  // rectangle, seen through the camera's shift.
  static void expectCoverage(const std::vector<bool>& covered, const Rect& world) {
    int wrong = 0;
    std::string firstWrong;
    for (int y = 0; y < kContextSize; ++y) {
      for (int x = 0; x < kContextSize; ++x) {
        const float ux = (x + 0.5f) / kPixelsPerUnit - kViewShiftX;
        const float uy = (y + 0.5f) / kPixelsPerUnit - kViewShiftY;
        const bool inside = ux > world.x0 && ux < world.x1 && uy > world.y0 && uy < world.y1;
        if (covered[y * kContextSize + x] != inside) {
          if (wrong++ == 0) {
            firstWrong = "pixel " + std::to_string(x) + "," + std::to_string(y) +
                         (inside ? " should be covered" : " should be clear");
          }
        }
      }
    }
    EXPECT_EQ(wrong, 0) << firstWrong;
  }

  static int coveredCount(const std::vector<bool>& covered) {
    int n = 0;
    for (bool c : covered) n += c ? 1 : 0;
    return n;
  }

  dravik::test::TempDir dir_;
  dravik::ShaderProgram program_;
  dravik::ShaderProgram modelViewProgram_;
  dravik::Mesh quad_;
  Camera camera_;
  dravik::ShaderLocations saved_;
};

struct DrawCase {
  const char* what;
  float x, y;
  float angle;
  float px, py;
  float sx, sy;
  Rect expected;
};

const DrawCase kDrawCases[] = {
    {"centred, no turn", 8.0f, 8.0f, 0.0f, 0.5f, 0.5f, 4.0f, 2.0f, {6.0f, 7.0f, 10.0f, 9.0f}},
    {"centred, tall", 5.0f, 9.0f, 0.0f, 0.5f, 0.5f, 3.0f, 5.0f, {3.5f, 6.5f, 6.5f, 11.5f}},
    {"centred, quarter turn", 8.0f, 8.0f, 90.0f, 0.5f, 0.5f, 4.0f, 2.0f, {7.0f, 6.0f, 9.0f, 10.0f}},
    // Pivot on the left edge: +x of the mesh must swing up onto +y.
    {"edge pivot, quarter turn",
     8.0f,
     8.0f,
     90.0f,
     0.0f,
     0.5f,
     4.0f,
     2.0f,
     {7.0f, 8.0f, 9.0f, 12.0f}},
    {"edge pivot, quarter turn back",
     8.0f,
     8.0f,
     -90.0f,
     0.0f,
     0.5f,
     4.0f,
     2.0f,
     {7.0f, 4.0f, 9.0f, 8.0f}},
    {"corner pivot, no turn", 2.0f, 1.0f, 0.0f, 0.0f, 0.0f, 3.0f, 5.0f, {2.0f, 1.0f, 5.0f, 6.0f}},
    {"corner pivot, half turn",
     12.0f,
     12.0f,
     180.0f,
     0.0f,
     0.0f,
     4.0f,
     2.0f,
     {8.0f, 10.0f, 12.0f, 12.0f}},
};

// draw and drawShared build the same matrix, so both cover the same pixels.
TEST_F(EntityDraw, CoversExactlyThePlacedRectangle) {
  for (const bool shared : {false, true}) {
    for (const DrawCase& k : kDrawCases) {
      SCOPED_TRACE(::testing::Message() << k.what << (shared ? ", shared" : ""));
      Entity e;
      e.place(k.x, k.y, -1.0f, &quad_, nullptr, &camera_);
      e.setPivot(k.px, k.py);
      e.setSize(k.sx, k.sy, 1.0f);
      e.setAngle(k.angle);
      clear();
      if (shared) {
        e.drawShared();
      } else {
        e.draw();
      }
      expectCoverage(coveredPixels(), k.expected);
    }
  }
}

TEST_F(EntityDraw, NothingShowsAfterPlaceUntilSetSize) {
  Entity e;
  e.place(8.0f, 8.0f, 0.0f, &quad_, nullptr, &camera_);
  e.setPivot(0.5f, 0.5f);
  e.setSize(6.0f, 6.0f, 1.0f);
  clear();
  e.draw();
  ASSERT_GT(coveredCount(coveredPixels()), 0);  // the same entity shows once sized

  e.place(8.0f, 8.0f, 0.0f, &quad_, nullptr, &camera_);
  clear();
  e.draw();
  EXPECT_EQ(coveredCount(coveredPixels()), 0);
  e.drawShared();
  EXPECT_EQ(coveredCount(coveredPixels()), 0);

  e.setPivot(0.5f, 0.5f);
  e.setSize(6.0f, 6.0f, 1.0f);
  e.draw();
  expectCoverage(coveredPixels(), {5.0f, 5.0f, 11.0f, 11.0f});
}

TEST_F(EntityDraw, ModelViewProgramGetsTheMatrixWithoutProjection) {
  modelViewProgram_.use();
  ASSERT_NE(dravik::shaderLocations().mvMat, -1);
  const GLint projMat = glGetUniformLocation(modelViewProgram_.programId(), "projMat");
  ASSERT_NE(projMat, -1);
  glUniformMatrix4fv(projMat, 1, GL_FALSE, camera_.projection().m);

  const DrawCase& k = kDrawCases[3];
  Entity e;
  e.place(k.x, k.y, 0.0f, &quad_, nullptr, &camera_);
  e.setPivot(k.px, k.py);
  e.setSize(k.sx, k.sy, 1.0f);
  e.setAngle(k.angle);
  clear();
  e.draw();
  expectCoverage(coveredPixels(), k.expected);

  // The matrix left behind is view x model: the mesh corner (1, 0) sits at
  // the world point (9, 12), shifted by the view, with no projection.
  const dravik::Mat4& m = e.modelMatrix;
  EXPECT_NEAR(m[0] + m[12], 9.0f + kViewShiftX, 1e-5f);
  EXPECT_NEAR(m[1] + m[13], 12.0f + kViewShiftY, 1e-5f);
  EXPECT_NEAR(m[15], 1.0f, 1e-6f);
}

TEST_F(EntityDraw, DrawBindsTheTextureAndSharedDrawLeavesTheBinding) {
  GLuint other = 0;
  glGenTextures(1, &other);
  ASSERT_NE(other, 0u);
  dravik::Texture texture;  // never uploaded, so its GL name is 0
  ASSERT_EQ(texture.name(), 0u);
  auto bound = [] {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
  };

  Entity e;
  e.place(8.0f, 8.0f, 0.0f, &quad_, &texture, &camera_);
  e.setSize(1.0f, 1.0f, 1.0f);

  glBindTexture(GL_TEXTURE_2D, other);
  e.drawShared();
  EXPECT_EQ(bound(), static_cast<GLint>(other));
  e.draw();
  EXPECT_EQ(bound(), 0);

  glBindTexture(GL_TEXTURE_2D, other);
  e.texture = nullptr;
  e.draw();
  EXPECT_EQ(bound(), static_cast<GLint>(other));

  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &other);
}

}  // namespace
