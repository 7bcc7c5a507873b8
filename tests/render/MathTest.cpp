#include <gtest/gtest.h>

#include <cmath>

#include "render/Camera.h"
#include "render/Math.h"

namespace dravik {
namespace {

constexpr double kPi = 3.14159265358979323846;

Mat4 sequence(float start) {
  Mat4 m;
  for (int i = 0; i < 16; ++i) m.m[i] = start + static_cast<float>(i);
  return m;
}

// Reference product written from the row/column definition.
Mat4 referenceProduct(const Mat4& a, const Mat4& b) {
  Mat4 out;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += double(a.m[4 * k + r]) * double(b.m[4 * c + k]);
      out.m[4 * c + r] = static_cast<float>(sum);
    }
  }
  return out;
}

// target applied to the point (x, y, z, 1).
Vec3 transformPoint(const Mat4& m, float x, float y, float z) {
  return Vec3(m.m[0] * x + m.m[4] * y + m.m[8] * z + m.m[12],
              m.m[1] * x + m.m[5] * y + m.m[9] * z + m.m[13],
              m.m[2] * x + m.m[6] * y + m.m[10] * z + m.m[14]);
}

void expectMatrixNear(const Mat4& expected, const Mat4& actual, float tolerance) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(expected.m[i], actual.m[i], tolerance) << "index " << i;
}

TEST(VectorTest, ConstructionLengthAndCross) {
  const Vec2 zero2;
  const Vec3 zero3;
  EXPECT_EQ(0.0f, zero2.x + zero2.y);
  EXPECT_EQ(0.0f, zero3.x + zero3.y + zero3.z);
  EXPECT_FLOAT_EQ(25.0f, lengthSquared(Vec2(3.0f, -4.0f)));

  struct Case {
    Vec3 a, b, expected;
  };
  const Case cases[] = {
      {Vec3(1, 0, 0), Vec3(0, 1, 0), Vec3(0, 0, 1)},
      {Vec3(0, 1, 0), Vec3(1, 0, 0), Vec3(0, 0, -1)},
      {Vec3(0, 0, 1), Vec3(1, 0, 0), Vec3(0, 1, 0)},
      {Vec3(1, 2, 3), Vec3(4, 5, 6), Vec3(-3, 6, -3)},
      {Vec3(2, 2, 2), Vec3(2, 2, 2), Vec3(0, 0, 0)},
  };
  for (const Case& c : cases) {
    const Vec3 r = cross(c.a, c.b);
    EXPECT_FLOAT_EQ(c.expected.x, r.x);
    EXPECT_FLOAT_EQ(c.expected.y, r.y);
    EXPECT_FLOAT_EQ(c.expected.z, r.z);
  }
}

TEST(MatrixTest, IdentityOverwritesEverything) {
  Mat4 m = sequence(7.0f);
  identity(m);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, m.m[i]) << i;
}

TEST(MatrixTest, MultiplyMatchesDefinitionAndIsNotCommutative) {
  const Mat4 a = sequence(1.0f);
  Mat4 b = sequence(-5.0f);
  b.m[3] = 2.5f;
  Mat4 ab;
  Mat4 ba;
  multiply(a, b, ab);
  multiply(b, a, ba);
  expectMatrixNear(referenceProduct(a, b), ab, 1e-3f);
  expectMatrixNear(referenceProduct(b, a), ba, 1e-3f);
  bool differs = false;
  for (int i = 0; i < 16; ++i) differs = differs || ab.m[i] != ba.m[i];
  EXPECT_TRUE(differs);
  // Spot check one element by hand: row 1, column 2 of a x b.
  float sum = 0.0f;
  for (int k = 0; k < 4; ++k) sum += a.m[4 * k + 1] * b.m[8 + k];
  EXPECT_FLOAT_EQ(sum, ab.m[9]);
}

