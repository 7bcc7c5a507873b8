#include "tools/PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>

namespace dravik::assets {
namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

// Runs the libpng calls; kept apart from C++ objects with destructors
// because libpng reports errors with longjmp.
bool writeRows(png_structp png, png_infop info, const Image& image, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
               static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, Z_BEST_COMPRESSION);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  return true;
}

}  // namespace

std::vector<uint8_t> encodePng(const Image& image) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(image.width()) * image.height() * 4u);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const Colour& c = image.at(x, y);
      pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
    }
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
  const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 4u;
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = pixels.data() + y * rowBytes;

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return {};
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return {};
  }
  png_set_write_fn(png, &out, appendBytes, noFlush);
  const bool written = writeRows(png, info, image, rows);
  png_destroy_write_struct(&png, &info);
  if (!written) out.clear();
  return out;
}

}  // namespace dravik::assets
