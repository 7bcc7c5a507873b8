#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/Game.h"
#include "gl/GlApi.h"
#include "render/ShaderProgram.h"
#include "tests/support/GlTestContext.h"

namespace dravik {
namespace {

// Column-major 4 x 4 in double, element (r, c) at 4c + r, for expectations
// built from the geometry alone.
struct M4 {
  double m[16] = {};
};

M4 identityM() {
  M4 r;
  for (int i = 0; i < 4; ++i) r.m[5 * i] = 1;
  return r;
}

M4 mul(const M4& a, const M4& b) {
  M4 r;
  for (int c = 0; c < 4; ++c) {
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += a.m[4 * k + row] * b.m[4 * c + k];
      r.m[4 * c + row] = s;
    }
  }
  return r;
}

M4 fromMat(const Mat4& source) {
  M4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = source.m[i];
  return r;
}

M4 translation(double x, double y, double z) {
  M4 r = identityM();
  r.m[12] = x;
  r.m[13] = y;
  r.m[14] = z;
  return r;
}

// Rotation by angle about the unit axis u, Rodrigues' formula:
// R = I cos + (1 - cos) u u^T + sin [u]x.
M4 rodrigues(double angle, double ux, double uy, double uz) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double u[3] = {ux, uy, uz};
  const double cross[3][3] = {{0, -uz, uy}, {uz, 0, -ux}, {-uy, ux, 0}};
  M4 r = identityM();
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      r.m[4 * col + row] = (row == col ? c : 0) + (1 - c) * u[row] * u[col] + s * cross[row][col];
    }
  }
  return r;
}

M4 rotationZ(double angle) { return rodrigues(angle, 0, 0, 1); }

void expectMatrixNear(const Mat4& actual, const M4& expected) {
  double largest = 0;
  for (double v : expected.m) largest = std::fmax(largest, std::fabs(v));
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(actual.m[i], expected.m[i], 1e-5 * (1 + largest)) << "element " << i;
  }
}

class DrawInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ensureGlContext());
    saved = shaderLocations();
    // Projection folded into the model matrix, as with the basic program.
    shaderLocations().mvMat = -1;
    game = std::make_unique<Game>();
    // One unit quad spanning 0..1.
    quad.addVertex(0, 0, 0);
    quad.addVertex(0, 1, 0);
    quad.addVertex(1, 0, 0);
    quad.addVertex(1, 1, 0);
    for (int i = 0; i < 4; ++i) quad.addColour(1, 1, 1);
    quad.addUv(0, 0);
    quad.addUv(0, 1);
    quad.addUv(1, 0);
    quad.addUv(1, 1);
    quad.addTriangle(0, 2, 1);
    quad.addTriangle(1, 2, 3);
    quad.updateCounts();
    quad.createBuffers();
    entity.place(0, 0, -1, &quad, nullptr, &game->worldCamera);
    entity.setSize(1, 1, 1);
    entity.setPivot(0.5f, 0.5f);
    Camera& camera = game->worldCamera;
    camera.resetView();
    camera.resetProjection();
    camera.setPerspective(40, 1.7777778f, 1, 1000);
    camera.setLookAt(0, -30, 20, 0, 5.46237f, -5, 0, 10, 0);
  }
  void TearDown() override {
    shaderLocations() = saved;
    while (glGetError() != GL_NO_ERROR) {
    }
    test::resetGlState();
  }

  // Draws one slot; true when the entity's matrix was rebuilt.
  bool drawn(float x, float y, float z) {
    for (float& v : entity.modelMatrix.m) v = 12345.0f;
    game->drawInstance(entity, x, y, z);
    EXPECT_EQ(entity.position.x, 0.0f);
    EXPECT_EQ(entity.position.y, 0.0f);
    EXPECT_EQ(entity.position.z, -1.0f);
    for (float v : entity.modelMatrix.m) {
      if (v != 12345.0f) return true;
    }
    return false;
  }

  M4 viewProjection() const {
    return mul(fromMat(game->worldCamera.projection()), fromMat(game->worldCamera.view()));
  }

  ShaderLocations saved;
  std::unique_ptr<Game> game;
  Mesh quad;
  Entity entity;
};

TEST_F(DrawInstanceTest, ParkedSlotsAreNeverDrawn) {
  const Vec2 offsets[] = {{0, 0}, {25, 25}, {-25, -25}, {25, -25}, {-25, 25}};
  for (const Vec2& offset : offsets) {
    game->groundOffset = offset;
    EXPECT_FALSE(drawn(PARKED, PARKED, PARKED)) << offset.x << ", " << offset.y;
  }
}

TEST_F(DrawInstanceTest, CullAndTiltBoundaries) {
  struct Case {
    float x, y;
    Vec2 offset;
    bool drawn;
  };
  const Case cases[] = {
      {15, 0, {0, 0}, true},        {0, -15, {0, 0}, true},    {17.1397f, 0, {0, 0}, true},
      {17.1403f, 0, {0, 0}, false}, {0, 17.2f, {0, 0}, false}, {12.12f, 12.13f, {0, 0}, false},
      {40, 0, {25, 0}, true},       {40, 0, {0, 0}, false},    {-10, -10, {10, 10}, false},
      {-10, -10, {-10, -10}, true},
  };
  for (const Case& c : cases) {
    game->groundOffset = c.offset;
    EXPECT_EQ(drawn(c.x, c.y, -1), c.drawn) << c.x << ", " << c.y;
  }
}

