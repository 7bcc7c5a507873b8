#include "tools/BmpWriter.h"

#include "tools/BitmapFields.h"

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
  putBitmapInfoHeader(out, width, height, 24, imageSize, 2835);  // 72 dpi
  putBottomUpRows(out, image, false, rowBytes);
  return out;
}

}  // namespace dravik::assets