TEST(MatrixTest, SetProductAllowsTheTargetAsEitherInput) {
  const Mat4 p = sequence(0.5f);
  Mat4 q = sequence(-3.0f);
  q.m[7] = 9.0f;

  Mat4 expectedRight;
  multiply(p, q, expectedRight);
  Mat4 asRight = q;
  setProduct(asRight, p, asRight);
  expectMatrixNear(expectedRight, asRight, 0.0f);

  Mat4 expectedLeft;
  multiply(q, p, expectedLeft);
  Mat4 asLeft = q;
  setProduct(asLeft, asLeft, p);
  expectMatrixNear(expectedLeft, asLeft, 0.0f);

  Mat4 expectedSquare;
  multiply(q, q, expectedSquare);
  Mat4 both = q;
  setProduct(both, both, both);
  expectMatrixNear(expectedSquare, both, 0.0f);
}

TEST(MatrixTest, TranslateFromIdentity) {
  Mat4 m;
  identity(m);
  translate(m, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(1.0f, m.m[12]);
  EXPECT_EQ(2.0f, m.m[13]);
  EXPECT_EQ(3.0f, m.m[14]);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, m.m[i]) << i;
  EXPECT_EQ(1.0f, m.m[15]);
}

TEST(MatrixTest, OperationsPostMultiply) {
  // translate then scale: the vertex is scaled first, then moved.
  Mat4 m;
  identity(m);
  translate(m, 1.0f, 1.0f, 1.0f);
  scale(m, 2.0f, 3.0f, 4.0f);
  const Vec3 p = transformPoint(m, 1.0f, 1.0f, 1.0f);
  EXPECT_FLOAT_EQ(3.0f, p.x);
  EXPECT_FLOAT_EQ(4.0f, p.y);
  EXPECT_FLOAT_EQ(5.0f, p.z);

  // The same two steps in the other order scale the translation too.
  Mat4 other;
  identity(other);
  scale(other, 2.0f, 3.0f, 4.0f);
  translate(other, 1.0f, 1.0f, 1.0f);
  const Vec3 q = transformPoint(other, 1.0f, 1.0f, 1.0f);
  EXPECT_FLOAT_EQ(4.0f, q.x);
  EXPECT_FLOAT_EQ(6.0f, q.y);
  EXPECT_FLOAT_EQ(8.0f, q.z);

  // translate then rotateZ: the rotation happens about the object's origin.
  Mat4 r;
  identity(r);
  translate(r, 10.0f, 0.0f, 0.0f);
  rotateZ(r, static_cast<float>(kPi / 2));
  const Vec3 s = transformPoint(r, 1.0f, 0.0f, 0.0f);
  EXPECT_NEAR(10.0f, s.x, 1e-5f);
  EXPECT_NEAR(1.0f, s.y, 1e-5f);
}

TEST(MatrixTest, RotateZElements) {
  Mat4 m;
  identity(m);
  rotateZ(m, static_cast<float>(kPi / 2));
  const Vec3 p = transformPoint(m, 1.0f, 0.0f, 0.0f);
  EXPECT_NEAR(0.0f, p.x, 1e-6f);
  EXPECT_NEAR(1.0f, p.y, 1e-6f);
  EXPECT_NEAR(0.0f, p.z, 1e-6f);

  const float angle = 0.3f;
  identity(m);
  rotateZ(m, angle);
  EXPECT_FLOAT_EQ(std::cos(angle), m.m[0]);
  EXPECT_FLOAT_EQ(std::sin(angle), m.m[1]);
  EXPECT_FLOAT_EQ(-std::sin(angle), m.m[4]);
  EXPECT_FLOAT_EQ(std::cos(angle), m.m[5]);
  EXPECT_EQ(1.0f, m.m[10]);
  EXPECT_EQ(1.0f, m.m[15]);
  for (int i : {2, 3, 6, 7, 8, 9, 11, 12, 13, 14}) EXPECT_EQ(0.0f, m.m[i]) << i;
}

