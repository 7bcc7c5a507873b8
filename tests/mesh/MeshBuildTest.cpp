#include "tests/mesh/MeshTestSupport.h"

namespace dravik::test {
namespace {

TEST(MeshBuild, AddsAppendWithoutTouchingCounts) {
  Mesh mesh;
  mesh.addVertex(1, 2, 3);
  mesh.addVertex(4, 5, 6);
  mesh.addColour(0.1f, 0.2f, 0.3f);
  mesh.addUv(0.5f, 0.75f);
  mesh.addTriangle(0, 65535, 65536 + 7);
  EXPECT_EQ(mesh.positions(), (std::vector<float>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(mesh.colours(), (std::vector<float>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(mesh.uvs(), (std::vector<float>{0.5f, 0.75f}));
  EXPECT_EQ(mesh.indices(), (std::vector<uint16_t>{0, 65535, 7}));
  EXPECT_EQ(mesh.positionCount() + mesh.colourCount() + mesh.indexCount() + mesh.uvCount(), 0u);
  mesh.updateCounts();
  EXPECT_EQ(mesh.positionCount(), 6u);
  EXPECT_EQ(mesh.colourCount(), 3u);
  EXPECT_EQ(mesh.indexCount(), 3u);
  EXPECT_EQ(mesh.uvCount(), 2u);
}

TEST(MeshBuild, SettersChangeOnlyTheirVertex) {
  Mesh mesh;
  for (int i = 0; i < 3; ++i) {
    mesh.addColour(0, 0, 0);
    mesh.addUv(0, 0);
  }
  mesh.setColour(1, 0.25f, 0.5f, 1);
  mesh.setUv(2, 0.125f, 0.875f);
  mesh.setColour(3, 9, 9, 9);  // no such vertex
  mesh.setUv(3, 9, 9);
  EXPECT_EQ(mesh.colours(), (std::vector<float>{0, 0, 0, 0.25f, 0.5f, 1, 0, 0, 0}));
  EXPECT_EQ(mesh.uvs(), (std::vector<float>{0, 0, 0, 0, 0.125f, 0.875f}));
}

TEST(MeshBuild, SetCountsTakesAPrefixButNeverPassesTheArrays) {
  Mesh mesh;
  for (int i = 0; i < 4; ++i) {
    mesh.addVertex(0, 0, 0);
    mesh.addColour(0, 0, 0);
    mesh.addUv(0, 0);
  }
  mesh.addTriangle(0, 1, 2);
  mesh.setCounts(6, 3, 3, 4);
  EXPECT_EQ(mesh.positionCount(), 6u);
  EXPECT_EQ(mesh.colourCount(), 3u);
  EXPECT_EQ(mesh.indexCount(), 3u);
  EXPECT_EQ(mesh.uvCount(), 4u);
  mesh.setCounts(100, 13, 4, 9);
  EXPECT_EQ(mesh.positionCount(), 12u);
  EXPECT_EQ(mesh.colourCount(), 12u);
  EXPECT_EQ(mesh.indexCount(), 3u);
  EXPECT_EQ(mesh.uvCount(), 8u);
}

}  // namespace
}  // namespace dravik::test
