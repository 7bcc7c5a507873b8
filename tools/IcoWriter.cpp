#include "tools/IcoWriter.h"

#include "tools/BitmapFields.h"
#include "tools/PngWriter.h"

namespace dravik::assets {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr int kLargestBitmap = 128;

// BITMAPINFOHEADER (its height counts the colour rows and the mask rows),
// bottom-up BGRA rows, then the bottom-up mask rows padded to 4 bytes.
std::vector<uint8_t> bitmapEntry(const Image& image) {
  const uint32_t size = static_cast<uint32_t>(image.width());
  const uint32_t maskRowBytes = (size + 31u) / 32u * 4u;
  std::vector<uint8_t> out;
  putBitmapInfoHeader(out, size, size * 2u, 32, size * size * 4u + maskRowBytes * size, 0);
  putBottomUpRows(out, image, true, size * 4u);
  for (int y = image.height() - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRowBytes, 0);
    for (int x = 0; x < image.width(); ++x) {
      if (image.at(x, y).a < 128) row[static_cast<std::size_t>(x / 8)] |= 0x80u >> (x % 8);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<uint8_t> encodeIco(const std::vector<Image>& images) {
  std::vector<std::vector<uint8_t>> pictures;
  for (const Image& image : images) {
    if (image.width() != image.height() || image.width() < 1 || image.width() > 256) return {};
    pictures.push_back(image.width() <= kLargestBitmap ? bitmapEntry(image) : encodePng(image));
    if (pictures.back().empty()) return {};
  }

  std::vector<uint8_t> out;
  put16(out, 0);  // reserved
  put16(out, 1);  // an icon, not a cursor
  put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(kDirectorySize + kEntrySize * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = images[i].width();
    // 0 stands for 256.
    out.push_back(static_cast<uint8_t>(size == 256 ? 0 : size));
    out.push_back(static_cast<uint8_t>(size == 256 ? 0 : size));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    put16(out, 1);     // planes
    put16(out, 32);    // bits per pixel
    put32(out, static_cast<uint32_t>(pictures[i].size()));
    put32(out, offset);
    offset += static_cast<uint32_t>(pictures[i].size());
  }
  for (const std::vector<uint8_t>& picture : pictures) {
    out.insert(out.end(), picture.begin(), picture.end());
  }
  return out;
}

}  // namespace dravik::assets
