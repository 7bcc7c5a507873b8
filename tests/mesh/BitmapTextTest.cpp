#include <string>

#include "mesh/BitmapText.h"
#include "tests/mesh/MeshGlSupport.h"

namespace dravik::test {
namespace {

using BitmapTextGl = GlTest;

std::vector<float> slice(const std::vector<float>& v, std::size_t from, std::size_t count) {
  return std::vector<float>(v.begin() + from, v.begin() + from + count);
}

void expectCounts(const BitmapText& text, uint32_t characters) {
  EXPECT_EQ(text.mesh().positionCount(), 12 * characters);
  EXPECT_EQ(text.mesh().colourCount(), 12 * characters);
  EXPECT_EQ(text.mesh().indexCount(), 6 * characters);
  EXPECT_EQ(text.mesh().uvCount(), 8 * characters);
}

TEST_F(BitmapTextGl, CreateBuildsOneQuadPerCharacter) {
  BitmapText text;
  text.create("AB", 1, 2, 3, 10, 0.25f, 0.5f, 0.75f, nullptr, nullptr);
  EXPECT_EQ(text.slotCount(), 2u);
  EXPECT_EQ(text.glyphSize(), 10u);
  const std::vector<float> xy = {0, 0, 0, 10, 10, 0, 10, 10, 10, 0, 10, 10, 20, 0, 20, 10};
  const std::vector<float>& positions = text.mesh().positions();
  ASSERT_EQ(positions.size(), 24u);
  for (std::size_t v = 0; v < 8; ++v) {
    EXPECT_EQ(positions[3 * v], xy[2 * v]) << v;
    EXPECT_EQ(positions[3 * v + 1], xy[2 * v + 1]) << v;
    EXPECT_EQ(positions[3 * v + 2], 0) << v;
  }
  EXPECT_EQ(text.mesh().indices(), (std::vector<uint16_t>{0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7}));
  for (std::size_t i = 0; i < 24; i += 3) {
    EXPECT_EQ(slice(text.mesh().colours(), i, 3), (std::vector<float>{0.25f, 0.5f, 0.75f}));
  }
  expectCounts(text, 2);
  ASSERT_TRUE(text.mesh().hasBuffers());
  EXPECT_EQ(bufferSize(text.mesh().staticBuffers()[3]), 16 * 4);
}

TEST_F(BitmapTextGl, CharactersPickTheirAtlasCell) {
  // (character, left, top) with right = left + 1/16 and bottom = top - 1/16
  const struct {
    char c;
    float left, top;
  } cells[] = {{'A', 0.0625f, 0.75f}, {' ', 0, 0.875f},  {'\x7f', 0.9375f, 0.5625f},
               {'\xff', -0.0625f, 1}, {'\x80', 0, 1.5f}, {'\xef', -0.0625f, 1.0625f}};
  for (const auto& cell : cells) {
    BitmapText text;
    const char s[2] = {cell.c, 0};
    text.create(s, 0, 0, 0, 8, 1, 1, 1, nullptr, nullptr);
    const float l = cell.left, r = l + 0.0625f, t = cell.top, b = t - 0.0625f;
    EXPECT_EQ(text.mesh().uvs(), (std::vector<float>{l, b, l, t, r, b, r, t}))
        << static_cast<int>(cell.c);
  }
}

TEST_F(BitmapTextGl, SetTextReusesQuadsAndAppendsOnlyMissingOnes) {
  BitmapText text;
  text.create("HELLO", 0, 0, 0, 4, 1, 0, 0, nullptr, nullptr);
  const float* storage = text.mesh().positions().data();
  const std::vector<float> slot2Uvs = slice(text.mesh().uvs(), 16, 8);

  text.setText("AB");
  EXPECT_EQ(text.slotCount(), 5u);
  expectCounts(text, 2);
  EXPECT_EQ(text.mesh().positions().size(), 60u);
  EXPECT_EQ(text.mesh().uvs()[0], 0.0625f);              // 'A' now in slot 0
  EXPECT_EQ(slice(text.mesh().uvs(), 16, 8), slot2Uvs);  // slot 2 kept for reuse
  EXPECT_EQ(bufferSize(text.mesh().staticBuffers()[0]), 24 * 4);

  text.setText("");
  expectCounts(text, 0);
  text.setText("ABCDE");
  expectCounts(text, 5);
  EXPECT_EQ(text.mesh().positions().data(), storage);  // nothing reallocated

  text.setText("ABCDEFG");
  EXPECT_EQ(text.slotCount(), 7u);
  expectCounts(text, 7);
  EXPECT_EQ(slice(text.mesh().positions(), 72, 12),
            (std::vector<float>{24, 0, 0, 24, 4, 0, 28, 0, 0, 28, 4, 0}));
  EXPECT_EQ(text.mesh().indices().back(), 27);
  EXPECT_EQ(bufferSize(text.mesh().staticBuffers()[2]), 42 * 2);
}

TEST_F(BitmapTextGl, SetColourRecoloursOnlyCountedVertices) {
  BitmapText text;
  text.create("ABCD", 0, 0, 0, 4, 1, 0, 0, nullptr, nullptr);
  text.setText("AB");
  text.setColour(0, 1, 0);
  const std::vector<float>& colours = text.mesh().colours();
  for (std::size_t v = 0; v < 16; ++v) {
    EXPECT_EQ(slice(colours, 3 * v, 3),
              (v < 8 ? std::vector<float>{0, 1, 0} : std::vector<float>{1, 0, 0}))
        << v;
  }
  text.setText("ABCD");
  EXPECT_EQ(slice(colours, 45, 3), (std::vector<float>{1, 0, 0}));
  text.setColour(0, 0, 1);
  for (std::size_t v = 0; v < 16; ++v) {
    EXPECT_EQ(slice(colours, 3 * v, 3), (std::vector<float>{0, 0, 1})) << v;
  }
  EXPECT_EQ(bufferFloats(text.mesh().staticBuffers()[1], 48).back(), 1.0f);
}

TEST_F(BitmapTextGl, OverlongStringsAreCutToWhatIndicesAddress) {
  const std::string longer(BitmapText::kMaxCharacters + 100, 'A');
  BitmapText text;
  text.create(longer.c_str(), 0, 0, 0, 1, 1, 1, 1, nullptr, nullptr);
  EXPECT_EQ(text.slotCount(), BitmapText::kMaxCharacters);
  expectCounts(text, BitmapText::kMaxCharacters);
  EXPECT_EQ(text.mesh().indices().back(), 65535);
  text.setText((longer + "BCD").c_str());
  EXPECT_EQ(text.slotCount(), BitmapText::kMaxCharacters);
  EXPECT_EQ(text.mesh().positions().size(), 12u * BitmapText::kMaxCharacters);
}

TEST_F(BitmapTextGl, DrawPlacesAndTurnsTheLineThroughTheCamera) {
  Camera camera;
  camera.resetView();
  camera.resetProjection();
  camera.setOrtho(0, 64, 0, 64, -1, 1);
  BitmapText text;
  text.create("\x01", 48, 16, 0, 32, 0, 0, 1, nullptr, &camera);
  text.draw();  // covers x 48..80, y 16..48
  EXPECT_EQ(pixelAt(56, 24), (Rgb{0, 0, 255}));
  EXPECT_EQ(pixelAt(30, 30), kWhite);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  text.setAngle(90);  // turned about (48, 16): covers x 16..48, y 16..48
  text.draw();
  EXPECT_EQ(pixelAt(30, 30), (Rgb{0, 0, 255}));
  EXPECT_EQ(pixelAt(56, 24), kWhite);
}

}  // namespace
}  // namespace dravik::test
