#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "game/Game.h"

namespace dravik {
namespace {

bool samePoint(const Vec3& a, float x, float y, float z) {
  return a.x == x && a.y == y && a.z == z;
}

std::unique_ptr<Game> builtGame() {
  auto game = std::make_unique<Game>();
  game->buildLevel();
  return game;
}

TEST(LevelTest, AvenueTreesLineTheWayFromGateToHouse) {
  auto game = builtGame();
  for (int i = 0; i < 7; ++i) {
    const float y = -4.0f - 4.0f * static_cast<float>(i);
    EXPECT_TRUE(samePoint(game->treePositions[i], 3, y, -1)) << "slot " << i;
    EXPECT_TRUE(samePoint(game->treePositions[7 + i], 11, y, -1)) << "slot " << 7 + i;
  }
}

TEST(LevelTest, RandomTreesStayInTheirRangesAndOutOfTheWallBand) {
  auto game = std::make_unique<Game>();
  std::set<float> westXs;
  std::set<float> eastXs;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::srand(seed);
    Game::placeRandomTrees(game->treePositions, [] { return std::rand(); });
    for (int slot = 14; slot < 30; ++slot) {
      const Vec3& tree = game->treePositions[slot];
      EXPECT_EQ(tree.z, -1.0f);
      EXPECT_GE(tree.y, -7.0f);
      EXPECT_LE(tree.y, 6.0f);
      EXPECT_EQ(tree.x, static_cast<float>(static_cast<int>(tree.x)));
      if (slot <= 20) {
        EXPECT_GE(tree.x, -40.0f) << "seed " << seed;
        EXPECT_LE(tree.x, -1.0f) << "seed " << seed;
        EXPECT_FALSE(tree.x > -32.0f && tree.x < -27.0f) << "seed " << seed;
        westXs.insert(tree.x);
      } else {
        EXPECT_GE(tree.x, 20.0f) << "seed " << seed;
        EXPECT_LE(tree.x, 39.0f) << "seed " << seed;
        EXPECT_FALSE(tree.x >= 28.0f && tree.x < 32.0f) << "seed " << seed;
        eastXs.insert(tree.x);
      }
      EXPECT_FALSE(std::abs(tree.x) > 27.0f && std::abs(tree.x) < 32.0f);
    }
  }
  // The shifted band ends: -36..-32 and 32..36 are reached, -31..-28 and
  // 28..31 never.
  EXPECT_TRUE(westXs.count(-36.0f));
  EXPECT_TRUE(westXs.count(-32.0f));
  EXPECT_TRUE(eastXs.count(32.0f));
  EXPECT_TRUE(eastXs.count(36.0f));
  EXPECT_TRUE(westXs.count(-40.0f));
  EXPECT_TRUE(westXs.count(-1.0f));
  EXPECT_TRUE(eastXs.count(20.0f));
  EXPECT_TRUE(eastXs.count(39.0f));
}

// A fixed sequence of generator values shows the draw order (x then y per
// slot) and the band shift.
int scriptedValues[32];
int scriptedIndex = 0;
int scriptedRng() { return scriptedValues[scriptedIndex++]; }

TEST(LevelTest, EachRandomTreeTakesTwoDrawsXFirstWithBandShift) {
  // west x = v % 40 - 40, y = v % 14 - 7; east x = v % 20 + 20.
  const std::vector<std::pair<int, int>> draws = {
      {0, 0},    // (-40, -7)
      {8, 13},   // x = -32 -> -36, y = 6
      {12, 1},   // x = -28 -> -32
      {11, 7},   // x = -29 -> -33, y = 0
      {39, 14},  // (-1, -7)
      {13, 3},   // -27 stays, y = -4
      {7, 20},   // -33 stays, y = -1
      {8, 0},    // east x = 28 -> 32
      {12, 0},   // 32 -> 36
      {7, 0},    // 27 stays
      {19, 0},   // 39 stays
      {0, 0},    // 20
      {10, 0},   // 30 -> 34
      {33, 0},   // 33 stays
      {9, 0},    // 29 -> 33
      {11, 27},  // 31 -> 35, y = 6
  };
  const float expectedX[] = {-40, -36, -32, -33, -1, -27, -33, 32, 36, 27, 39, 20, 34, 33, 33, 35};
  const float expectedY[] = {-7, 6, -6, 0, -7, -4, -1, -7, -7, -7, -7, -7, -7, -7, -7, 6};
  int n = 0;
  for (const auto& d : draws) {
    scriptedValues[n++] = d.first;
    scriptedValues[n++] = d.second;
  }
  scriptedIndex = 0;
  auto game = std::make_unique<Game>();
  Game::placeRandomTrees(game->treePositions, &scriptedRng);
  EXPECT_EQ(scriptedIndex, 32);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(game->treePositions[14 + i].x, expectedX[i]) << "slot " << 14 + i;
    EXPECT_EQ(game->treePositions[14 + i].y, expectedY[i]) << "slot " << 14 + i;
  }
}