TEST(MatrixTest, RotateAxisMatchesRotateZAboutZAndRotatesAboutX) {
  const float angle = 0.7f;
  Mat4 viaAxis = sequence(1.0f);
  Mat4 viaZ = viaAxis;
  rotateAxis(viaAxis, angle, 0.0f, 0.0f, 1.0f);
  rotateZ(viaZ, angle);
  expectMatrixNear(viaZ, viaAxis, 1e-4f);

  Mat4 m;
  identity(m);
  rotateAxis(m, static_cast<float>(kPi / 2), 1.0f, 0.0f, 0.0f);
  const Vec3 y = transformPoint(m, 0.0f, 1.0f, 0.0f);
  EXPECT_NEAR(0.0f, y.x, 1e-6f);
  EXPECT_NEAR(0.0f, y.y, 1e-6f);
  EXPECT_NEAR(1.0f, y.z, 1e-6f);

  identity(m);
  rotateAxis(m, static_cast<float>(kPi / 2), 0.0f, 1.0f, 0.0f);
  const Vec3 z = transformPoint(m, 0.0f, 0.0f, 1.0f);
  EXPECT_NEAR(1.0f, z.x, 1e-6f);
  EXPECT_NEAR(0.0f, z.z, 1e-6f);

  // The axis is used unnormalised: a doubled axis gives a different matrix.
  Mat4 unit;
  Mat4 doubled;
  identity(unit);
  identity(doubled);
  rotateAxis(unit, angle, 0.0f, 0.0f, 1.0f);
  rotateAxis(doubled, angle, 0.0f, 0.0f, 2.0f);
  const float t = 1.0f - std::cos(angle);
  EXPECT_FLOAT_EQ(std::cos(angle) + t * 4.0f, doubled.m[10]);
  EXPECT_FLOAT_EQ(2.0f * std::sin(angle), doubled.m[1]);
  EXPECT_NE(unit.m[10], doubled.m[10]);
}

TEST(MatrixTest, LoadMatrixCopiesAllSixteen) {
  const Mat4 source = sequence(3.0f);
  Mat4 target;
  loadMatrix(target, source);
  expectMatrixNear(source, target, 0.0f);
}

TEST(CameraTest, DegreeFactorIsTheGamesOwn) {
  EXPECT_EQ(0.017453292519943, kDegreesToRadians);
  EXPECT_LT(kDegreesToRadians, kPi / 180.0);
}

TEST(CameraTest, PerspectiveElements) {
  Camera camera;
  camera.resetProjection();
  camera.setPerspective(60.0f, 2.0f, 1.0f, 101.0f);
  const float half = static_cast<float>((60.0f / 2.0f) * 0.017453292519943);
  const float cot = std::cos(half) / std::sin(half);
  const Mat4& p = camera.projection();
  EXPECT_FLOAT_EQ(cot / 2.0f, p.m[0]);
  EXPECT_FLOAT_EQ(cot, p.m[5]);
  EXPECT_FLOAT_EQ(-102.0f / 100.0f, p.m[10]);
  EXPECT_EQ(-1.0f, p.m[11]);
  EXPECT_FLOAT_EQ(-2.0f * 101.0f / 100.0f, p.m[14]);
  EXPECT_EQ(0.0f, p.m[15]);
  for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13}) EXPECT_EQ(0.0f, p.m[i]) << i;
}

TEST(CameraTest, PerspectiveGuardsLeaveProjectionUntouched) {
  struct Case {
    float fovy, aspect, nearPlane, farPlane;
  };
  const Case cases[] = {
      {40.0f, 0.0f, 1.0f, 100.0f},  // zero aspect
      {40.0f, 1.5f, 5.0f, 5.0f},    // zero depth range
      {0.0f, 1.5f, 1.0f, 100.0f},   // zero half angle
  };
  for (const Case& c : cases) {
    Camera camera;
    camera.projection() = sequence(2.0f);
    camera.setPerspective(c.fovy, c.aspect, c.nearPlane, c.farPlane);
    expectMatrixNear(sequence(2.0f), camera.projection(), 0.0f);
  }
}

TEST(CameraTest, PerspectiveWritesOnlySixElements) {
  Camera camera;
  camera.projection() = sequence(2.0f);
  camera.setPerspective(45.0f, 1.0f, 1.0f, 10.0f);
  for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13}) EXPECT_EQ(2.0f + i, camera.projection().m[i]);
}

