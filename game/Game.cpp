#include "game/Game.h"

namespace dravik {

Game::Game() : resizeListener_(std::make_unique<ResizeListener>(ResizeListener{this})) {}

// Members clean up after themselves (meshes and texts free their buffers);
// the GL textures belong to release.
Game::~Game() = default;

}  // namespace dravik
