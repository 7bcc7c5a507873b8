// Little-endian fields, as the BMP and ICO headers store them.
#pragma once

#include <cstdint>
#include <vector>

namespace dravik::assets {

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFFu);
  put16(out, v >> 16);
}

}  // namespace dravik::assets
