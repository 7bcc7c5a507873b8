#include "tools/ModelBuilder.h"

#include <cmath>
#include <cstdio>

namespace dravik::assets {

std::string formatNumber(float value) {
  long long scaled = std::llround(static_cast<double>(value) * 10000.0);
  std::string text = scaled < 0 ? "-" : "";
  if (scaled < 0) scaled = -scaled;
  text += std::to_string(scaled / 10000);
  long long fraction = scaled % 10000;
  if (fraction != 0) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04lld", fraction);
    std::string tail(digits);
    while (!tail.empty() && tail.back() == '0') tail.pop_back();
    text += "." + tail;
  }
  return text == "-0" ? "0" : text;
}

int ModelBuilder::addVertex(Point3 position, float u, float v, Rgb colour) {
  positions_.push_back(position);
  uvs_.push_back(u);
  uvs_.push_back(v);
  colours_.push_back(colour);
  return static_cast<int>(positions_.size() - 1);
}

void ModelBuilder::addTriangle(int a, int b, int c) { indices_.insert(indices_.end(), {a, b, c}); }

void ModelBuilder::addQuad(const Point3 (&corners)[4], const float (&uvs)[4][2], Rgb colour) {
  int first = -1;
  for (int i = 0; i < 4; ++i) {
    const int index = addVertex(corners[i], uvs[i][0], uvs[i][1], colour);
    if (i == 0) first = index;
  }
  addTriangle(first, first + 1, first + 2);
  addTriangle(first, first + 2, first + 3);
}

namespace {

Rgb scaled(Rgb c, float s) { return Rgb{c.r * s, c.g * s, c.b * s}; }

}  // namespace

void ModelBuilder::addBox(const Box& box, Rgb colour, const FaceShades& shades,
                          float unitsPerRepeat) {
  const float x0 = box.min.x, y0 = box.min.y, z0 = box.min.z;
  const float x1 = box.max.x, y1 = box.max.y, z1 = box.max.z;
  const float k = 1.0f / unitsPerRepeat;
  const float w = (x1 - x0) * k;  // texture repeats along x
  const float d = (y1 - y0) * k;  // along y
  const float h = (z1 - z0) * k;  // along z
  // Each face: corners counter-clockwise seen from outside, starting at the
  // lower left of the texture.
  addQuad({{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}},
          {{0, 0}, {w, 0}, {w, d}, {0, d}}, scaled(colour, shades.top));
  addQuad({{x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}, {x0, y0, z0}},
          {{0, 0}, {w, 0}, {w, d}, {0, d}}, scaled(colour, shades.bottom));
  addQuad({{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}},
          {{0, 0}, {w, 0}, {w, h}, {0, h}}, scaled(colour, shades.south));
  addQuad({{x1, y1, z0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}},
          {{0, 0}, {w, 0}, {w, h}, {0, h}}, scaled(colour, shades.north));
  addQuad({{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}},
          {{0, 0}, {d, 0}, {d, h}, {0, h}}, scaled(colour, shades.east));
  addQuad({{x0, y1, z0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}},
          {{0, 0}, {d, 0}, {d, h}, {0, h}}, scaled(colour, shades.west));
}

void ModelBuilder::addCone(Point3 baseCentre, float radius, float height, int sides, Rgb colour) {
  constexpr float kTwoPi = 6.2831853f;
  const Point3 apex{baseCentre.x, baseCentre.y, baseCentre.z + height};
  auto rim = [&](int i) {
    const float angle = kTwoPi * static_cast<float>(i % sides) / static_cast<float>(sides);
    return Point3{baseCentre.x + radius * std::cos(angle), baseCentre.y + radius * std::sin(angle),
                  baseCentre.z};
  };
  for (int i = 0; i < sides; ++i) {
    const Point3 a = rim(i);
    const Point3 b = rim(i + 1);
    // Horizontal direction the face looks to, at mid-angle.
    const float mid = kTwoPi * (static_cast<float>(i) + 0.5f) / static_cast<float>(sides);
    const float facing = 0.7071f * (std::cos(mid) + std::sin(mid));
    const Rgb c = scaled(colour, 0.8f + 0.2f * facing);
    const int ia = addVertex(a, 0, 0, c);
    const int ib = addVertex(b, 1, 0, c);
    const int ic = addVertex(apex, 0.5f, 1, scaled(colour, 1.05f));
    addTriangle(ia, ib, ic);
  }
  // Base, a fan seen from below.
  const Rgb under = scaled(colour, 0.45f);
  const int centre = addVertex(baseCentre, 0.5f, 0.5f, under);
  int first = -1;
  for (int i = 0; i < sides; ++i) {
    const int index = addVertex(rim(i), 0, 0, under);
    if (i == 0) first = index;
  }
  for (int i = 0; i < sides; ++i) {
    addTriangle(centre, first + (i + 1) % sides, first + i);
  }
}

std::string ModelBuilder::toJson() const {
  std::string out = "{\"model\": {\n  \"vertices\": [\n";
  auto separator = [](std::size_t i, std::size_t n) { return i + 1 < n ? ",\n" : "\n"; };
  for (std::size_t i = 0; i < positions_.size(); ++i) {
    const Point3& p = positions_[i];
    out += "    {\"x\": " + formatNumber(p.x) + ", \"y\": " + formatNumber(p.y) +
           ", \"z\": " + formatNumber(p.z) + "}" + separator(i, positions_.size());
  }
  out += "  ],\n  \"uvs\": [\n";
  const std::size_t uvCount = uvs_.size() / 2;
  for (std::size_t i = 0; i < uvCount; ++i) {
    out += "    {\"u\": " + formatNumber(uvs_[2 * i]) +
           ", \"v\": " + formatNumber(uvs_[2 * i + 1]) + "}" + separator(i, uvCount);
  }
  out += "  ],\n  \"colors\": [\n";
  for (std::size_t i = 0; i < colours_.size(); ++i) {
    const Rgb& c = colours_[i];
    out += "    {\"r\": " + formatNumber(c.r) + ", \"g\": " + formatNumber(c.g) +
           ", \"b\": " + formatNumber(c.b) + "}" + separator(i, colours_.size());
  }
  out += "  ],\n  \"indices\": [\n";
  const std::size_t triangles = indices_.size() / 3;
  for (std::size_t i = 0; i < triangles; ++i) {
    out += "    {\"a\": " + std::to_string(indices_[3 * i]) +
           ", \"b\": " + std::to_string(indices_[3 * i + 1]) +
           ", \"c\": " + std::to_string(indices_[3 * i + 2]) + "}" + separator(i, triangles);
  }
  out += "  ]\n}}\n";
  return out;
}

}  // namespace dravik::assets