TEST_F(DrawInstanceTest, AtFifteenUnitsTheEntityDrawsUntilted) {
  struct Case {
    float x, y, z;
    Vec2 offset;
  };
  const Case cases[] = {
      {15, 0, -1, {0, 0}}, {0, 15, 3, {0, 0}}, {20, 7, -1, {5, 7}}, {3, 4, 5, {0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    game->groundOffset = c.offset;
    ASSERT_TRUE(drawn(c.x, c.y, c.z));
    const double xs = c.x - c.offset.x;
    const double ys = c.y - c.offset.y;
    const M4 expected =
        mul(mul(viewProjection(), translation(xs, ys, c.z)), translation(-0.5, -0.5, 0));
    expectMatrixNear(entity.modelMatrix, expected);
  }
}

TEST_F(DrawInstanceTest, NearTheRimTheModelLeansOutAboutTheTangent) {
  struct Case {
    float x, y, z;
    Vec2 offset;
  };
  // 15.05: the lean starts at 15 units, not a little farther out.
  const Case cases[] = {{15.05f, 0, -1, {0, 0}}, {0, -15.05f, 3, {0, 0}}, {15.5f, 0, -1, {0, 0}},
                        {16, 0, -1, {0, 0}},     {16, 3, -1, {0, 0}},     {-12, 11, 3, {0, 0}},
                        {5, -16, 5, {0, 0}},     {30, 30, -1, {14, 27}},  {0, -17, -1, {0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    game->groundOffset = c.offset;
    ASSERT_TRUE(drawn(c.x, c.y, c.z));
    const double xs = c.x - c.offset.x;
    const double ys = c.y - c.offset.y;
    const double distance = std::sqrt(xs * xs + ys * ys);
    ASSERT_GT(distance, 15.0);
    // Tangent of the circle through the instance.
    const double ux = -ys / distance;
    const double uy = xs / distance;
    const M4 expected = mul(
        mul(mul(viewProjection(), translation(xs, ys, c.z)), rodrigues(distance - 15, ux, uy, 0)),
        translation(-0.5, -0.5, 0));
    expectMatrixNear(entity.modelMatrix, expected);
  }
}

TEST_F(DrawInstanceTest, TiltTurnsTheModelsUpAxisTowardTheOutside) {
  game->worldCamera.resetView();
  game->worldCamera.resetProjection();
  const float xs = 11.0f;
  const float ys = -12.0f;
  ASSERT_TRUE(drawn(xs, ys, -1));
  const Mat4& m = entity.modelMatrix;
  // The matrix's z column is where the model's +z axis ends up.
  const double upX = m.m[8];
  const double upY = m.m[9];
  const double upZ = m.m[10];
  const double distance = std::sqrt(double(xs) * xs + double(ys) * ys);
  const double outward = (upX * xs + upY * ys) / distance;
  EXPECT_NEAR(outward, std::sin(distance - 15), 1e-5);
  EXPECT_GT(outward, 0.0);
  EXPECT_NEAR(upZ, std::cos(distance - 15), 1e-5);
  // The pivot lands on the shifted position.
  const double px = m.m[0] * 0.5 + m.m[4] * 0.5 + m.m[12];
  const double py = m.m[1] * 0.5 + m.m[5] * 0.5 + m.m[13];
  EXPECT_NEAR(px, xs, 1e-5);
  EXPECT_NEAR(py, ys, 1e-5);
}

TEST_F(DrawInstanceTest, ExactlyFifteenUnitsKeepsTheEntitysOwnAngleAndSize) {
  // At d2 = 225 the tilt angle would be 0, so only the entity's own angle
  // and size tell the two paths apart.
  entity.setAngle(30);
  entity.setSize(2, 3, 1);
  const Vec2 offsets[] = {{0, 0}, {3, 0}, {-9, -12}};
  for (const Vec2& offset : offsets) {
    game->groundOffset = offset;
    ASSERT_TRUE(drawn(offset.x + 9, offset.y + 12, -1));
    M4 sized = identityM();
    sized.m[0] = 2;
    sized.m[5] = 3;
    const M4 expected = mul(
        mul(mul(mul(viewProjection(), translation(9, 12, -1)), rotationZ(30 * 0.017453292519943)),
            sized),
        translation(-0.5, -0.5, 0));
    expectMatrixNear(entity.modelMatrix, expected);
  }
}

TEST_F(DrawInstanceTest, UntiltedPathUsesTheEntitysOwnAngleTiltedPathIgnoresIt) {
  entity.setAngle(90);
  ASSERT_TRUE(drawn(10, 0, -1));
  const M4 turned =
      mul(mul(mul(viewProjection(), translation(10, 0, -1)), rotationZ(90 * 0.017453292519943)),
          translation(-0.5, -0.5, 0));
  expectMatrixNear(entity.modelMatrix, turned);

  ASSERT_TRUE(drawn(16, 0, -1));
  const M4 tilted = mul(mul(mul(viewProjection(), translation(16, 0, -1)), rodrigues(1, 0, 1, 0)),
                        translation(-0.5, -0.5, 0));
  expectMatrixNear(entity.modelMatrix, tilted);
}

}  // namespace
}  // namespace dravik
