#include "tests/game/GameTestSupport.h"

#include <sys/stat.h>

#include <cmath>

#include "tests/support/GlTestContext.h"

namespace dravik::test {

ScriptedKeys& scriptedKeys() {
  static ScriptedKeys keys;
  return keys;
}

namespace {
bool scriptedKeyHeld(Key key) { return scriptedKeys().held[static_cast<int>(key)]; }
}  // namespace

void useScriptedKeys() {
  scriptedKeys().releaseAll();
  inputState().setKeySource(&scriptedKeyHeld);
}

bool haveGameData() {
  struct stat info {};
  return stat("data/shaders/basic-fixed.vert", &info) == 0 &&
         stat("data/meshes/display/tree.json", &info) == 0 && stat("data/quad.json", &info) == 0;
}

std::unique_ptr<Game> makeInitialisedGame(std::string* stderrText) {
  auto game = std::make_unique<Game>();
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  const int result = game->init();
  testing::internal::GetCapturedStdout();
  const std::string messages = testing::internal::GetCapturedStderr();
  if (stderrText != nullptr) *stderrText = messages;
  EXPECT_EQ(result, 1);
  return game;
}

std::string shownText(const BitmapText& text) {
  const Mesh& mesh = text.mesh();
  const uint32_t quads = mesh.uvCount() / 8;
  std::string shown;
  for (uint32_t i = 0; i < quads && (8 * i + 3) < mesh.uvs().size(); ++i) {
    // Vertex 4i is the lower left (left, bottom), 4i + 1 the upper left.
    const float left = mesh.uvs()[8 * i];
    const float top = mesh.uvs()[8 * i + 3];
    const int column = static_cast<int>(std::lround(left / 0.0625f));
    const int row = static_cast<int>(std::lround((1.0f - top) / 0.0625f));
    shown.push_back(static_cast<char>(row * 16 + column));
  }
  return shown;
}

}  // namespace dravik::test
