#pragma once

#include <cstdint>
#include <memory>

namespace dravik {

enum WrapMode : int {
  kWrapMirroredRepeat = 0,
  kWrapRepeat = 1,
  kWrapClampToEdge = 2,
  kWrapClampToBorder = 3,
};

using PixelBuffer = std::unique_ptr<uint8_t[]>;

// The three image readers. Each returns the decoded pixels, bottom row
// first, and writes width and height; on any fault it prints one line naming
// the file on standard error and returns null without writing the size.
// 24-bit BMP: blue, green, red triples, rows padded to 4 bytes.
PixelBuffer readBmp(const char* name, uint16_t& width, uint16_t& height);
// 24-bit BMP turned into blue, green, red, alpha quadruples with alpha = red.
PixelBuffer readBmpWithAlpha(const char* name, uint16_t& width, uint16_t& height);
// Any PNG, converted to 8-bit RGBA.
PixelBuffer readPng(const char* name, uint16_t& width, uint16_t& height);

// One 2D GL texture with the image it was made from.
class Texture {
 public:
  Texture() = default;
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Picks the reader from the last four characters of the name: ".bmp",
  // ".png", anything else the alpha BMP reader. A failed read leaves the
  // texture without pixels and with zero size.
  void loadFromFile(const char* name);
  void upload();
  void releasePixels();
  void deleteTexture();
  void bind() const;
  void setLinearFilter(bool linear);
  void setWrap(int mode);

  uint32_t name() const { return name_; }
  const uint8_t* pixels() const { return pixels_.get(); }
  uint16_t width() const { return width_; }
  uint16_t height() const { return height_; }
  uint32_t internalFormat() const { return internalFormat_; }
  uint32_t pixelFormat() const { return pixelFormat_; }

 private:
  uint32_t name_ = 0;
  PixelBuffer pixels_;
  uint16_t width_ = 0;
  uint16_t height_ = 0;
  // Until a load says otherwise, the formats of the alpha reader
  // (GL_RGBA, GL_BGRA), so an upload of a never-loaded texture is valid GL.
  uint32_t internalFormat_ = 0x1908;
  uint32_t pixelFormat_ = 0x80E1;
};

}  // namespace dravik
