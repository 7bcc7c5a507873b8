#include "game/Game.h"
#include "gl/GlApi.h"

namespace dravik {

namespace {

struct TextureFile {
  Texture Game::*texture;
  const char* name;
};
// In the order they are read.
constexpr TextureFile kTextureFiles[] = {
    {&Game::fontTexture, "data/font.bmp.fnt"},
    {&Game::roadTexture, "data/road6.png"},
    {&Game::wallTexture, "data/wall.bmp"},
    {&Game::woodTexture, "data/wood.bmp"},
    {&Game::grassTexture, "data/grass.bmp"},
    {&Game::whitePixelTexture, "data/whitepixel.bmp"},
    {&Game::starsTexture, "data/sky/stars/stars.bmp"},
};
// Uploads go in an order of their own, white pixel before grass: indices
// into kTextureFiles.
constexpr int kUploadOrder[] = {0, 1, 2, 3, 5, 4, 6};

struct MeshFile {
  Mesh Game::*mesh;
  const char* name;
};
constexpr MeshFile kMeshFiles[] = {
    {&Game::quadMesh, "data/quad.json"},
    {&Game::treeMesh, "data/meshes/display/tree.json"},
    {&Game::wallMesh, "data/meshes/display/wall.json"},
    {&Game::tallWallMesh, "data/meshes/display/tallWall.json"},
    {&Game::woodMesh, "data/meshes/display/wood.json"},
    {&Game::floorWoodMesh, "data/meshes/display/floorWood.json"},
    {&Game::backgroundMesh, "data/quadBackground.json"},
};

// How many textures are uploaded once the first `read` files are read: the
// upload order's lead whose files all are.
int uploadedAfterReading(int read) {
  int uploaded = 0;
  while (uploaded < Game::kTextureCount && kUploadOrder[uploaded] < read) ++uploaded;
  return uploaded;
}

}  // namespace

// Reads one texture, then uploads every texture whose turn has come and
// whose file has been read; the last upload is followed by the parameters.
// Read again on every start: the pixels are freed once uploaded.
void Game::readTexture(int loadIndex) {
  (this->*kTextureFiles[loadIndex].texture).loadFromFile(kTextureFiles[loadIndex].name);
  for (int turn = uploadedAfterReading(loadIndex); turn < uploadedAfterReading(loadIndex + 1);
       ++turn) {
    Texture& texture = this->*kTextureFiles[kUploadOrder[turn]].texture;
    texture.upload();
    texture.releasePixels();
  }
  if (loadIndex != kTextureCount - 1) return;
  starsTexture.setWrap(kWrapRepeat);
  wallTexture.setWrap(kWrapRepeat);
  wallTexture.setLinearFilter(false);
  woodTexture.setWrap(kWrapRepeat);
  woodTexture.setLinearFilter(false);
}

void Game::uploadTextures() {
  for (int i = 0; i < kTextureCount; ++i) readTexture(i);
}

void Game::loadMesh(int index) {
  Mesh& mesh = this->*kMeshFiles[index].mesh;
  mesh.loadFile(kMeshFiles[index].name);
  mesh.createBuffers();
}

void Game::placeBackdrop() {
  background.place(0, 0, -10, &backgroundMesh, &starsTexture, &worldCamera);
  background.setSize(200, 200, 1);
  background.setPivot(0.5f, 0.5f);
  groundTile.place(0, 0, -1, &quadMesh, &grassTexture, &worldCamera);
  groundTile.setSize(1, 1, 1);
  groundTile.setPivot(0.5f, 0.5f);
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

void Game::loadPrograms() {
  basicProgram.load("data/shaders/basic-fixed.vert", "data/shaders/basic-fixed.frag");
  conveyorProgram.load("data/shaders/conveyor-map.vert", "data/shaders/conveyor-map.frag");
  gameOverProgram.load("data/shaders/gameover-fixed.vert", "data/shaders/gameover-fixed.frag");
}

// The three programs are built side by side: every compile is under way
// before the first is asked how it went, and every link before the first
// link status, so that a driver that builds in the background builds them
// all at once.
void Game::compilePrograms() {
  for (ShaderProgram* program : programs()) program->compile();
}

bool Game::programsCompiled() const {
  for (const ShaderProgram* program : programs()) {
    if (!program->compileFinished()) return false;
  }
  return true;
}

void Game::linkPrograms() {
  for (ShaderProgram* program : programs()) program->link();
}

bool Game::programsLinked() const {
  for (const ShaderProgram* program : programs()) {
    if (!program->linkFinished()) return false;
  }
  return true;
}

void Game::reportPrograms() {
  for (ShaderProgram* program : programs()) program->reportLink();
  conveyorProgram.use();
  posLocation = glGetUniformLocation(conveyorProgram.programId(), "pos");
}

int Game::createGlObjects() {
  uploadTextures();
  for (Mesh* mesh : meshes()) mesh->createBuffers();
  for (BitmapText* text : texts()) text->createBuffers();
  loadPrograms();
  compilePrograms();
  linkPrograms();
  reportPrograms();
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
