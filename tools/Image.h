// In-memory images the generator paints before encoding them.
#pragma once

#include <cstdint>
#include <vector>

namespace dravik::assets {

struct Colour {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 255;
};

// Pixels stored top row first, left to right, one Colour per pixel.
class Image {
 public:
  Image(int width, int height, Colour fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) { return pixels_[index(x, y)]; }
  const Colour& at(int x, int y) const { return pixels_[index(x, y)]; }
  // Coordinates wrap around, for painting tileable features across edges.
  Colour& wrapped(int x, int y);

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_;
  int height_;
  std::vector<Colour> pixels_;
};

// Channel value from a float in [0, 1], clamped and rounded.
uint8_t toByte(float value);
Colour shade(float r, float g, float b);

}  // namespace dravik::assets
