// Frame cost of the game at 1280 x 720 on the current GL driver (Mesa
// llvmpipe on the CI machines), next to a raw-GL baseline that issues the
// same draw calls with the least state change; the time from process start
// to the first presented frame; and heap allocations per frame, with the
// window's events pumped and a (virtual) gamepad's stick pushed half way;
// GL calls per frame, asked by the game and passed on to the driver by the
// state shadow; and whether the game's pictures are the same with the shadow
// off.
//
// Runs on SDL's offscreen driver unless SDL_VIDEODRIVER says otherwise.
// Usage: frame_bench [frames]   (from the repository root, so data/ is found)
#include <SDL.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "app/GlobalGlState.h"
#include "app/Platform.h"
#include "game/Game.h"
#include "game/InputState.h"
#include "gl/GlApi.h"
#include "tests/support/GameViews.h"
#include "tests/support/VirtualGamepad.h"

namespace {

const auto kProcessStart = std::chrono::steady_clock::now();
std::atomic<long> gAllocations{0};

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// A virtual gamepad with its stick pushed; false where SDL has none.
bool attachPushedGamepad() {
  SDL_Joystick* joystick = dravik::test::attachVirtualGamepad("frame bench pad");
  if (joystick == nullptr) return false;
  // Half way right and a little up: the stick alone moves the world.
  SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 16000);
  SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -3000);
  return true;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Draw {
  const dravik::Mesh* mesh;
  dravik::Mat4 matrix;
};

// The draws one game frame issues, with matrices that place each mesh where
// the game puts it (without the game's tilt: the baseline only has to cost
// the same draw calls).
std::vector<Draw> collectDraws(dravik::Game& game) {
  using namespace dravik;
  std::vector<Draw> draws;
  const Mat4& view = game.worldCamera.view();
  const Mat4& projection = game.worldCamera.projection();
  auto add = [&](const Mesh* mesh, float x, float y, float z, float s) {
    Draw d{mesh, {}};
    loadMatrix(d.matrix, view);
    translate(d.matrix, x, y, z);
    scale(d.matrix, s, s, 1.0f);
    translate(d.matrix, -0.5f, -0.5f, 0.0f);
    setProduct(d.matrix, projection, d.matrix);
    draws.push_back(d);
  };
  add(&game.backgroundMesh, 0.0f, 0.0f, -10.0f, 200.0f);
  for (int i = -40; i < 40; ++i) {
    for (int j = -40; j < 40; ++j) {
      const float x = -game.groundOffset.x + i;
      const float y = -game.groundOffset.y + j;
      if (x * x + y * y < 400.0f) add(&game.quadMesh, x, y, -1.0f, 1.0f);
    }
  }
  auto addList = [&](const Mesh* mesh, const auto& list) {
    for (std::size_t k = 0; k < list.size(); ++k) {
      const float x = list[k].x - game.groundOffset.x;
      const float y = list[k].y - game.groundOffset.y;
      if (static_cast<double>(x * x + y * y) < 293.7796) add(mesh, x, y, list[k].z, 1.0f);
    }
  };
  addList(&game.treeMesh, game.treePositions);
  addList(&game.wallMesh, game.wallPositions);
  addList(&game.tallWallMesh, game.tallWallPositions);
  addList(&game.woodMesh, game.woodPositions);
  addList(&game.floorWoodMesh, game.floorPositions);
  return draws;
}

// The same draws through raw GL: one program, attributes set up once per
// run of draws of the same mesh, one matrix upload and one glDrawElements
// each.
void drawBaseline(const std::vector<Draw>& draws, const dravik::ShaderLocations& loc) {
  using namespace dravik;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glUniform1i(loc.texture0, 0);
  glEnableVertexAttribArray(loc.inVertex);
  glEnableVertexAttribArray(loc.inNormal);
  glEnableVertexAttribArray(loc.inTexCoord);
  const Mesh* bound = nullptr;
  for (const Draw& d : draws) {
    if (d.mesh != bound) {
      const uint32_t* b = d.mesh->staticBuffers();
      glBindBuffer(GL_ARRAY_BUFFER, b[0]);
      glVertexAttribPointer(loc.inVertex, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
      glBindBuffer(GL_ARRAY_BUFFER, b[1]);
      glVertexAttribPointer(loc.inNormal, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
      glBindBuffer(GL_ARRAY_BUFFER, b[3]);
      glVertexAttribPointer(loc.inTexCoord, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b[2]);
      bound = d.mesh;
    }
    glUniformMatrix4fv(loc.finalMatrix, 1, GL_FALSE, d.matrix.m);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(d.mesh->indexCount()), GL_UNSIGNED_SHORT,
                   nullptr);
  }
}

// The game's four test views, read back; with the shadow on and off.
bool picturesMatchWithoutShadow(dravik::Game& game, int width, int height) {
  using namespace dravik;
  std::vector<unsigned char> pictures[2];
  for (int shadow = 0; shadow < 2; ++shadow) {
    glentry::setStateShadow(shadow == 0);
    pictures[shadow].resize(static_cast<std::size_t>(width) * height * 4 * test::kGameViews);
    for (int view = 0; view < test::kGameViews; ++view) {
      test::showGameView(game, view);
      game.render();
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                   pictures[shadow].data() + static_cast<std::size_t>(width) * height * 4 * view);
    }
  }
  glentry::setStateShadow(true);
  return pictures[0] == pictures[1];
}

}  // namespace