TEST(LevelTest, SameSeedGivesSameTrees) {
  auto first = std::make_unique<Game>();
  auto second = std::make_unique<Game>();
  auto third = std::make_unique<Game>();
  std::srand(77);
  Game::placeRandomTrees(first->treePositions, [] { return std::rand(); });
  std::srand(77);
  Game::placeRandomTrees(second->treePositions, [] { return std::rand(); });
  std::srand(78);
  Game::placeRandomTrees(third->treePositions, [] { return std::rand(); });
  bool anyDifferent = false;
  for (int i = 14; i < 30; ++i) {
    EXPECT_TRUE(samePoint(first->treePositions[i], second->treePositions[i].x,
                          second->treePositions[i].y, second->treePositions[i].z));
    anyDifferent = anyDifferent || first->treePositions[i].x != third->treePositions[i].x ||
                   first->treePositions[i].y != third->treePositions[i].y;
  }
  EXPECT_TRUE(anyDifferent);

  // buildLevel seeds with the time in whole seconds: two builds within one
  // second agree (retry once if the second ticked over in between).
  bool agreed = false;
  for (int attempt = 0; attempt < 3 && !agreed; ++attempt) {
    first->buildLevel();
    second->buildLevel();
    agreed = true;
    for (int i = 14; i < 30; ++i) {
      agreed = agreed && samePoint(first->treePositions[i], second->treePositions[i].x,
                                   second->treePositions[i].y, second->treePositions[i].z);
    }
  }
  EXPECT_TRUE(agreed);
}

TEST(LevelTest, OuterWallsAndRaisedGate) {
  auto game = builtGame();
  for (int k = 0; k <= 16; ++k) {
    const float x = -16.0f + 2.0f * static_cast<float>(k);
    const float gateZ = (x >= 0 && x <= 12) ? 3.0f : -1.0f;
    EXPECT_TRUE(samePoint(game->wallPositions[k], x, -30, gateZ)) << "south " << k;
    EXPECT_TRUE(samePoint(game->wallPositions[17 + k], x, 30, -1)) << "north " << k;
    EXPECT_TRUE(samePoint(game->wallPositions[34 + k], -30, x, -1)) << "west " << k;
    EXPECT_TRUE(samePoint(game->wallPositions[51 + k], 30, x, -1)) << "east " << k;
  }
}

