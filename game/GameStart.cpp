// The game's start in short steps. A desktop runs them all in one call
// (init); a browser runs them over its animation frames, so that the page
// keeps drawing its loading bar and answering taps while the game starts.
#include "game/Game.h"

namespace dravik {

namespace {

// The steps, in order: one per texture, one per model, then one each.
enum Step : int {
  kFirstTexture = 0,
  kFirstModel = kFirstTexture + Game::kTextureCount,
  kCollider = kFirstModel + Game::kModelCount,
  kLevel,
  kTexts,
  kCompile,
  kLink,
  kCheck,
  kStepCount
};

}  // namespace

int Game::init() {
  beginStart();
  while (runStartStep()) {
  }
  return 1;
}

void Game::beginStart() {
  f2Latch = false;
  spaceLatch = false;
  startSpinTime = 0.0f;
  startStep_ = 0;
}

bool Game::runStartStep() {
  const int step = startStep_;
  if (step >= kStepCount) return false;
  if (step < kFirstModel) {
    readTexture(step - kFirstTexture);
  } else if (step < kCollider) {
    loadMesh(step - kFirstModel);
  } else if (step == kCollider) {
    collider.loadCollider("data/meshes/colliders/quadCollider.json");
  } else if (step == kLevel) {
    placeBackdrop();
    buildLevel();
    playerPosition = &player.position;
  } else if (step == kTexts) {
    composeTexts();
    for (BitmapText* text : texts()) text->createBuffers();
  } else if (step == kCompile) {
    loadPrograms();
    compilePrograms();
  } else if (step == kLink) {
    if (!programsCompiled()) return true;
    linkPrograms();
  } else {
    if (!programsLinked()) return true;
    reportPrograms();
    finishStart();
  }
  ++startStep_;
  return startStep_ < kStepCount;
}

void Game::finishStart() {
  playing = false;
  hudCamera.resetView();
  cameraMode = 0;
  perspective = true;
  cameraEye = Vec2(0.0f, -30.0f);
}

Game::StartProgress Game::startProgress() const {
  const int step = startStep_;
  StartProgress progress{"shaders", step - kCompile + 1, kStepCount - kCompile, step, kStepCount};
  if (step < kFirstModel) {
    progress = {"textures", step - kFirstTexture + 1, kTextureCount, step, kStepCount};
  } else if (step < kCollider) {
    progress = {"models", step - kFirstModel + 1, kModelCount, step, kStepCount};
  } else if (step == kCollider) {
    progress = {"collider", 1, 1, step, kStepCount};
  } else if (step == kLevel) {
    progress = {"level", 1, 1, step, kStepCount};
  } else if (step == kTexts) {
    progress = {"texts", 1, 1, step, kStepCount};
  } else if (step >= kStepCount) {
    progress = {"done", 1, 1, kStepCount, kStepCount};
  }
  return progress;
}

}  // namespace dravik
