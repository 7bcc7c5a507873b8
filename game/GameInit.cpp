#include "game/Game.h"
#include "gl/GlApi.h"

namespace dravik {

void Game::uploadTextures() {
  // Read again on every call: the pixels are freed once uploaded.
  fontTexture.loadFromFile("data/font.bmp.fnt");
  roadTexture.loadFromFile("data/road6.png");
  wallTexture.loadFromFile("data/wall.bmp");
  woodTexture.loadFromFile("data/wood.bmp");
  grassTexture.loadFromFile("data/grass.bmp");
  whitePixelTexture.loadFromFile("data/whitepixel.bmp");
  starsTexture.loadFromFile("data/sky/stars/stars.bmp");

  // Upload order differs from load order: white pixel goes before grass.
  Texture* const uploadOrder[] = {&fontTexture,       &roadTexture,  &wallTexture, &woodTexture,
                                  &whitePixelTexture, &grassTexture, &starsTexture};
  for (Texture* texture : uploadOrder) {
    texture->upload();
    texture->releasePixels();
  }

  starsTexture.setWrap(kWrapRepeat);
  wallTexture.setWrap(kWrapRepeat);
  wallTexture.setLinearFilter(false);
  woodTexture.setWrap(kWrapRepeat);
  woodTexture.setLinearFilter(false);
}

void Game::loadMeshes() {
  struct MeshFile {
    Mesh* mesh;
    const char* name;
  };
  const MeshFile files[] = {
      {&quadMesh, "data/quad.json"},
      {&treeMesh, "data/meshes/display/tree.json"},
      {&wallMesh, "data/meshes/display/wall.json"},
      {&tallWallMesh, "data/meshes/display/tallWall.json"},
      {&woodMesh, "data/meshes/display/wood.json"},
      {&floorWoodMesh, "data/meshes/display/floorWood.json"},
      {&backgroundMesh, "data/quadBackground.json"},
  };
  for (const MeshFile& file : files) file.mesh->loadFile(file.name);
}

void Game::composeTexts() {
  debugText.compose("ca marche!", 150, 35, -35, 90, 0, 1, 0, &fontTexture, &hudCamera);
  debugText.setAngle(90);
  multiplierText.compose("x3", 230, 35, -35, 90, 0, 0, 1, &fontTexture, &hudCamera);
  multiplierText.setAngle(90);
  scoreText.compose("ca marche!", 310, 35, -35, 90, 0, 1, 0, &fontTexture, &hudCamera);
  scoreText.setAngle(90);
  modeText.compose("NORMAL", 40, 620, -35, 40, 0, 0, 0, &fontTexture, &hudCamera);
  startText.compose("PRESS SPACE TO START", 150, 35, -35, 50, 0, 0, 0, &fontTexture, &hudCamera);
  easyText.compose("PRESS F1 FOR EASY MODE", 80, 450, -35, 30, 0, 0, 0, &fontTexture, &hudCamera);
  easyText.setAngle(20);
  randomText.compose("PRESS F2 FOR RANDOM MODE", 600, 600, -35, 25, 0, 0, 0, &fontTexture,
                     &hudCamera);
  randomText.setAngle(-10);
}

void Game::buildPrograms() {
  basicProgram.load("data/shaders/basic-fixed.vert", "data/shaders/basic-fixed.frag");
  basicProgram.compileAndLink();
  conveyorProgram.load("data/shaders/conveyor-map.vert", "data/shaders/conveyor-map.frag");
  conveyorProgram.compileAndLink();
  gameOverProgram.load("data/shaders/gameover-fixed.vert", "data/shaders/gameover-fixed.frag");
  gameOverProgram.compileAndLink();
}

int Game::init() {
  f2Latch = false;
  spaceLatch = false;
  startSpinTime = 0.0f;

  loadMeshes();
  collider.loadCollider("data/meshes/colliders/quadCollider.json");

  background.place(0, 0, -10, &backgroundMesh, &starsTexture, &worldCamera);
  background.setSize(200, 200, 1);
  background.setPivot(0.5f, 0.5f);
  groundTile.place(0, 0, -1, &quadMesh, &grassTexture, &worldCamera);
  groundTile.setSize(1, 1, 1);
  groundTile.setPivot(0.5f, 0.5f);

  buildLevel();
  playerPosition = &player.position;
  composeTexts();

  const int created = createGlObjects();

  playing = false;
  hudCamera.resetView();
  cameraMode = 0;
  perspective = true;
  cameraEye = Vec2(0.0f, -30.0f);
  return created;
}

int Game::createGlObjects() {
  uploadTextures();
  for (Mesh* mesh : meshes()) mesh->createBuffers();
  for (BitmapText* text : texts()) text->createBuffers();
  buildPrograms();
  conveyorProgram.use();
  posLocation = glGetUniformLocation(conveyorProgram.programId(), "pos");
  return 1;
}

int Game::restoreGlObjects() {
  const int created = createGlObjects();
  basicProgram.use();
  return created;
}

void Game::releaseGlObjects() {
  // Shutdown has always left the stars texture to the driver, and without a
  // context every call below only forgets the names.
  Texture* const deleted[] = {&fontTexture, &roadTexture,  &wallTexture,
                              &woodTexture, &grassTexture, &whitePixelTexture};
  for (Texture* texture : deleted) texture->deleteTexture();
  if (!glentry::contextAvailable()) starsTexture.deleteTexture();
  for (Mesh* mesh : meshes()) mesh->deleteBuffers();
  for (BitmapText* text : texts()) text->releaseBuffers();
  basicProgram.release();
  conveyorProgram.release();
  gameOverProgram.release();
  posLocation = -1;
}

void Game::onResize(int width, int height) {
  renderState.setViewport(0, 0, width, height);
  // The HUD keeps its 1280 x 720 pixel space whatever the window size.
  hudCamera.resetProjection();
  hudCamera.setOrtho(0, 1280, 0, 720, 1, 1000);
}

void Game::release() { releaseGlObjects(); }

}  // namespace dravik
