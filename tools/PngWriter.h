#pragma once

#include <cstdint>
#include <vector>

#include "tools/Image.h"

namespace dravik::assets {

// 8-bit RGBA PNG (colour type 6), rows top first as PNG stores them. No
// time stamp or text chunks, so the bytes depend only on the pixels (and on
// zlib's deflate). Returns an empty vector if libpng fails.
std::vector<uint8_t> encodePng(const Image& image);

}  // namespace dravik::assets
