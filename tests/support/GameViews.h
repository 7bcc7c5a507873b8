// Four pictures of the level that between them draw every kind of piece and
// state change: as it starts, scrolled (pieces lean near the rim), with the
// camera panned, and in orthographic projection.
#pragma once

#include "game/Game.h"

namespace dravik::test {

constexpr int kGameViews = 4;

inline void showGameView(Game& game, int view) {
  game.groundOffset = view == 1 ? Vec2(2.37f, -1.61f) : Vec2(0.0f, 0.0f);
  game.cameraEye = view == 2 ? Vec2(4.5f, -27.0f) : Vec2(0.0f, -30.0f);
  game.perspective = view != 3;
}

}  // namespace dravik::test