TEST(CameraTest, OrthoMapsScreenCornersToClipCorners) {
  Camera camera;
  camera.resetProjection();
  camera.setOrtho(0.0f, 1280.0f, 0.0f, 720.0f, 1.0f, 1000.0f);
  const Mat4& p = camera.projection();
  const Vec3 low = transformPoint(p, 0.0f, 0.0f, -1.0f);
  const Vec3 high = transformPoint(p, 1280.0f, 720.0f, -1000.0f);
  EXPECT_FLOAT_EQ(-1.0f, low.x);
  EXPECT_FLOAT_EQ(-1.0f, low.y);
  EXPECT_FLOAT_EQ(-1.0f, low.z);
  EXPECT_FLOAT_EQ(1.0f, high.x);
  EXPECT_FLOAT_EQ(1.0f, high.y);
  EXPECT_FLOAT_EQ(1.0f, high.z);
  EXPECT_EQ(1.0f, p.m[15]);

  // Only the six named elements are written.
  camera.projection() = sequence(2.0f);
  camera.setOrtho(-1.0f, 1.0f, -1.0f, 1.0f, 0.0f, 2.0f);
  for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 11, 15}) EXPECT_EQ(2.0f + i, camera.projection().m[i]);
}

TEST(CameraTest, LookAtBuildsAnOrthonormalViewMovingTheEyeToTheOrigin) {
  Camera camera;
  camera.setLookAt(0.0f, -10.0f, 5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  const Mat4& v = camera.view();
  const Vec3 eye = transformPoint(v, 0.0f, -10.0f, 5.0f);
  EXPECT_NEAR(0.0f, eye.x, 1e-5f);
  EXPECT_NEAR(0.0f, eye.y, 1e-5f);
  EXPECT_NEAR(0.0f, eye.z, 1e-5f);
  // The centre lies straight ahead, on the negative z axis of the view.
  const Vec3 centre = transformPoint(v, 0.0f, 0.0f, 0.0f);
  EXPECT_NEAR(0.0f, centre.x, 1e-5f);
  EXPECT_NEAR(0.0f, centre.y, 1e-5f);
  EXPECT_NEAR(-std::sqrt(125.0f), centre.z, 1e-4f);
  // Rows of the rotation block are unit length and the view's x is east.
  for (int r = 0; r < 3; ++r) {
    const float len = v.m[r] * v.m[r] + v.m[4 + r] * v.m[4 + r] + v.m[8 + r] * v.m[8 + r];
    EXPECT_NEAR(1.0f, len, 1e-5f) << r;
  }
  EXPECT_NEAR(1.0f, v.m[0], 1e-6f);
  EXPECT_EQ(0.0f, v.m[3]);
  EXPECT_EQ(0.0f, v.m[7]);
  EXPECT_EQ(0.0f, v.m[11]);
  EXPECT_EQ(1.0f, v.m[15]);

  // A non-unit up vector still gives a unit up row (u is normalised too).
  camera.setLookAt(0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 3.0f, 3.0f);
  const Mat4& w = camera.view();
  EXPECT_NEAR(1.0f, w.m[1] * w.m[1] + w.m[5] * w.m[5] + w.m[9] * w.m[9], 1e-5f);

  camera.setLookAt(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_FALSE(std::isfinite(camera.view().m[0]));
}

TEST(CameraTest, ResetsAndViewIsTheFirstMember) {
  Camera camera;
  camera.view() = sequence(1.0f);
  camera.projection() = sequence(1.0f);
  camera.resetView();
  camera.resetProjection();
  Mat4 id;
  identity(id);
  expectMatrixNear(id, camera.view(), 0.0f);
  expectMatrixNear(id, camera.projection(), 0.0f);
  EXPECT_EQ(static_cast<const void*>(&camera), static_cast<const void*>(&camera.view()));
}

}  // namespace
}  // namespace dravik