TEST(LevelTest, WallSlots68To112) {
  auto game = builtGame();
  struct Expected {
    int slot;
    float x, y, z;
  };
  const Expected expected[] = {
      {68, 6, 0, 3},      {69, 0, 0, 5},      {70, 12, 0, 5},    {71, 0, 12, 5},
      {72, 12, 12, 5},    {73, 0, -30, 1},    {74, 0, -30, -1},  {75, 12, -30, 1},
      {76, 12, -30, -1},  {77, -18, -24, 3},  {78, 18, -24, 3},  {79, 24, 18, 3},
      {80, -24, 18, 3},   {81, -30, -30, 5},  {82, 30, -30, 5},  {83, -30, 30, 5},
      {84, 30, 30, 5},    {85, -18, -30, 5},  {86, 18, -30, 5},  {87, -18, 30, 5},
      {88, 18, 30, 5},    {89, -18, -18, 5},  {90, 18, -18, 5},  {91, -18, 18, 5},
      {92, 18, 18, 5},    {93, -30, -18, 5},  {94, 30, -18, 5},  {95, -30, 18, 5},
      {96, 30, 18, 5},    {97, -24, -30, -1}, {98, -24, -30, 3}, {99, -30, -24, -1},
      {100, -30, -24, 3}, {101, 24, -30, -1}, {102, 24, -30, 3}, {103, 30, -24, -1},
      {104, 30, -24, 3},  {105, 24, 30, -1},  {106, 24, 30, 3},  {107, 30, 22, -1},
      {108, 30, 22, 3},   {109, -24, 30, -1}, {110, -24, 30, 3}, {111, -30, 22, -1},
      {112, -30, 22, 3},
  };
  for (const Expected& e : expected) {
    const Vec3& p = game->wallPositions[e.slot];
    EXPECT_TRUE(samePoint(p, e.x, e.y, e.z))
        << "slot " << e.slot << " holds " << p.x << ", " << p.y << ", " << p.z;
  }
}

TEST(LevelTest, TallWallHouseAndEnclosureRuns) {
  auto game = builtGame();
  // House: west side up, south side with the door gap at x = 6, east side,
  // north side.
  std::vector<Vec3> house;
  for (int k = 0; k <= 6; ++k) house.emplace_back(0.0f, 2.0f * k, -1.0f);
  for (float x : {2.0f, 4.0f, 8.0f, 10.0f, 12.0f}) house.emplace_back(x, 0.0f, -1.0f);
  for (int k = 1; k <= 6; ++k) house.emplace_back(12.0f, 2.0f * k, -1.0f);
  for (int k = 1; k <= 5; ++k) house.emplace_back(2.0f * k, 12.0f, -1.0f);
  ASSERT_EQ(house.size(), 23u);
  for (std::size_t i = 0; i < house.size(); ++i) {
    EXPECT_TRUE(samePoint(game->tallWallPositions[i], house[i].x, house[i].y, house[i].z))
        << "house slot " << i;
  }

  struct Run {
    int first, last;
    bool alongX;  // x varies, else y varies
    float fixed, from;
    int parked;
  };
  const Run runs[] = {
      {23, 29, true, -30, -30, 26},   {30, 35, false, -30, -28, 32},
      {36, 41, true, -18, -28, -1},   {42, 46, false, -18, -28, 44},
      {47, 53, true, -30, 18, 50},    {54, 59, false, 30, -28, 56},
      {60, 65, true, -18, 18, -1},    {66, 70, false, 18, -28, 68},
      {71, 77, true, 30, 18, 74},     {78, 83, false, 30, 18, 80},
      {84, 89, true, 18, 18, 87},     {90, 94, false, 18, 20, -1},
      {95, 101, true, 30, -30, 98},   {102, 107, false, -30, 18, 104},
      {108, 113, true, 18, -28, 110}, {114, 118, false, -18, 20, -1},
  };
  int covered = 23;
  for (const Run& run : runs) {
    EXPECT_EQ(run.first, covered);
    for (int slot = run.first; slot <= run.last; ++slot) {
      const float along = run.from + 2.0f * static_cast<float>(slot - run.first);
      if (slot == run.parked) {
        EXPECT_TRUE(game->tallWallPositions.isParked(slot)) << "slot " << slot;
        continue;
      }
      const float x = run.alongX ? along : run.fixed;
      const float y = run.alongX ? run.fixed : along;
      EXPECT_TRUE(samePoint(game->tallWallPositions[slot], x, y, -1)) << "slot " << slot;
    }
    covered = run.last + 1;
  }
  EXPECT_EQ(covered, 119);
}

