#pragma once

#include <cstdint>
#include <vector>

#include "tools/Image.h"

namespace dravik::assets {

// A Windows icon file holding one picture per image, in the given order.
// Square images up to 128 pixels go in as 32-bit BGRA bitmaps (with the
// 1-bit mask that older readers want: set where alpha is below half);
// larger ones as PNG, as Windows keeps its 256-pixel icons. Returns an
// empty vector if an image is not square, is over 256 pixels or cannot be
// encoded.
std::vector<uint8_t> encodeIco(const std::vector<Image>& images);

}  // namespace dravik::assets
