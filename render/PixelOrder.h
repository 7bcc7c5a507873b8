#pragma once

#include <cstddef>
#include <cstdint>

#include "render/Texture.h"

namespace dravik {

// A copy of a blue-green-red image (3 bytes a pixel, rows padded to 4 bytes,
// as BMP stores them and GL's default unpack alignment reads them) or a
// blue-green-red-alpha image (4 bytes a pixel) with red and blue swapped, for
// GLs that take only RGB and RGBA uploads (OpenGL ES, WebGL). The row padding
// is copied unchanged. Null when pixels is null or memory runs out.
PixelBuffer swapRedAndBlue(const uint8_t* pixels, int width, int height, int bytesPerPixel);

// Bytes in one row of such an image, padding included.
std::size_t paddedRowBytes(int width, int bytesPerPixel);

}  // namespace dravik
