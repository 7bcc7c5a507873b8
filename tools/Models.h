// The game's models and its collider, as JSON text.
#pragma once

#include <string>

namespace dravik::assets {

std::string makeQuadModel();            // unit quad 0..1 facing +z, uvs 0..1
std::string makeBackgroundQuadModel();  // the same quad with the texture repeated
std::string makeWallModel();            // 2 x 2 x 2 block on the level's 2-unit grid
std::string makeTallWallModel();        // the same footprint, 6 high
std::string makeFloorWoodModel();       // thin 2 x 2 floor tile on the ground
std::string makeWoodRoofModel();        // 2 x 2 roof slab resting on the tall walls
std::string makeTreeModel();            // trunk and two cones, vertex coloured
std::string makeQuadCollider();         // unit square: corners, edges, one circle

// Repeats of the star texture across the backdrop quad.
constexpr float kBackgroundRepeats = 20.0f;
// Heights of the level pieces above their origin (which the game puts at
// ground level, z = -1).
constexpr float kWallHeight = 2.0f;
constexpr float kTallWallHeight = 6.0f;
constexpr float kFloorThickness = 0.05f;
constexpr float kRoofBottom = 6.0f;
constexpr float kRoofTop = 6.3f;

}  // namespace dravik::assets
