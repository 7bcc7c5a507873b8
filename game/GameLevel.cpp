#include <cstdlib>
#include <ctime>
#include <iterator>

#include "game/Game.h"

namespace dravik {

namespace {

struct Point {
  float x;
  float y;
  float z;
};

// A straight run of tall walls on the 2-unit grid; parkedSlot is the door or
// window slot inside the run, or -1.
struct WallRun {
  int firstSlot;
  int count;
  float x0;
  float y0;
  float dx;
  float dy;
  int parkedSlot;
};

// Above the house door, the house corner caps, the gate posts and the lintels
// over the enclosure doors.
constexpr Point kWallFeatures[] = {
    {6, 0, 3},    {0, 0, 5},    {12, 0, 5},   {0, 12, 5},    {12, 12, 5},
    {0, -30, 1},  {0, -30, -1}, {12, -30, 1}, {12, -30, -1}, {-18, -24, 3},
    {18, -24, 3}, {24, 18, 3},  {-24, 18, 3},
};

constexpr Point kEnclosureCaps[] = {
    {-30, -30, 5}, {30, -30, 5}, {-30, 30, 5},  {30, 30, 5},  {-18, -30, 5}, {18, -30, 5},
    {-18, 30, 5},  {18, 30, 5},  {-18, -18, 5}, {18, -18, 5}, {-18, 18, 5},  {18, 18, 5},
    {-30, -18, 5}, {30, -18, 5}, {-30, 18, 5},  {30, 18, 5},
};

// Each window gets a low and a high wall piece instead of a tall wall.
constexpr Point kWindows[] = {
    {-24, -30, 0}, {-30, -24, 0}, {24, -30, 0}, {30, -24, 0},
    {24, 30, 0},   {30, 22, 0},   {-24, 30, 0}, {-30, 22, 0},
};

constexpr WallRun kEnclosureRuns[] = {
    {23, 7, -30, -30, 2, 0, 26}, {30, 6, -30, -28, 0, 2, 32},  {36, 6, -28, -18, 2, 0, -1},
    {42, 5, -18, -28, 0, 2, 44}, {47, 7, 18, -30, 2, 0, 50},   {54, 6, 30, -28, 0, 2, 56},
    {60, 6, 18, -18, 2, 0, -1},  {66, 5, 18, -28, 0, 2, 68},   {71, 7, 18, 30, 2, 0, 74},
    {78, 6, 30, 18, 0, 2, 80},   {84, 6, 18, 18, 2, 0, 87},    {90, 5, 18, 20, 0, 2, -1},
    {95, 7, -30, 30, 2, 0, 98},  {102, 6, -30, 18, 0, 2, 104}, {108, 6, -28, 18, 2, 0, 110},
    {114, 5, -18, 20, 0, 2, -1},
};

static_assert(68 + std::size(kWallFeatures) + std::size(kEnclosureCaps) + 2 * std::size(kWindows) ==
                  Game::kWallCount,
              "wall slots 68 onwards fill the list");
constexpr Point kWoodBlockOrigins[] = {
    {2, 2, 0}, {-28, -28, 0}, {-28, 20, 0}, {20, -28, 0}, {20, 20, 0}};

constexpr Point kPorches[] = {
    {6, 0, -1},    {6, -2, -1},    {4, -2, -1},    {8, -2, -1},    {-18, -24, -1},
    {18, -24, -1}, {24, 18, -1},   {-24, 18, -1},  {-16, -24, -1}, {16, -24, -1},
    {24, 16, -1},  {-24, 16, -1},  {-16, -22, -1}, {16, -22, -1},  {22, 16, -1},
    {-22, 16, -1}, {-16, -26, -1}, {16, -26, -1},  {26, 16, -1},   {-26, 16, -1},
};

static_assert(Game::kWoodCount + std::size(kPorches) == Game::kFloorCount,
              "the floor list is the wood blocks plus the porches");

int libraryRand() { return std::rand(); }

}  // namespace

void Game::placeActors() {
  player.place(0, 0, -2, &quadMesh, &wallTexture, &worldCamera);
  player.setSize(2.55f, 7, 1);
  player.setPivot(0.5f, 0.5f);
  bar.place(0, 0, -1, &quadMesh, &wallTexture, &worldCamera);
  bar.setSize(0.5f, 13, 1);
  bar.setPivot(0.5f, 0.5f);
  bar.setCollider(&collider);
}

void Game::placeFixedTrees() {
  // The avenue from the gate to the house.
  for (int i = 0; i < 7; ++i) {
    treePositions.set(i, 3, static_cast<float>(-4 - 4 * i), -1);
  }
  for (int i = 7; i < 14; ++i) {
    treePositions.set(i, 11, static_cast<float>(-4 - 4 * i + 28), -1);
  }
}

void Game::placeRandomTrees(InstanceList<kTreeCount>& trees, int (*rng)()) {
  // Random trees stay out of the band x = 28..32 where the side walls stand.
  for (int slot = 14; slot <= 20; ++slot) {
    int x = rng() % 40 - 40;
    const int y = rng() % 14 - 7;
    if (x >= -32 && x <= -28) x -= 4;
    trees.set(slot, static_cast<float>(x), static_cast<float>(y), -1);
  }
  for (int slot = 21; slot <= 29; ++slot) {
    int x = rng() % 20 + 20;
    const int y = rng() % 14 - 7;
    if (x >= 28 && x <= 32) x += 4;
    trees.set(slot, static_cast<float>(x), static_cast<float>(y), -1);
  }
}

void Game::placeWalls() {
  for (int k = 0; k <= 16; ++k) {
    const float x = static_cast<float>(-16 + 2 * k);
    // Raised over the gate.
    const float southZ = (x > -2 && x < 14) ? 3.0f : -1.0f;
    wallPositions.set(k, x, -30, southZ);
    wallPositions.set(17 + k, x, 30, -1);
    wallPositions.set(34 + k, -30, x, -1);
    wallPositions.set(51 + k, 30, x, -1);
  }
  std::size_t slot = 68;
  for (const Point& p : kWallFeatures) wallPositions.set(slot++, p.x, p.y, p.z);
  for (const Point& p : kEnclosureCaps) wallPositions.set(slot++, p.x, p.y, p.z);
  for (const Point& p : kWindows) {
    wallPositions.set(slot++, p.x, p.y, -1);
    wallPositions.set(slot++, p.x, p.y, 3);
  }
}

void Game::placeTallWalls() {
  // The house; x = 6 on the south side is the door.
  for (int k = 0; k < 7; ++k) tallWallPositions.set(k, 0, static_cast<float>(2 * k), -1);
  tallWallPositions.set(7, 2, 0, -1);
  tallWallPositions.set(8, 4, 0, -1);
  tallWallPositions.set(9, 8, 0, -1);
  tallWallPositions.set(10, 10, 0, -1);
  tallWallPositions.set(11, 12, 0, -1);
  for (int k = 0; k < 6; ++k) tallWallPositions.set(12 + k, 12, static_cast<float>(2 + 2 * k), -1);
  for (int k = 0; k < 5; ++k) tallWallPositions.set(18 + k, static_cast<float>(2 + 2 * k), 12, -1);

  for (const WallRun& run : kEnclosureRuns) {
    for (int k = 0; k < run.count; ++k) {
      const int slot = run.firstSlot + k;
      if (slot == run.parkedSlot) {
        tallWallPositions.park(slot);
      } else {
        tallWallPositions.set(slot, run.x0 + run.dx * k, run.y0 + run.dy * k, -1);
      }
    }
  }
}

void Game::placeWoodAndFloor() {
  std::size_t slot = 0;
  for (const Point& origin : kWoodBlockOrigins) {
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 5; ++j) {
        const float x = origin.x + static_cast<float>(2 * i);
        const float y = origin.y + static_cast<float>(2 * j);
        woodPositions.set(slot, x, y, -1);
        floorPositions.set(slot, x, y, -1);
        ++slot;
      }
    }
  }
  for (const Point& p : kPorches) floorPositions.set(slot++, p.x, p.y, p.z);
}

void Game::placeSharedEntities() {
  struct Shared {
    Entity* entity;
    Mesh* mesh;
    Texture* texture;
  };
  const Shared shared[] = {
      {&treeEntity, &treeMesh, &whitePixelTexture},   {&wallEntity, &wallMesh, &wallTexture},
      {&tallWallEntity, &tallWallMesh, &wallTexture}, {&woodEntity, &woodMesh, &woodTexture},
      {&floorEntity, &floorWoodMesh, &woodTexture},
  };
  for (const Shared& s : shared) {
    s.entity->place(0, 0, -1, s.mesh, s.texture, &worldCamera);
    s.entity->setSize(1, 1, 1);
    s.entity->setPivot(0.5f, 0.5f);
    s.entity->setCollider(&collider);
  }
}

void Game::resetRun() {
  gameOver = false;
  spinTime = startSpinTime;
  background.position.y = 50;
  multiplier = 3;
  score = 0;
  countdown = 0;
  playing = true;
}

void Game::buildLevel() {
  placeActors();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  placeFixedTrees();
  placeRandomTrees(treePositions, &libraryRand);
  placeWalls();
  placeTallWalls();
  placeWoodAndFloor();
  placeSharedEntities();
  resetRun();
}

}  // namespace dravik
