// The committed assets read through the game's own loaders, with nothing
// reported on the standard streams.
#include <gtest/gtest.h>

#include "mesh/Mesh.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "tests/support/GlTestContext.h"
#include "world/Collider.h"

namespace dravik::test {
namespace {

TEST(GameLoadsAssets, TexturesDecodeWithTheirSizes) {
  const struct {
    const char* file;
    uint16_t width;
    uint16_t height;
  } cases[] = {{"data/font.bmp.fnt", 256, 256},
               {"data/road6.png", 64, 64},
               {"data/wall.bmp", 64, 64},
               {"data/wood.bmp", 64, 64},
               {"data/grass.bmp", 64, 64},
               {"data/whitepixel.bmp", 1, 1},
               {"data/sky/stars/stars.bmp", 128, 128}};
  for (const auto& c : cases) {
    Texture texture;
    testing::internal::CaptureStderr();
    texture.loadFromFile(c.file);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.file;
    EXPECT_NE(texture.pixels(), nullptr) << c.file;
    EXPECT_EQ(texture.width(), c.width) << c.file;
    EXPECT_EQ(texture.height(), c.height) << c.file;
  }
}

TEST(GameLoadsAssets, ModelsLoadWithMatchingCounts) {
  for (const char* file :
       {"data/quad.json", "data/meshes/display/tree.json", "data/meshes/display/wall.json",
        "data/meshes/display/tallWall.json", "data/meshes/display/wood.json",
        "data/meshes/display/floorWood.json", "data/quadBackground.json"}) {
    Mesh mesh;
    testing::internal::CaptureStderr();
    mesh.loadFile(file);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << file;
    const uint32_t vertices = mesh.positionCount() / 3;
    EXPECT_GT(vertices, 0u) << file;
    EXPECT_EQ(mesh.colourCount(), 3 * vertices) << file;
    EXPECT_EQ(mesh.uvCount(), 2 * vertices) << file;
    EXPECT_GT(mesh.indexCount(), 0u) << file;
    EXPECT_EQ(mesh.indexCount() % 3, 0u) << file;
  }
}

TEST(GameLoadsAssets, ColliderLoads) {
  Collider collider;
  testing::internal::CaptureStderr();
  collider.loadCollider("data/meshes/colliders/quadCollider.json");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(collider.vertexCount(), 4);
  EXPECT_EQ(collider.edgeCount(), 4);
  EXPECT_EQ(collider.circleCount(), 1);
}

TEST(GameLoadsAssets, ShaderProgramsBuildSilently) {
  ASSERT_TRUE(ensureGlContext());
  for (const char* name : {"basic-fixed", "conveyor-map", "gameover-fixed"}) {
    ShaderProgram program;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    program.load(std::string("data/shaders/") + name + ".vert",
                 std::string("data/shaders/") + name + ".frag");
    program.compileAndLink();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << name;
    EXPECT_NE(program.vertexShader(), 0u) << name;
    EXPECT_NE(program.fragmentShader(), 0u) << name;
  }
  resetGlState();
}

}  // namespace
}  // namespace dravik::test
