#include <gtest/gtest.h>

#include <cmath>

#include "render/Camera.h"
#include "render/ShaderProgram.h"
#include "world/Entity.h"

namespace {

using dravik::Camera;
using dravik::Entity;
using dravik::Mat4;

struct Point {
  double x, y, z, w;
};

// Column-major product, written out here so the check does not lean on the
// game's own matrix code.
Point apply(const Mat4& m, const Point& p) {
  Point r{};
  double* out[4] = {&r.x, &r.y, &r.z, &r.w};
  for (int row = 0; row < 4; ++row) {
    *out[row] = m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row] * p.w;
  }
  return r;
}

// A camera whose view and projection are both far from identity.
Camera makeCamera() {
  Camera camera;
  camera.resetView();
  camera.setLookAt(3.0f, -7.0f, 12.0f, 1.0f, 2.0f, -1.0f, 0.0f, 0.0f, 1.0f);
  camera.resetProjection();
  camera.setPerspective(50.0f, 16.0f / 9.0f, 0.5f, 200.0f);
  return camera;
}

// Where a mesh vertex should land: position + Rz(angle) applied to the
// pivot-shifted, scaled vertex, as a homogeneous world point.
Point worldPoint(const Entity& e, double mx, double my, double mz) {
  const double radians = static_cast<float>(e.angle * 0.017453292519943);
  const double lx = (mx - e.pivot.x) * e.size.x;
  const double ly = (my - e.pivot.y) * e.size.y;
  const double lz = mz * e.size.z;
  return {e.position.x + std::cos(radians) * lx - std::sin(radians) * ly,
          e.position.y + std::sin(radians) * lx + std::cos(radians) * ly, e.position.z + lz, 1.0};
}

void expectNear(const Point& actual, const Point& expected) {
  const double scale = 1.0 + std::fabs(expected.x) + std::fabs(expected.y) + std::fabs(expected.z) +
                       std::fabs(expected.w);
  const double tolerance = 2e-5 * scale;
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
  EXPECT_NEAR(actual.w, expected.w, tolerance);
}

struct Placement {
  float x, y, z;
  float angle;
  float px, py;
  float sx, sy, sz;
};

const Placement kPlacements[] = {
    {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
    {4.0f, -3.0f, -1.0f, 0.0f, 0.5f, 0.5f, 2.0f, 3.0f, 1.0f},
    {4.0f, -3.0f, -1.0f, 90.0f, 0.5f, 0.5f, 2.0f, 3.0f, 1.0f},
    {-6.5f, 2.25f, 1.5f, 180.0f, 0.0f, 0.0f, 1.0f, 4.0f, 2.0f},
    {1.0f, 8.0f, 0.0f, -45.0f, 0.25f, 0.75f, 0.5f, 1.5f, 3.0f},
    {-2.0f, -9.0f, 2.0f, 33.3f, 1.0f, -0.5f, 5.0f, 0.25f, -1.0f},
    {0.5f, 0.5f, 0.0f, 370.0f, 0.5f, 0.5f, 1.0f, 1.0f, 1.0f},
};

const Point kMeshPoints[] = {
    {0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}, {0.5, 0.5, 0, 1}, {-2, 3, 4, 1},
};

class EntityMatrix : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = dravik::shaderLocations();
    // A program without "mvMat": the entity folds the projection in itself.
    dravik::shaderLocations().mvMat = -1;
  }
  void TearDown() override { dravik::shaderLocations() = saved_; }

 private:
  dravik::ShaderLocations saved_;
};

TEST_F(EntityMatrix, MapsMeshVerticesThroughPlacementViewAndProjection) {
  Camera camera = makeCamera();
  for (const Placement& p : kPlacements) {
    SCOPED_TRACE(::testing::Message() << "angle " << p.angle << " pivot " << p.px << "," << p.py
                                      << " size " << p.sx << "," << p.sy << "," << p.sz);
    Entity e;
    e.place(p.x, p.y, p.z, nullptr, nullptr, &camera);
    e.setAngle(p.angle);
    e.setPivot(p.px, p.py);
    e.setSize(p.sx, p.sy, p.sz);
    e.buildModelMatrix();
    for (const Point& m : kMeshPoints) {
      SCOPED_TRACE(::testing::Message() << "vertex " << m.x << "," << m.y << "," << m.z);
      const Point expected =
          apply(camera.projection(), apply(camera.view(), worldPoint(e, m.x, m.y, m.z)));
      expectNear(apply(e.modelMatrix, m), expected);
    }
  }
}

