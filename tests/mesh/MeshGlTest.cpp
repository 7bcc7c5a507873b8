#include "tests/mesh/MeshGlSupport.h"
#include "tests/mesh/MeshTestSupport.h"

namespace dravik::test {
namespace {

// An axis-aligned quad in clip space, counter-clockwise, of one colour and
// one uv.
void addQuad(Mesh& mesh, float x0, float x1, float r, float g, float b, float u) {
  const int base = static_cast<int>(mesh.positions().size() / 3);
  for (auto [x, y] : {std::pair{x0, -1.0f}, {x1, -1.0f}, {x1, 1.0f}, {x0, 1.0f}}) {
    mesh.addVertex(x, y, 0);
    mesh.addColour(r, g, b);
    mesh.addUv(u, 0.5f);
  }
  mesh.addTriangle(base, base + 1, base + 2);
  mesh.addTriangle(base, base + 2, base + 3);
}

// Left half red on the white texel, right half green on the black one.
void buildHalves(Mesh& mesh) {
  addQuad(mesh, -1, 0, 1, 0, 0, 0.25f);
  addQuad(mesh, 0, 1, 0, 1, 0, 0.75f);
  mesh.updateCounts();
  mesh.createBuffers();
  bindTexels({255, 255, 255, 255, 0, 0, 0, 255});
}

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlack{0, 0, 0};

using MeshGl = GlTest;

TEST_F(MeshGl, CreateBuffersMakesFourSizedBuffersAndDeleteFreesThem) {
  Mesh mesh;
  buildHalves(mesh);
  const GLuint* names = mesh.staticBuffers();
  const std::vector<GLuint> held(names, names + 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(glQueries().isBuffer(held[i]));
    for (int j = 0; j < i; ++j) EXPECT_NE(held[i], held[j]);
  }
  EXPECT_FALSE(mesh.hasAnimatedBuffers());
  EXPECT_EQ(bufferSize(held[0]), 24 * 4);
  EXPECT_EQ(bufferSize(held[1]), 24 * 4);
  EXPECT_EQ(bufferSize(held[2]), 12 * 2);
  EXPECT_EQ(bufferSize(held[3]), 16 * 4);
  EXPECT_EQ(bufferFloats(held[1], 3), (std::vector<float>{1, 0, 0}));
  mesh.deleteBuffers();
  EXPECT_FALSE(mesh.hasBuffers());
  for (GLuint name : held) EXPECT_FALSE(glQueries().isBuffer(name));
}

TEST_F(MeshGl, DrawFeedsAllThreeStreamsThroughTheMatrix) {
  Mesh mesh;
  buildHalves(mesh);
  mesh.draw(identityMatrix());
  EXPECT_EQ(pixelAt(16, 32), kRed);
  EXPECT_EQ(pixelAt(48, 32), kBlack);

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Mat4 shift = identityMatrix();
  shift[12] = 1.0f;  // one half-width to the right
  mesh.draw(shift);
  EXPECT_EQ(pixelAt(16, 32), kWhite);
  EXPECT_EQ(pixelAt(48, 32), kRed);
}

TEST_F(MeshGl, LowerCountsUploadAndDrawOnlyThePrefix) {
  Mesh mesh;
  buildHalves(mesh);
  mesh.setCounts(12, 12, 6, 8);
  mesh.uploadBuffers();
  EXPECT_EQ(bufferSize(mesh.staticBuffers()[0]), 12 * 4);
  EXPECT_EQ(bufferSize(mesh.staticBuffers()[2]), 6 * 2);
  EXPECT_EQ(bufferSize(mesh.staticBuffers()[3]), 8 * 4);
  mesh.draw(identityMatrix());
  EXPECT_EQ(pixelAt(16, 32), kRed);
  EXPECT_EQ(pixelAt(48, 32), kWhite);
}

TEST_F(MeshGl, EmptyMeshDrawsNothing) {
  Mesh mesh;
  mesh.createBuffers();
  mesh.draw(identityMatrix());
  mesh.drawAnimated(identityMatrix(), 0, 1);
  EXPECT_EQ(pixelAt(32, 32), kWhite);
}

TEST_F(MeshGl, DrawSharedLeavesTheSamplerAlone) {
  const GLuint program = useTestProgram();
  Mesh mesh;
  buildHalves(mesh);
  glUniform1i(shaderLocations().texture0, 3);
  mesh.drawShared(identityMatrix());
  GLint unit = -1;
  glQueries().getUniformiv(program, shaderLocations().texture0, &unit);
  EXPECT_EQ(unit, 3);
  mesh.draw(identityMatrix());
  glQueries().getUniformiv(program, shaderLocations().texture0, &unit);
  EXPECT_EQ(unit, 0);
}

TEST_F(MeshGl, DrawAnimatedWithoutAnimationDrawsTheModel) {
  Mesh mesh;
  buildHalves(mesh);
  mesh.drawAnimated(identityMatrix(), 0, 0.5f);
  EXPECT_EQ(pixelAt(16, 32), kRed);
}

TEST_F(MeshGl, DrawAnimatedUploadsTheBlendedFrame) {
  // A full-screen quad going from red to blue, and further to the right.
  Mesh quad;
  addQuad(quad, -1, 1, 1, 0, 0, 0.5f);
  Geometry red{quad.positions(), quad.colours(), quad.uvs(), quad.indices()};
  Geometry blue = red;
  for (std::size_t i = 0; i < blue.colours.size(); i += 3) {
    blue.colours[i] = 0;
    blue.colours[i + 2] = 1;
  }
  for (std::size_t i = 0; i < blue.positions.size(); i += 3) blue.positions[i] += 1;
  Json root = modelJson(red);
  root["animations"] =
      Json::array({Json::array({Json::array({keyframe(0, red), keyframe(2, blue)})})});
  TempDir dir;
  Mesh mesh;
  loadCapturing(mesh, dir.write("anim.json", root.dump()));
  mesh.createBuffers();
  ASSERT_TRUE(mesh.hasAnimatedBuffers());
  const GLuint* animated = mesh.animatedBuffers();
  EXPECT_EQ(bufferFloats(animated[0], 12), red.positions);
  EXPECT_EQ(bufferFloats(animated[1], 12), red.colours);
  EXPECT_EQ(bufferFloats(animated[2], 8), red.uvs);

  mesh.drawAnimated(identityMatrix(), 0, 1);
  std::vector<float> half = red.positions;
  for (std::size_t i = 0; i < half.size(); i += 3) half[i] += 0.5f;
  EXPECT_EQ(bufferFloats(animated[0], 12), half);
  EXPECT_EQ(bufferFloats(mesh.staticBuffers()[0], 12), red.positions);
  EXPECT_EQ(pixelAt(8, 32), kWhite);  // the quad moved a quarter to the right
  const Rgb mixed = pixelAt(40, 32);
  EXPECT_NEAR(mixed[0], 128, 1);
  EXPECT_EQ(mixed[1], 0);
  EXPECT_NEAR(mixed[2], 128, 1);

  mesh.deleteBuffers();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(glQueries().isBuffer(animated[i]));
}

TEST_F(MeshGl, DestructionWithoutAContextMakesNoGlCall) {
  {
    Mesh mesh;
    buildHalves(mesh);
    glentry::setContextAvailable(false);
    glentry::resetAll();  // any GL call through the table would now crash
  }
  glentry::setContextAvailable(true);
  { Mesh neverGivenBuffers; }
  ASSERT_TRUE(ensureGlContext());
  useTestProgram();
}

}  // namespace
}  // namespace dravik::test
