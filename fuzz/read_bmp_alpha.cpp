// readBmpWithAlpha on arbitrary bytes: every decoded pixel has alpha = red.
#include "fuzz/FuzzSupport.h"
#include "render/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dravik;
  const std::string& path = fuzz::writeInput(".fnt", data, size);
  uint16_t width = 0xBEEF;
  uint16_t height = 0xBEEF;
  PixelBuffer pixels = readBmpWithAlpha(path.c_str(), width, height);
  if (!pixels) {
    DRAVIK_FUZZ_CHECK(width == 0xBEEF && height == 0xBEEF);
    return 0;
  }
  DRAVIK_FUZZ_CHECK(width > 0 && height > 0);
  DRAVIK_FUZZ_CHECK(std::size_t{width} * 3 * height + 54 <= size);
  const std::size_t count = std::size_t{width} * height;
  for (std::size_t i = 0; i < count; ++i) {
    DRAVIK_FUZZ_CHECK(pixels[4 * i + 3] == pixels[4 * i + 2]);
  }
  return 0;
}
