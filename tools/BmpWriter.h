#pragma once

#include <cstdint>
#include <vector>

#include "tools/Image.h"

namespace dravik::assets {

constexpr std::size_t kBmpHeaderSize = 54;

// 24-bit uncompressed BMP: 14-byte file header, 40-byte information header,
// then bottom-up rows of blue, green, red, each row padded to 4 bytes.
// Alpha is dropped.
std::vector<uint8_t> encodeBmp(const Image& image);

}  // namespace dravik::assets
