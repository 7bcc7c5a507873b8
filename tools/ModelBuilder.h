// Builds triangle models and writes them in the game's JSON model format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravik::assets {

struct Point3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct Rgb {
  float r = 1.0f;
  float g = 1.0f;
  float b = 1.0f;
};

struct Box {
  Point3 min;
  Point3 max;
};

// Vertex shading for the faces of a box, by the direction they face.
struct FaceShades {
  float top = 1.0f;
  float north = 0.85f;  // +y
  float south = 0.8f;   // -y
  float east = 0.7f;    // +x
  float west = 0.7f;    // -x
  float bottom = 0.5f;
};

class ModelBuilder {
 public:
  // Returns the new vertex's index.
  int addVertex(Point3 position, float u, float v, Rgb colour);
  // Corners given counter-clockwise as seen from the side the face shows.
  void addTriangle(int a, int b, int c);
  // Four corners counter-clockwise seen from the front; uvs in the same
  // order as the corners.
  void addQuad(const Point3 (&corners)[4], const float (&uvs)[4][2], Rgb colour);
  // Axis-aligned box with its six faces pointing out. Textures repeat once
  // every `unitsPerRepeat` world units on every face.
  void addBox(const Box& box, Rgb colour, const FaceShades& shades, float unitsPerRepeat);
  // Upright cone around a vertical axis: `sides` slanted faces meeting at the
  // apex and a flat base, all pointing out. Slanted faces are shaded by how
  // much they face a fixed light from the north-east.
  void addCone(Point3 baseCentre, float radius, float height, int sides, Rgb colour);

  std::size_t vertexCount() const { return positions_.size(); }
  // {"model": {"vertices", "uvs", "colors", "indices"}}, one entry a line.
  std::string toJson() const;

 private:
  std::vector<Point3> positions_;
  std::vector<float> uvs_;
  std::vector<Rgb> colours_;
  std::vector<int> indices_;
};

// Shortest decimal text for a value rounded to 4 decimals ("0.5", "-1",
// "6.3"), independent of the locale.
std::string formatNumber(float value);

}  // namespace dravik::assets
