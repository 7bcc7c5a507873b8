// The two readers of 24-bit uncompressed BMP files.
#include <cstdlib>
#include <fstream>
#include <string>

#include "render/FileProblem.h"
#include "render/ImageReaders.h"

namespace dravik {

namespace {

constexpr std::size_t kHeaderBytes = 54;

uint32_t readU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// A checked BMP header, with the stream positioned at the first pixel row.
struct BmpLayout {
  uint32_t width = 0;
  uint32_t rows = 0;
  bool topDown = false;
  std::size_t rowBytes = 0;  // stored row, padded to a multiple of 4
};

// Opens and checks the file; on a fault reports it and returns false.
bool openBmp(const char* name, std::ifstream& in, BmpLayout& layout) {
  in.open(name, std::ios::binary);
  if (!in.is_open()) {
    reportFileProblem(name, "cannot open the file");
    return false;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff fileSize = in.tellg();
  in.seekg(0, std::ios::beg);
  uint8_t header[kHeaderBytes] = {};
  in.read(reinterpret_cast<char*>(header), kHeaderBytes);
  const std::streamsize got = in.gcount();
  if (fileSize < 0 || got != static_cast<std::streamsize>(kHeaderBytes)) {
    reportFileProblem(
        name, "truncated BMP header (" + std::to_string(got < 0 ? 0 : got) + " of 54 bytes)");
    return false;
  }
  if (header[0] != 'B' || header[1] != 'M') {
    reportFileProblem(name, "not a BMP file (no \"BM\" signature)");
    return false;
  }
  const uint32_t pixelOffset = readU32(header + 10);
  const uint32_t infoSize = readU32(header + 14);
  const int32_t width = static_cast<int32_t>(readU32(header + 18));
  const int32_t height = static_cast<int32_t>(readU32(header + 22));
  const uint16_t bitsPerPixel = readU16(header + 28);
  const uint32_t compression = readU32(header + 30);
  uint64_t imageSize = readU32(header + 34);
  if (infoSize < 40) {
    reportFileProblem(
        name, "unsupported BMP information header of " + std::to_string(infoSize) + " bytes");
    return false;
  }
  if (bitsPerPixel != 24) {
    reportFileProblem(
        name, "unsupported " + std::to_string(bitsPerPixel) + " bits per pixel (only 24 is read)");
    return false;
  }
  if (compression != 0) {
    reportFileProblem(
        name, "compressed BMP (method " + std::to_string(compression) + ") is not supported");
    return false;
  }
  const int64_t rows = std::llabs(static_cast<long long>(height));
  if (width <= 0 || height == 0 || static_cast<uint32_t>(width) > image::kMaxSide ||
      rows > image::kMaxSide) {
    reportFileProblem(name,
                      "bad image size " + std::to_string(width) + " x " + std::to_string(height));
    return false;
  }
  if (pixelOffset < kHeaderBytes) {
    reportFileProblem(
        name, "pixel data offset " + std::to_string(pixelOffset) + " lies inside the header");
    return false;
  }
  layout.width = static_cast<uint32_t>(width);
  layout.rows = static_cast<uint32_t>(rows);
  layout.topDown = height < 0;
  layout.rowBytes = (static_cast<std::size_t>(layout.width) * 3 + 3) & ~std::size_t{3};
  const uint64_t needed = static_cast<uint64_t>(layout.rowBytes) * layout.rows;
  if (imageSize == 0) imageSize = needed;
  if (imageSize < needed) {
    reportFileProblem(name, "image size field " + std::to_string(imageSize) + " is below the " +
                                std::to_string(needed) + " bytes a " + std::to_string(width) +
                                " x " + std::to_string(height) + " image needs");
    return false;
  }
  if (pixelOffset + imageSize > static_cast<uint64_t>(fileSize)) {
    reportFileProblem(name, "truncated pixel data (" + std::to_string(imageSize) +
                                " bytes at offset " + std::to_string(pixelOffset) +
                                " in a file of " + std::to_string(fileSize) + ")");
    return false;
  }
  in.seekg(pixelOffset, std::ios::beg);
  return static_cast<bool>(in);
}

// Memory row that the i-th stored row lands in, so memory is bottom-up.
std::size_t targetRow(const BmpLayout& layout, uint32_t i) {
  return layout.topDown ? layout.rows - 1 - i : i;
}

bool readFailed(const char* name, std::ifstream& in, std::size_t bytes) {
  if (in.gcount() == static_cast<std::streamsize>(bytes)) return false;
  reportFileProblem(name, "cannot read the pixel data");
  return true;
}

}  // namespace

PixelBuffer readBmp(const char* name, uint16_t& width, uint16_t& height) {
  std::ifstream in;
  BmpLayout layout;
  if (!openBmp(name, in, layout)) return nullptr;
  PixelBuffer pixels = image::allocatePixels(layout.rowBytes * layout.rows);
  if (!pixels) {
    reportFileProblem(name, "out of memory for the pixels");
    return nullptr;
  }
  for (uint32_t i = 0; i < layout.rows; ++i) {
    in.read(reinterpret_cast<char*>(pixels.get() + targetRow(layout, i) * layout.rowBytes),
            static_cast<std::streamsize>(layout.rowBytes));
    if (readFailed(name, in, layout.rowBytes)) return nullptr;
  }
  width = static_cast<uint16_t>(layout.width);
  height = static_cast<uint16_t>(layout.rows);
  return pixels;
}

PixelBuffer readBmpWithAlpha(const char* name, uint16_t& width, uint16_t& height) {
  std::ifstream in;
  BmpLayout layout;
  if (!openBmp(name, in, layout)) return nullptr;
  const std::size_t outRowBytes = static_cast<std::size_t>(layout.width) * 4;
  PixelBuffer pixels = image::allocatePixels(outRowBytes * layout.rows);
  if (!pixels) {
    reportFileProblem(name, "out of memory for the pixels");
    return nullptr;
  }
  // Each stored row (padding included) is read into the end of its output
  // row and expanded front to back; the write position never passes the read
  // position, so no separate row buffer is needed.
  for (uint32_t i = 0; i < layout.rows; ++i) {
    uint8_t* out = pixels.get() + targetRow(layout, i) * outRowBytes;
    const std::size_t tripleBytes = static_cast<std::size_t>(layout.width) * 3;
    uint8_t* stored = out + outRowBytes - tripleBytes;
    in.read(reinterpret_cast<char*>(stored), static_cast<std::streamsize>(tripleBytes));
    if (readFailed(name, in, tripleBytes)) return nullptr;
    in.seekg(static_cast<std::streamoff>(layout.rowBytes - tripleBytes), std::ios::cur);
    for (uint32_t x = 0; x < layout.width; ++x) {
      const uint8_t blue = stored[3 * x];
      const uint8_t green = stored[3 * x + 1];
      const uint8_t red = stored[3 * x + 2];
      out[4 * x] = blue;
      out[4 * x + 1] = green;
      out[4 * x + 2] = red;
      out[4 * x + 3] = red;  // alpha follows red: black is clear, white opaque
    }
  }
  width = static_cast<uint16_t>(layout.width);
  height = static_cast<uint16_t>(layout.rows);
  return pixels;
}

}  // namespace dravik
