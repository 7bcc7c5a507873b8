#include "tests/render/ImageFiles.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <stdexcept>

namespace dravik::test {

std::vector<uint8_t> bmpPixelRows(int32_t width, int32_t rows) {
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  std::vector<uint8_t> out(rowBytes * static_cast<std::size_t>(rows), 0xEE);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) out[y * rowBytes + 3 * x + c] = sampleByte(x, y, c);
    }
  }
  return out;
}

Bytes bmpFile(const BmpSpec& spec) {
  return bmpFile(spec, bmpPixelRows(spec.width, std::abs(spec.height)));
}

Bytes bmpFile(const BmpSpec& spec, const std::vector<uint8_t>& pixels) {
  Bytes b;
  const uint32_t offset = 54 + spec.extraGap;
  b.u8(static_cast<uint8_t>(spec.magic[0])).u8(static_cast<uint8_t>(spec.magic[1]));
  b.u32(offset + static_cast<uint32_t>(pixels.size())).u32(0).u32(offset);
  b.u32(spec.infoSize).i32(spec.width).i32(spec.height).u16(1).u16(spec.bitsPerPixel);
  b.u32(spec.compression).u32(spec.imageSizeField).u32(2835).u32(2835).u32(0).u32(0);
  b.fill(spec.extraGap, 0x5A);
  b.mutableData().insert(b.mutableData().end(), pixels.begin(), pixels.end());
  return b;
}

namespace {
void appendToString(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}
void flushNothing(png_structp) {}
}  // namespace

namespace {

int channelsOf(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
      return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    default:
      return 4;
  }
}

struct EncodeInput {
  const PngSpec* spec;
  png_colorp palette;
  int paletteSize;
  png_bytep alpha;
  int alphaSize;
  png_color_16p colourKey;
  png_bytepp rows;
};

// The setjmp frame holds no C++ objects with destructors.
bool encode(png_structp png, png_infop info, const EncodeInput& in, std::string* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, appendToString, flushNothing);
  png_set_IHDR(png, info, in.spec->width, in.spec->height, in.spec->bitDepth, in.spec->colourType,
               in.spec->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (in.paletteSize > 0) png_set_PLTE(png, info, in.palette, in.paletteSize);
  if (in.alphaSize > 0) png_set_tRNS(png, info, in.alpha, in.alphaSize, nullptr);
  if (in.colourKey != nullptr) png_set_tRNS(png, info, nullptr, 0, in.colourKey);
  png_write_info(png, info);
  png_write_image(png, in.rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::string pngFile(const PngSpec& spec, const std::vector<uint8_t>& samples) {
  const std::size_t rowBits =
      static_cast<std::size_t>(spec.width) * channelsOf(spec.colourType) * spec.bitDepth;
  const std::size_t rowBytes = (rowBits + 7) / 8;
  if (samples.size() != rowBytes * spec.height) {
    throw std::runtime_error("test PNG samples do not match the layout");
  }
  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < spec.palette.size(); i += 3) {
    palette.push_back(png_color{spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
  }
  std::vector<png_byte> alpha(spec.transparency.begin(), spec.transparency.end());
  std::vector<png_bytep> rows(spec.height);
  for (uint32_t y = 0; y < spec.height; ++y) {
    rows[y] = const_cast<png_bytep>(samples.data() + y * rowBytes);
  }
  png_color_16 key{};
  if (spec.colourKey.size() == 1) key.gray = spec.colourKey[0];
  if (spec.colourKey.size() == 3) {
    key.red = spec.colourKey[0];
    key.green = spec.colourKey[1];
    key.blue = spec.colourKey[2];
  }
  const EncodeInput input{&spec,
                          palette.data(),
                          static_cast<int>(palette.size()),
                          alpha.data(),
                          static_cast<int>(alpha.size()),
                          spec.colourKey.empty() ? nullptr : &key,
                          rows.data()};
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool ok = info != nullptr && encode(png, info, input, &out);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("cannot write the test PNG");
  return out;
}

}  // namespace dravik::test