void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
  using namespace dravik;
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
  setenv("SDL_VIDEODRIVER", "offscreen", 0);

  AppWindow window(nullptr);
  Game game;
  window.setResizeListener(game.resizeListener());
  if (!window.create(1280, 720, 32, false)) return 1;
  loadGLFunctions();
  setGlobalGlState();
  game.init();
  inputState().setKeySource(platformKeyHeld);
  inputState().setPadSource(&window.gamepad());
  const bool gamepad = attachPushedGamepad();
  window.pumpMessages();
  window.readGamepad();

  const float dt = 1.0f / 60.0f;
  game.update(dt);
  game.render();
  window.swapBuffers();
  glFinish();
  const double firstFrameMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kProcessStart)
          .count();

  for (int i = 0; i < 30; ++i) {
    window.pumpMessages();
    window.readGamepad();
    game.update(dt);
    game.render();
    window.swapBuffers();
  }
  glFinish();

  std::vector<double> gameCpu, gameWall;
  gameCpu.reserve(frames);
  gameWall.reserve(frames);
  glentry::resetCallCounts();
  const long allocationsBefore = gAllocations.load();
  for (int i = 0; i < frames; ++i) {
    const double c0 = cpuSeconds();
    const auto w0 = std::chrono::steady_clock::now();
    window.pumpMessages();
    window.readGamepad();
    game.update(dt);
    game.render();
    window.swapBuffers();
    glFinish();
    gameCpu.push_back(cpuSeconds() - c0);
    gameWall.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count());
  }
  const long allocationsPerFrame = (gAllocations.load() - allocationsBefore) / frames;
  const glentry::CallCounts gameCalls = glentry::callCounts();

  const std::vector<Draw> draws = collectDraws(game);
  game.basicProgram.use();
  const ShaderLocations loc = shaderLocations();
  game.grassTexture.bind();
  std::vector<double> baseCpu, baseWall;
  // The baseline's calls all reach the driver, as they would without the
  // table.
  glentry::setStateShadow(false);
  for (int i = 0; i < 30 + frames; ++i) {
    if (i == 30) glentry::resetCallCounts();
    const double c0 = cpuSeconds();
    const auto w0 = std::chrono::steady_clock::now();
    drawBaseline(draws, loc);
    window.swapBuffers();
    glFinish();
    if (i >= 30) {
      baseCpu.push_back(cpuSeconds() - c0);
      baseWall.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count());
    }
  }

  const glentry::CallCounts baseCalls = glentry::callCounts();
  glentry::setStateShadow(true);
  const Vec2 groundOffset = game.groundOffset;
  const bool samePictures = picturesMatchWithoutShadow(game, 1280, 720);

  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  std::printf("renderer: %s\n", renderer != nullptr ? renderer : "?");
  std::printf("draw calls per frame: %zu\n", draws.size());
  std::printf("start to first presented frame: %.1f ms\n", firstFrameMs);
  std::printf("game frame (update + render + swap), median: %.3f ms CPU, %.3f ms wall\n",
              median(gameCpu) * 1e3, median(gameWall) * 1e3);
  std::printf("raw-GL baseline, same draws, median:      %.3f ms CPU, %.3f ms wall\n",
              median(baseCpu) * 1e3, median(baseWall) * 1e3);
  std::printf("ratio game / baseline: %.2f (CPU), %.2f (wall)\n", median(gameCpu) / median(baseCpu),
              median(gameWall) / median(baseWall));
  std::printf("GL calls per frame: game %llu asked, %llu issued to the driver; baseline %llu\n",
              gameCalls.asked / frames, gameCalls.issued / frames, baseCalls.issued / frames);
  std::printf("pictures with the state shadow on and off (%d views, 1280 x 720): %s\n",
              test::kGameViews, samePictures ? "identical" : "DIFFERENT");
  std::printf("heap allocations per frame (steady state, gamepad %s): %ld\n",
              gamepad ? "connected" : "absent", allocationsPerFrame);
  std::printf("ground offset after the run: %.2f, %.2f\n", groundOffset.x, groundOffset.y);

  game.release();
  window.destroy();
  return 0;
}
