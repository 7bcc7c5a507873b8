#include <new>

#include "render/ImageReaders.h"

namespace dravik::image {

PixelBuffer allocatePixels(std::size_t bytes) {
  try {
    return std::make_unique<uint8_t[]>(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace dravik::image
