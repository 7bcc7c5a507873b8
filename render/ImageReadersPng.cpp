// PNG reading through libpng, every layout converted to 8-bit RGBA.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "render/FileProblem.h"
#include "render/ImageReaders.h"

namespace dravik {

namespace {

constexpr std::size_t kSignatureBytes = 8;
// Deflate expands at most about 1032 to 1; a file cannot hold more decoded
// image than this many times its size, so a header that claims more is a lie
// and is refused before anything of that size is allocated.
constexpr uint64_t kMaxInflation = 1100;
// libpng buffers a whole ancillary chunk (text, profile, unknown) before it
// looks at it, sized by the length the chunk claims. No chunk the game can
// use comes near this; a larger claim is refused instead of allocated.
constexpr png_alloc_size_t kMaxChunkBytes = 1u << 20;
// Cap on the decoded image. The game's textures are a few hundred pixels on
// a side; without the cap a small palette file could still make the reader
// allocate hundreds of megabytes before its data turns out to be missing.
constexpr uint64_t kMaxPixelBytes = uint64_t{64} << 20;

// Everything the libpng callbacks and the setjmp frames touch. The frames
// that call setjmp hold no C++ objects with destructors, so libpng's longjmp
// skips nothing.
struct PngJob {
  std::istream* in = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  char error[160] = {};
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::size_t fileRowBytes = 0;
  std::size_t rowBytes = 0;
  int channels = 0;
  int bitDepth = 0;
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
  auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
  std::strncpy(job->error, message != nullptr ? message : "unknown error", sizeof(job->error) - 1);
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void readFromStream(png_structp png, png_bytep data, png_size_t length) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  job->in->read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(length));
  if (job->in->gcount() != static_cast<std::streamsize>(length)) {
    png_error(png, "unexpected end of file");
  }
}

// Reads the header and asks for RGBA output. False with job.error set on a
// decoding error.
bool readHeader(PngJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_set_read_fn(job.png, &job, readFromStream);
  png_set_sig_bytes(job.png, static_cast<int>(kSignatureBytes));
  png_read_info(job.png, job.info);
  job.fileRowBytes = png_get_rowbytes(job.png, job.info);
  const png_byte colourType = png_get_color_type(job.png, job.info);
  const png_byte depth = png_get_bit_depth(job.png, job.info);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(job.png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(job.png);
  if (png_get_valid(job.png, job.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(job.png);
  if (depth == 16) png_set_strip_16(job.png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(job.png);
  }
  png_set_filler(job.png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);
  job.width = png_get_image_width(job.png, job.info);
  job.height = png_get_image_height(job.png, job.info);
  job.rowBytes = png_get_rowbytes(job.png, job.info);
  job.channels = png_get_channels(job.png, job.info);
  job.bitDepth = png_get_bit_depth(job.png, job.info);
  return true;
}

bool readRows(PngJob& job, png_bytepp rows) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_read_image(job.png, rows);
  return true;
}

// Frees libpng's records however the decoding ended.
struct PngRecords {
  PngJob& job;
  ~PngRecords() {
    if (job.png != nullptr) png_destroy_read_struct(&job.png, &job.info, nullptr);
  }
};

}  // namespace

PixelBuffer readPng(const char* name, uint16_t& width, uint16_t& height) {
  std::ifstream in(name, std::ios::binary);
  if (!in.is_open()) {
    reportFileProblem(name, "cannot open the file");
    return nullptr;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff fileSize = in.tellg();
  in.seekg(0, std::ios::beg);
  png_byte signature[kSignatureBytes] = {};
  in.read(reinterpret_cast<char*>(signature), kSignatureBytes);
  if (fileSize < 0 || in.gcount() != static_cast<std::streamsize>(kSignatureBytes) ||
      png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
    reportFileProblem(name, "not a PNG file");
    return nullptr;
  }

  PngJob job;
  job.in = &in;
  PngRecords records{job};
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onPngError, onPngWarning);
  if (job.png != nullptr) job.info = png_create_info_struct(job.png);
  if (job.png == nullptr || job.info == nullptr) {
    reportFileProblem(name, "cannot set up the PNG decoder");
    return nullptr;
  }
  png_set_user_limits(job.png, image::kMaxSide, image::kMaxSide);
  png_set_chunk_malloc_max(job.png, kMaxChunkBytes);
  // Every ancillary chunk but tRNS is of no use here (no gamma, no text, no
  // colour profile): skipping them unread also skips the buffer libpng would
  // otherwise allocate for whatever length a chunk claims.
  png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  if (!readHeader(job)) {
    reportFileProblem(name, std::string("bad PNG data: ") + job.error);
    return nullptr;
  }
  if (job.width == 0 || job.height == 0 || job.width > image::kMaxSide ||
      job.height > image::kMaxSide) {
    reportFileProblem(
        name, "bad image size " + std::to_string(job.width) + " x " + std::to_string(job.height));
    return nullptr;
  }
  if (static_cast<uint64_t>(job.fileRowBytes) * job.height >
      static_cast<uint64_t>(fileSize) * kMaxInflation) {
    reportFileProblem(name, "file too small for a " + std::to_string(job.width) + " x " +
                                std::to_string(job.height) + " image");
    return nullptr;
  }
  if (job.channels != 4 || job.bitDepth != 8 || job.rowBytes != std::size_t{job.width} * 4) {
    reportFileProblem(name, "PNG layout cannot be converted to 8-bit RGBA");
    return nullptr;
  }
  if (static_cast<uint64_t>(job.rowBytes) * job.height > kMaxPixelBytes) {
    reportFileProblem(name, "image of " + std::to_string(job.width) + " x " +
                                std::to_string(job.height) + " is above the 64 MiB limit");
    return nullptr;
  }

  PixelBuffer pixels = image::allocatePixels(job.rowBytes * job.height);
  std::vector<png_bytep> rows;
  try {
    rows.resize(job.height);
  } catch (const std::bad_alloc&) {
    pixels.reset();
  }
  if (!pixels) {
    reportFileProblem(name, "out of memory for the pixels");
    return nullptr;
  }
  // The first file row lands at the bottom of the buffer.
  for (png_uint_32 i = 0; i < job.height; ++i) {
    rows[i] = pixels.get() + static_cast<std::size_t>(job.height - 1 - i) * job.rowBytes;
  }
  if (!readRows(job, rows.data())) {
    reportFileProblem(name, std::string("bad PNG data: ") + job.error);
    return nullptr;
  }
  width = static_cast<uint16_t>(job.width);
  height = static_cast<uint16_t>(job.height);
  return pixels;
}

}  // namespace dravik
