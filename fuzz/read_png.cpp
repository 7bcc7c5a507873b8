// readPng on arbitrary bytes: a decoded image is width x height RGBA.
#include "fuzz/FuzzSupport.h"
#include "render/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace dravik;
  const std::string& path = fuzz::writeInput(".png", data, size);
  uint16_t width = 0xBEEF;
  uint16_t height = 0xBEEF;
  PixelBuffer pixels = readPng(path.c_str(), width, height);
  if (!pixels) {
    DRAVIK_FUZZ_CHECK(width == 0xBEEF && height == 0xBEEF);
    return 0;
  }
  DRAVIK_FUZZ_CHECK(width > 0 && height > 0);
  fuzz::sumBytes(pixels.get(), std::size_t{width} * height * 4);
  return 0;
}
