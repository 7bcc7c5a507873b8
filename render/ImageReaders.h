// Pieces shared by the image readers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/Texture.h"

namespace dravik::image {

// Images are at most this many pixels on a side (sizes are stored in 16 bits).
constexpr uint32_t kMaxSide = 65535;

// A zeroed buffer of the given size, or null when memory runs out.
PixelBuffer allocatePixels(std::size_t bytes);

}  // namespace dravik::image
