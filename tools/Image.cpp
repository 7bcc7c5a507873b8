#include "tools/Image.h"

#include <algorithm>
#include <cmath>

namespace dravik::assets {

Image::Image(int width, int height, Colour fill)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

Colour& Image::wrapped(int x, int y) {
  const int wx = ((x % width_) + width_) % width_;
  const int wy = ((y % height_) + height_) % height_;
  return at(wx, wy);
}

uint8_t toByte(float value) {
  const float scaled = std::round(std::clamp(value, 0.0f, 1.0f) * 255.0f);
  return static_cast<uint8_t>(scaled);
}

Colour shade(float r, float g, float b) { return Colour{toByte(r), toByte(g), toByte(b), 255}; }

}  // namespace dravik::assets
