// readBmp on arbitrary bytes.
#include "fuzz/FuzzSupport.h"
#include "render/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dravik;
  const std::string& path = fuzz::writeInput(".bmp", data, size);
  uint16_t width = 0xBEEF;
  uint16_t height = 0xBEEF;
  PixelBuffer pixels = readBmp(path.c_str(), width, height);
  if (!pixels) {
    // A failed read leaves the outputs alone.
    DRAVIK_FUZZ_CHECK(width == 0xBEEF && height == 0xBEEF);
    return 0;
  }
  DRAVIK_FUZZ_CHECK(width > 0 && height > 0);
  const std::size_t rowBytes = (std::size_t{width} * 3 + 3) & ~std::size_t{3};
  // The stored pixels cannot exceed what the file holds.
  DRAVIK_FUZZ_CHECK(rowBytes * height + 54 <= size);
  fuzz::sumBytes(pixels.get(), rowBytes * height);
  return 0;
}
