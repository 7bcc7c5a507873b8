// The one scene of the program: every asset, the play-field entities, the
// level lists, two cameras and the play state.
#pragma once

#include <array>
#include <memory>

#include "game/InstanceList.h"
#include "mesh/BitmapText.h"
#include "mesh/Mesh.h"
#include "render/Camera.h"
#include "render/Math.h"
#include "render/RenderState.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "world/Collider.h"
#include "world/Entity.h"

namespace dravik {

class Game;
class InputState;

// Handed to the window, which forwards every size message, and the loss of
// the GL context, through it.
struct ResizeListener {
  Game* game;
};

class Game {
 public:
  static constexpr std::size_t kTreeCount = 30;
  static constexpr std::size_t kWallCount = 113;
  static constexpr std::size_t kTallWallCount = 119;
  static constexpr std::size_t kWoodCount = 125;
  static constexpr std::size_t kFloorCount = 145;
  static constexpr int kTextureCount = 7;
  static constexpr int kModelCount = 7;

  // Makes no GL call and reads no file.
  Game();
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  ResizeListener* resizeListener() const { return resizeListener_.get(); }

  // Needs a current GL context: runs every start step below at once.
  // Always returns 1.
  int init();

  // Where the start stands, for a loading bar: the stage the next step works
  // on ("textures"), which of its items that is (from 1) and how many the
  // stage has, and the steps done of all.
  struct StartProgress {
    const char* stage;
    int item;
    int items;
    int stepsDone;
    int steps;
  };
  // init's work in short steps, in init's order: each texture (read, then
  // uploaded in its turn), each model with its buffers, the collider, the
  // level, the texts, then the three shader programs compiled together,
  // linked together and checked. beginStart starts over (from a fresh
  // context, say); runStartStep runs the next step and answers whether
  // steps remain. A step that waits on the driver's background compile
  // returns without moving on.
  void beginStart();
  bool runStartStep();
  StartProgress startProgress() const;

  // Every GL object the game holds, made from data/ (the textures and the
  // shaders are read again) and from the models and texts in memory; leaves
  // the conveyor program current. Always returns 1.
  int createGlObjects();
  // createGlObjects in a context that came back after a loss, leaving the
  // basic program current, as every frame before the loss did.
  int restoreGlObjects();
  // Gives every GL object up. With a current context it deletes the
  // textures (but the stars') and the buffers; without one (a lost context)
  // it only forgets the names, which died with the context. The play state
  // stays, so createGlObjects can carry on with the same scene.
  void releaseGlObjects();
  void update(float dt);
  void render();
  // Touches only renderState and hudCamera, so it works before init.
  void onResize(int width, int height);
  // The shutdown step: releaseGlObjects. Harmless without a current context.
  void release();
  // Lays out the level and resets the run state; plain data, no GL.
  void buildLevel();

  // Draws one slot of an instance list through the shared entity, culled
  // and tilted by its distance from the view centre.
  void drawInstance(Entity& entity, float x, float y, float z);

  // Slots 14-29 of the tree list: two values of rng per slot, x first.
  static void placeRandomTrees(InstanceList<kTreeCount>& trees, int (*rng)());

  // Play state.
  bool f2Latch = false;
  bool spaceLatch = false;
  bool perspective = true;
  int cameraMode = 0;
  Vec2 cameraEye{0.0f, -30.0f};
  Vec2 groundOffset{0.0f, 0.0f};
  bool playing = false;
  bool gameOver = false;
  float countdown = 0.0f;
  float score = 0.0f;
  float multiplier = 3.0f;
  float spinTime = 0.0f;
  float startSpinTime = 0.0f;

  // Assets.
  Texture fontTexture;
  Texture roadTexture;
  Texture wallTexture;
  Texture grassTexture;
  Texture whitePixelTexture;
  Texture starsTexture;
  Texture woodTexture;

  Mesh quadMesh;
  Mesh treeMesh;
  Mesh wallMesh;
  Mesh tallWallMesh;
  Mesh woodMesh;
  Mesh floorWoodMesh;
  Mesh backgroundMesh;

  Collider collider;

  BitmapText debugText;
  BitmapText multiplierText;
  BitmapText scoreText;
  BitmapText modeText;
  BitmapText startText;
  BitmapText easyText;
  BitmapText randomText;

  Camera worldCamera;
  Camera hudCamera;
  RenderState renderState;

  // Actors.
  Entity background;
  Entity groundTile;
  Entity player;
  Entity bar;

  // Shared instance entities and their lists.
  Entity treeEntity;
  Entity wallEntity;
  Entity tallWallEntity;
  Entity woodEntity;
  Entity floorEntity;
  InstanceList<kTreeCount> treePositions;
  InstanceList<kWallCount> wallPositions;
  InstanceList<kTallWallCount> tallWallPositions;
  InstanceList<kWoodCount> woodPositions;
  InstanceList<kFloorCount> floorPositions;

  // The x, y that input moves: the player's position.
  Vec3* playerPosition = nullptr;

  ShaderProgram basicProgram;
  ShaderProgram conveyorProgram;
  ShaderProgram gameOverProgram;
  int posLocation = -1;

 private:
  // The start steps' parts, shared with createGlObjects.
  void readTexture(int loadIndex);
  void uploadTextures();
  void loadMesh(int index);
  void placeBackdrop();
  void composeTexts();
  void loadPrograms();
  void compilePrograms();
  bool programsCompiled() const;
  void linkPrograms();
  bool programsLinked() const;
  void reportPrograms();
  void finishStart();
  void placeActors();
  void placeFixedTrees();
  void placeWalls();
  void placeTallWalls();
  void placeWoodAndFloor();
  void placeSharedEntities();
  void resetRun();
  // The steps of update, in the order it takes them.
  void updateToggles(const InputState& input);
  void showBarPosition();
  float advanceCountdown(float dt);
  void updateScoreZones(float dt);
  void move(const InputState& input, float dt);
  void drawGrass();
  template <std::size_t N>
  void drawList(Entity& entity, const InstanceList<N>& list);
  std::array<Mesh*, 7> meshes() {
    return {&quadMesh, &treeMesh,      &wallMesh,      &tallWallMesh,
            &woodMesh, &floorWoodMesh, &backgroundMesh};
  }
  std::array<BitmapText*, 7> texts() {
    return {&debugText, &multiplierText, &scoreText, &modeText, &startText, &easyText, &randomText};
  }

  std::array<ShaderProgram*, 3> programs() {
    return {&basicProgram, &conveyorProgram, &gameOverProgram};
  }
  std::array<const ShaderProgram*, 3> programs() const {
    return {&basicProgram, &conveyorProgram, &gameOverProgram};
  }

  std::unique_ptr<ResizeListener> resizeListener_;
  int startStep_ = 0;
};

}  // namespace dravik
