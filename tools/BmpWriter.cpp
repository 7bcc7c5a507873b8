#include "tools/BmpWriter.h"

#include "tools/LittleEndian.h"

namespace dravik::assets {

std::vector<uint8_t> encodeBmp(const Image& image) {
  const uint32_t width = static_cast<uint32_t>(image.width());
  const uint32_t height = static_cast<uint32_t>(image.height());
  const uint32_t rowBytes = (width * 3u + 3u) & ~3u;
  const uint32_t imageSize = rowBytes * height;

  std::vector<uint8_t> out;
  out.reserve(kBmpHeaderSize + imageSize);
  // File header.
  out.push_back('B');
  out.push_back('M');
  put32(out, static_cast<uint32_t>(kBmpHeaderSize) + imageSize);
  put32(out, 0);  // reserved
  put32(out, static_cast<uint32_t>(kBmpHeaderSize));
  // Information header.
  put32(out, 40);
  put32(out, width);
  put32(out, height);  // positive: rows stored bottom-up
  put16(out, 1);       // planes
  put16(out, 24);      // bits per pixel
  put32(out, 0);       // no compression
  put32(out, imageSize);
  put32(out, 2835);  // 72 dpi
  put32(out, 2835);
  put32(out, 0);  // palette colours
  put32(out, 0);  // important colours

  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Colour& c = image.at(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (uint32_t pad = width * 3u; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace dravik::assets
