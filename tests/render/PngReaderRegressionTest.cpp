// PNG inputs that once made the reader allocate far more than the file
// could ever fill. The reader's answer (null and one line) did not change;
// what changed is the memory it asks for, so these tests watch malloc.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/Texture.h"
#include "tests/render/ImageFiles.h"
#include "tests/support/TempDir.h"

namespace {

std::size_t gLargestMalloc = 0;
bool gWatchMalloc = false;

}  // namespace

#if !defined(__SANITIZE_ADDRESS__)
// The process's malloc, libpng's included, passes through here; glibc's own
// allocator does the work, so free, calloc and realloc stay consistent.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* malloc(std::size_t size) {
  if (gWatchMalloc && size > gLargestMalloc) gLargestMalloc = size;
  return __libc_malloc(size);
}
constexpr bool kCanWatchMalloc = true;
#else
// AddressSanitizer owns malloc; its own limits catch huge requests there.
constexpr bool kCanWatchMalloc = false;
#endif

namespace {

using dravik::test::expectOneProblemLine;
using dravik::test::pngFile;
using dravik::test::PngSpec;
using dravik::test::TempDir;

std::string be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

// A chunk with a correct checksum; declaredLength, when given, replaces the
// true length in the header.
std::string chunk(const std::string& type, const std::string& data, uint32_t declaredLength = 0) {
  const std::string body = type + data;
  const uLong crc =
      crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return be32(declaredLength != 0 ? declaredLength : static_cast<uint32_t>(data.size())) + body +
         be32(static_cast<uint32_t>(crc));
}

// A valid 2 x 3 RGBA file with extra inserted right after IHDR.
std::string withChunkAfterHeader(const std::string& extra) {
  std::vector<uint8_t> samples(2 * 3 * 4);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 9);
  std::string file = pngFile(PngSpec{}, samples);
  return file.insert(8 + 25, extra);  // signature, then IHDR: 4 + 4 + 13 + 4
}

struct ReadResult {
  bool decoded = false;
  std::string errors;
  std::size_t largestMalloc = 0;
};

ReadResult readWatched(const std::string& path) {
  ReadResult result;
  uint16_t width = 0;
  uint16_t height = 0;
  testing::internal::CaptureStderr();
  gLargestMalloc = 0;
  gWatchMalloc = true;
  dravik::PixelBuffer pixels = dravik::readPng(path.c_str(), width, height);
  gWatchMalloc = false;
  result.errors = testing::internal::GetCapturedStderr();
  result.decoded = pixels != nullptr;
  result.largestMalloc = gLargestMalloc;
  return result;
}

constexpr std::size_t kSmallAllocation = 16u << 20;

class PngChunkClaim : public testing::TestWithParam<const char*> {};

// An ancillary chunk claiming 800 MB in a file of a hundred bytes: libpng
// used to allocate the whole claim before reading it.
TEST_P(PngChunkClaim, HugeChunkLengthAllocatesNothingLarge) {
  if (!kCanWatchMalloc) GTEST_SKIP() << "malloc belongs to AddressSanitizer in this build";
  TempDir dir;
  const std::string path =
      dir.write("claim.png", withChunkAfterHeader(chunk(GetParam(), "tiny", 817538314u)));
  const ReadResult result = readWatched(path);
  EXPECT_FALSE(result.decoded);
  expectOneProblemLine(result.errors, path);
  EXPECT_LT(result.largestMalloc, kSmallAllocation);
}

INSTANTIATE_TEST_SUITE_P(Chunks, PngChunkClaim,
                         testing::Values("zTXt", "tEXt", "iTXt", "iCCP", "sPLT", "eXIf", "quAk"));

// Skipping the ancillary chunks must not lose the image of a normal file.
TEST(PngAncillaryChunks, WellFormedTextAndProfileChunksAreSkipped) {
  TempDir dir;
  const std::string extra = chunk("tEXt", std::string("Title\0road", 10)) +
                            chunk("gAMA", be32(45455)) + chunk("quAk", "whatever");
  const std::string path = dir.write("text.png", withChunkAfterHeader(extra));
  const std::string plain = dir.write("plain.png", withChunkAfterHeader(""));
  uint16_t w1 = 0, h1 = 0, w2 = 0, h2 = 0;
  testing::internal::CaptureStderr();
  dravik::PixelBuffer withText = dravik::readPng(path.c_str(), w1, h1);
  dravik::PixelBuffer without = dravik::readPng(plain.c_str(), w2, h2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_TRUE(withText);
  ASSERT_TRUE(without);
  ASSERT_EQ(w1, 2);
  ASSERT_EQ(h1, 3);
  EXPECT_EQ(std::vector<uint8_t>(withText.get(), withText.get() + 24),
            std::vector<uint8_t>(without.get(), without.get() + 24));
}

// An 8192 x 8192 one-bit image compresses to a few kilobytes but decodes to
// 256 MiB of RGBA: refused before the pixels are allocated.
TEST(PngDecodedSize, ImageAboveTheCapIsRefusedBeforeAllocating) {
  PngSpec spec;
  spec.width = 8192;
  spec.height = 8192;
  spec.colourType = 0;  // grey
  spec.bitDepth = 1;
  const std::vector<uint8_t> samples(std::size_t{8192} / 8 * 8192, 0);
  TempDir dir;
  const std::string path = dir.write("big.png", pngFile(spec, samples));
  const ReadResult result = readWatched(path);
  EXPECT_FALSE(result.decoded);
  expectOneProblemLine(result.errors, path);
  EXPECT_NE(result.errors.find("8192 x 8192 is above the 64 MiB limit"), std::string::npos)
      << result.errors;
  if (kCanWatchMalloc) {
    EXPECT_LT(result.largestMalloc, kSmallAllocation);
  }
}

}  // namespace
