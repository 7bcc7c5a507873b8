#include "render/PixelOrder.h"

#include <cstring>
#include <utility>

#include "render/ImageReaders.h"

namespace dravik {

std::size_t paddedRowBytes(int width, int bytesPerPixel) {
  const std::size_t bytes =
      static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
  return (bytes + 3u) & ~static_cast<std::size_t>(3u);
}

PixelBuffer swapRedAndBlue(const uint8_t* pixels, int width, int height, int bytesPerPixel) {
  if (pixels == nullptr || width <= 0 || height <= 0) return nullptr;
  const std::size_t rowBytes = paddedRowBytes(width, bytesPerPixel);
  const std::size_t total = rowBytes * static_cast<std::size_t>(height);
  PixelBuffer swapped = image::allocatePixels(total);
  if (!swapped) return nullptr;
  std::memcpy(swapped.get(), pixels, total);
  for (std::size_t row = 0; row < total; row += rowBytes) {
    uint8_t* pixel = swapped.get() + row;
    for (int x = 0; x < width; ++x, pixel += bytesPerPixel) std::swap(pixel[0], pixel[2]);
  }
  return swapped;
}

}  // namespace dravik
