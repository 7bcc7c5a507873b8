// What the BMP and ICO writers share: little-endian fields, the
// BITMAPINFOHEADER and bottom-up pixel rows.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/Image.h"

namespace dravik::assets {

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFFu);
  put16(out, v >> 16);
}

// BITMAPINFOHEADER: uncompressed, no palette.
inline void putBitmapInfoHeader(std::vector<uint8_t>& out, uint32_t width, uint32_t height,
                                uint32_t bitsPerPixel, uint32_t imageSize,
                                uint32_t pixelsPerMetre) {
  put32(out, 40);
  put32(out, width);
  put32(out, height);  // positive: rows stored bottom-up
  put16(out, 1);       // planes
  put16(out, bitsPerPixel);
  put32(out, 0);  // no compression
  put32(out, imageSize);
  put32(out, pixelsPerMetre);
  put32(out, pixelsPerMetre);
  put32(out, 0);  // palette colours
  put32(out, 0);  // important colours
}

// The image's rows, bottom row first: BGR, or BGRA with alpha, each row
// padded with zeros to rowBytes.
inline void putBottomUpRows(std::vector<uint8_t>& out, const Image& image, bool alpha,
                            uint32_t rowBytes) {
  const uint32_t pixelBytes = alpha ? 4u : 3u;
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Colour& c = image.at(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      if (alpha) out.push_back(c.a);
    }
    for (uint32_t pad = static_cast<uint32_t>(image.width()) * pixelBytes; pad < rowBytes; ++pad) {
      out.push_back(0);
    }
  }
}

}  // namespace dravik::assets