TEST_F(EntityMatrix, RebuildOverwritesThePreviousMatrix) {
  Camera camera = makeCamera();
  Entity e;
  e.place(1.0f, 2.0f, 3.0f, nullptr, nullptr, &camera);
  e.setSize(2.0f, 2.0f, 2.0f);
  for (float& v : e.modelMatrix.m) v = 1e6f;
  e.buildModelMatrix();
  e.buildModelMatrix();  // must not compound with the matrix already there
  const Point m{1, 1, 1, 1};
  expectNear(apply(e.modelMatrix, m),
             apply(camera.projection(), apply(camera.view(), worldPoint(e, 1, 1, 1))));
}

TEST_F(EntityMatrix, NinetyDegreesTurnsXOntoY) {
  Camera camera;
  camera.resetView();
  camera.resetProjection();
  Entity e;
  e.place(0.0f, 0.0f, 0.0f, nullptr, nullptr, &camera);
  e.setSize(1.0f, 1.0f, 1.0f);
  e.setAngle(90.0f);
  e.buildModelMatrix();
  const Point onX = apply(e.modelMatrix, Point{1, 0, 0, 1});
  EXPECT_NEAR(onX.x, 0.0, 1e-6);
  EXPECT_NEAR(onX.y, 1.0, 1e-6);
  const Point onY = apply(e.modelMatrix, Point{0, 1, 0, 1});
  EXPECT_NEAR(onY.x, -1.0, 1e-6);
  EXPECT_NEAR(onY.y, 0.0, 1e-6);
}

TEST_F(EntityMatrix, ScaleWithoutSizeCollapsesToThePosition) {
  Camera camera;
  camera.resetView();
  camera.resetProjection();
  Entity e;
  e.place(3.0f, -4.0f, 5.0f, nullptr, nullptr, &camera);
  e.buildModelMatrix();
  for (const Point& m : kMeshPoints) {
    const Point p = apply(e.modelMatrix, m);
    EXPECT_DOUBLE_EQ(p.x, 3.0);
    EXPECT_DOUBLE_EQ(p.y, -4.0);
    EXPECT_DOUBLE_EQ(p.z, 5.0);
  }
}

TEST(EntityState, NewEntityDefaults) {
  const Entity e;
  EXPECT_EQ(e.getAngle(), 0.0f);
  EXPECT_EQ(e.pivot.x, 0.0f);
  EXPECT_EQ(e.pivot.y, 0.0f);
  EXPECT_EQ(e.collider, nullptr);
  EXPECT_FALSE(e.animated);
  EXPECT_EQ(e.animationIndex, 0u);
  EXPECT_EQ(e.animationTime, 0.0f);
  EXPECT_EQ(e.mesh, nullptr);
}

TEST(EntityState, PlaceSetsPointersAndResetsTheRestButNotTheCollider) {
  dravik::Mesh mesh;
  dravik::Texture texture;
  Camera camera;
  dravik::Collider shape;
  Entity e;
  EXPECT_EQ(&e.setCollider(&shape), &e);
  e.setAngle(30.0f);
  e.setPivot(0.5f, 0.25f);
  e.setSize(2.0f, 3.0f, 4.0f);
  e.animated = true;
  e.animationIndex = 2;
  e.place(1.0f, -2.0f, 3.5f, &mesh, &texture, &camera);
  EXPECT_EQ(e.position.x, 1.0f);
  EXPECT_EQ(e.position.y, -2.0f);
  EXPECT_EQ(e.position.z, 3.5f);
  EXPECT_EQ(e.mesh, &mesh);
  EXPECT_EQ(e.texture, &texture);
  EXPECT_EQ(e.camera, &camera);
  EXPECT_EQ(e.getAngle(), 0.0f);
  EXPECT_EQ(e.pivot.x, 0.0f);
  EXPECT_EQ(e.pivot.y, 0.0f);
  EXPECT_EQ(e.size.x, 0.0f);
  EXPECT_EQ(e.size.y, 0.0f);
  EXPECT_EQ(e.size.z, 0.0f);
  EXPECT_EQ(e.collider, &shape);
  EXPECT_TRUE(e.animated);
  EXPECT_EQ(e.animationIndex, 2u);
}

TEST(EntityState, WithoutMeshOrCameraDrawsNothingAndKeepsTheMatrix) {
  Camera camera;
  camera.resetView();
  camera.resetProjection();
  dravik::Mesh mesh;
  struct Case {
    dravik::Mesh* mesh;
    Camera* camera;
  };
  const Case cases[] = {{nullptr, &camera}, {&mesh, nullptr}, {nullptr, nullptr}};
  for (const Case& k : cases) {
    Entity e;
    e.place(1.0f, 2.0f, 3.0f, k.mesh, nullptr, k.camera);
    e.setSize(1.0f, 1.0f, 1.0f);
    for (float& v : e.modelMatrix.m) v = 7.0f;
    e.draw();
    e.drawShared();
    for (float v : e.modelMatrix.m) EXPECT_EQ(v, 7.0f);
  }
}

}  // namespace