TEST(LevelTest, ExactlyTheTwelveDoorAndWindowSlotsAreParked) {
  auto game = builtGame();
  const std::set<int> parked = {26, 32, 44, 50, 56, 68, 74, 80, 87, 98, 104, 110};
  for (int slot = 0; slot < 119; ++slot) {
    const Vec3& p = game->tallWallPositions[slot];
    if (parked.count(slot)) {
      EXPECT_TRUE(samePoint(p, PARKED, PARKED, PARKED)) << "slot " << slot;
    } else {
      EXPECT_FALSE(game->tallWallPositions.isParked(slot)) << "slot " << slot;
      EXPECT_EQ(p.z, -1.0f);
    }
  }
}

TEST(LevelTest, WindowsGetALowAndAHighWallPiece) {
  auto game = builtGame();
  // Window slots of the tall-wall runs, by their place in the run.
  const std::pair<float, float> windows[] = {{-24, -30}, {-30, -24}, {24, -30}, {30, -24},
                                             {24, 30},   {30, 22},   {-24, 30}, {-30, 22}};
  for (const auto& w : windows) {
    int low = 0;
    int high = 0;
    for (int slot = 97; slot < 113; ++slot) {
      if (samePoint(game->wallPositions[slot], w.first, w.second, -1)) ++low;
      if (samePoint(game->wallPositions[slot], w.first, w.second, 3)) ++high;
    }
    EXPECT_EQ(low, 1) << w.first << ", " << w.second;
    EXPECT_EQ(high, 1) << w.first << ", " << w.second;
    for (int slot = 0; slot < 119; ++slot) {
      const Vec3& p = game->tallWallPositions[slot];
      EXPECT_FALSE(p.x == w.first && p.y == w.second) << "tall wall in a window at " << slot;
    }
  }
}

TEST(LevelTest, WoodBlocksAndFloorShareThe125Positions) {
  auto game = builtGame();
  const std::pair<float, float> origins[] = {{2, 2}, {-28, -28}, {-28, 20}, {20, -28}, {20, 20}};
  for (int b = 0; b < 5; ++b) {
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 5; ++j) {
        const int slot = 25 * b + 5 * i + j;
        const float x = origins[b].first + 2.0f * i;
        const float y = origins[b].second + 2.0f * j;
        EXPECT_TRUE(samePoint(game->woodPositions[slot], x, y, -1)) << "wood " << slot;
        EXPECT_TRUE(samePoint(game->floorPositions[slot], x, y, -1)) << "floor " << slot;
      }
    }
  }
}

TEST(LevelTest, PorchesInFrontOfEveryDoor) {
  auto game = builtGame();
  const std::pair<float, float> porches[] = {
      {6, 0},    {6, -2},    {4, -2},    {8, -2},   {-18, -24}, {18, -24},  {24, 18},
      {-24, 18}, {-16, -24}, {16, -24},  {24, 16},  {-24, 16},  {-16, -22}, {16, -22},
      {22, 16},  {-22, 16},  {-16, -26}, {16, -26}, {26, 16},   {-26, 16}};
  for (int i = 0; i < 20; ++i) {
    EXPECT_TRUE(samePoint(game->floorPositions[125 + i], porches[i].first, porches[i].second, -1))
        << "slot " << 125 + i;
  }
  // The enclosure doors (parked tall-wall slots 44, 68, 87, 110) each have a
  // porch tile on the door itself.
  const std::pair<float, float> doors[] = {{-18, -24}, {18, -24}, {24, 18}, {-24, 18}};
  for (const auto& door : doors) {
    bool found = false;
    for (int slot = 129; slot < 145; ++slot) {
      found = found || samePoint(game->floorPositions[slot], door.first, door.second, -1);
    }
    EXPECT_TRUE(found) << door.first << ", " << door.second;
  }
}

