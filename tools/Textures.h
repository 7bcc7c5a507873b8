// Procedural textures of the game. Each is tileable: its left edge continues
// its right edge and its top edge its bottom edge.
#pragma once

#include "tools/Image.h"

namespace dravik::assets {

Image makeGrass();       // 64 x 64 noisy green with lighter blades
Image makeStoneWall();   // 64 x 64 offset stone blocks with mortar lines
Image makeWoodPlanks();  // 64 x 64 planks running along y, with grain
Image makeStars();       // 128 x 128 dark blue night with stars
Image makeRoad();        // 64 x 64 asphalt, dashed centre line, soft alpha edges
Image makeWhitePixel();  // 1 x 1 white

}  // namespace dravik::assets
