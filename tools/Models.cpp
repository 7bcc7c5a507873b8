#include "tools/Models.h"

#include "tools/ModelBuilder.h"

namespace dravik::assets {
namespace {

// Level pieces span x, y in -0.5..1.5: with the game's pivot of 0.5 they are
// centred on their grid position, and neighbours 2 units apart meet.
constexpr float kCellMin = -0.5f;
constexpr float kCellMax = 1.5f;

std::string quad(float repeats) {
  ModelBuilder model;
  model.addQuad({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                {{0, 0}, {repeats, 0}, {repeats, repeats}, {0, repeats}}, Rgb{1, 1, 1});
  return model.toJson();
}

std::string cellBox(float bottom, float top, FaceShades shades) {
  ModelBuilder model;
  model.addBox(Box{{kCellMin, kCellMin, bottom}, {kCellMax, kCellMax, top}}, Rgb{1, 1, 1}, shades,
               2.0f);
  return model.toJson();
}

}  // namespace

std::string makeQuadModel() { return quad(1.0f); }

std::string makeBackgroundQuadModel() { return quad(kBackgroundRepeats); }

std::string makeWallModel() { return cellBox(0.0f, kWallHeight, FaceShades{}); }

std::string makeTallWallModel() { return cellBox(0.0f, kTallWallHeight, FaceShades{}); }

std::string makeFloorWoodModel() {
  FaceShades shades;
  shades.top = 0.9f;
  return cellBox(0.0f, kFloorThickness, shades);
}

std::string makeWoodRoofModel() {
  // Darker than the floor so a roof reads apart from the floor seen through
  // a gap.
  FaceShades shades;
  shades.top = 0.8f;
  shades.north = shades.south = 0.6f;
  shades.east = shades.west = 0.5f;
  return cellBox(kRoofBottom, kRoofTop, shades);
}

std::string makeTreeModel() {
  ModelBuilder model;
  const Rgb bark{0.45f, 0.29f, 0.14f};
  model.addBox(Box{{0.35f, 0.35f, 0.0f}, {0.65f, 0.65f, 1.2f}}, bark, FaceShades{}, 1.0f);
  const Rgb leaves{0.16f, 0.5f, 0.17f};
  model.addCone(Point3{0.5f, 0.5f, 0.9f}, 0.95f, 1.8f, 7, leaves);
  const Rgb youngLeaves{0.24f, 0.62f, 0.22f};
  model.addCone(Point3{0.5f, 0.5f, 1.9f}, 0.65f, 1.5f, 7, youngLeaves);
  return model.toJson();
}

std::string makeQuadCollider() {
  return "{\"collider\": {\n"
         "  \"vertices\": [\n"
         "    {\"x\": 0, \"y\": 0},\n"
         "    {\"x\": 1, \"y\": 0},\n"
         "    {\"x\": 1, \"y\": 1},\n"
         "    {\"x\": 0, \"y\": 1}\n"
         "  ],\n"
         "  \"indices\": [\n"
         "    {\"a\": 0, \"b\": 1},\n"
         "    {\"a\": 1, \"b\": 2},\n"
         "    {\"a\": 2, \"b\": 3},\n"
         "    {\"a\": 3, \"b\": 0}\n"
         "  ],\n"
         "  \"circles\": [\n"
         "    {\"x\": 0.5, \"y\": 0.5, \"radius\": 0.5}\n"
         "  ]\n"
         "}}\n";
}

}  // namespace dravik::assets