TEST(LevelTest, ActorsSharedEntitiesAndRunState) {
  auto game = std::make_unique<Game>();
  game->startSpinTime = 1.25f;
  game->score = 99;
  game->multiplier = 1;
  game->countdown = 2;
  game->gameOver = true;
  game->playing = false;
  game->buildLevel();

  EXPECT_TRUE(samePoint(game->player.position, 0, 0, -2));
  EXPECT_EQ(game->player.mesh, &game->quadMesh);
  EXPECT_EQ(game->player.texture, &game->wallTexture);
  EXPECT_EQ(game->player.camera, &game->worldCamera);
  EXPECT_EQ(game->player.size.x, 2.55f);
  EXPECT_EQ(game->player.size.y, 7.0f);
  EXPECT_EQ(game->player.pivot.x, 0.5f);
  EXPECT_EQ(game->player.collider, nullptr);
  EXPECT_TRUE(samePoint(game->bar.position, 0, 0, -1));
  EXPECT_EQ(game->bar.size.x, 0.5f);
  EXPECT_EQ(game->bar.size.y, 13.0f);
  EXPECT_EQ(game->bar.collider, &game->collider);

  struct Shared {
    const Entity* entity;
    const Mesh* mesh;
    const Texture* texture;
  };
  const Shared shared[] = {{&game->treeEntity, &game->treeMesh, &game->whitePixelTexture},
                           {&game->wallEntity, &game->wallMesh, &game->wallTexture},
                           {&game->tallWallEntity, &game->tallWallMesh, &game->wallTexture},
                           {&game->woodEntity, &game->woodMesh, &game->woodTexture},
                           {&game->floorEntity, &game->floorWoodMesh, &game->woodTexture}};
  for (const Shared& s : shared) {
    EXPECT_TRUE(samePoint(s.entity->position, 0, 0, -1));
    EXPECT_EQ(s.entity->mesh, s.mesh);
    EXPECT_EQ(s.entity->texture, s.texture);
    EXPECT_EQ(s.entity->camera, &game->worldCamera);
    EXPECT_EQ(s.entity->collider, &game->collider);
    EXPECT_TRUE(samePoint(s.entity->size, 1, 1, 1));
    EXPECT_EQ(s.entity->pivot.x, 0.5f);
    EXPECT_EQ(s.entity->pivot.y, 0.5f);
  }

  EXPECT_FALSE(game->gameOver);
  EXPECT_EQ(game->spinTime, 1.25f);
  EXPECT_EQ(game->background.position.y, 50.0f);
  EXPECT_EQ(game->multiplier, 3.0f);
  EXPECT_EQ(game->score, 0.0f);
  EXPECT_EQ(game->countdown, 0.0f);
  EXPECT_TRUE(game->playing);
}

TEST(LevelTest, EveryPlacedPieceIsOnTheTwoUnitGrid) {
  auto game = builtGame();
  auto onGrid = [](float v) { return static_cast<int>(v) == v && static_cast<int>(v) % 2 == 0; };
  for (int i = 0; i < 113; ++i) {
    EXPECT_TRUE(onGrid(game->wallPositions[i].x) && onGrid(game->wallPositions[i].y)) << i;
  }
  for (int i = 0; i < 119; ++i) {
    if (game->tallWallPositions.isParked(i)) continue;
    EXPECT_TRUE(onGrid(game->tallWallPositions[i].x) && onGrid(game->tallWallPositions[i].y)) << i;
  }
  for (int i = 0; i < 145; ++i) {
    EXPECT_TRUE(onGrid(game->floorPositions[i].x) && onGrid(game->floorPositions[i].y)) << i;
  }
}

}  // namespace
}  // namespace dravik
