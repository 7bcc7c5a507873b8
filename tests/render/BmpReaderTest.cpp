#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/Texture.h"
#include "tests/render/ImageFiles.h"
#include "tests/support/TempDir.h"

namespace dravik {
namespace {

using test::BmpSpec;
using test::Bytes;
using test::sampleByte;
using test::TempDir;

using Reader = PixelBuffer (*)(const char*, uint16_t&, uint16_t&);

struct ReaderCase {
  const char* label;
  Reader read;
};
const ReaderCase kReaders[] = {{"readBmp", readBmp}, {"readBmpWithAlpha", readBmpWithAlpha}};

// Runs a reader on a file that must be refused, and checks the refusal.
void expectRefused(Reader read, const std::string& path) {
  uint16_t width = 777;
  uint16_t height = 888;
  testing::internal::CaptureStderr();
  const PixelBuffer pixels = read(path.c_str(), width, height);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(nullptr, pixels.get()) << path;
  EXPECT_EQ(777, width);
  EXPECT_EQ(888, height);
  test::expectOneProblemLine(errors, path);
}

TEST(BmpReaderTest, ReadsStoredRowsWithPadding) {
  TempDir dir;
  struct Case {
    int32_t width, height;
    uint32_t gap;
  };
  // Widths 3 and 4 x 3 bytes: one needs no padding, the other 3 bytes.
  for (const Case c : {Case{4, 2, 0}, Case{3, 3, 0}, Case{5, 1, 12}}) {
    BmpSpec spec;
    spec.width = c.width;
    spec.height = c.height;
    spec.extraGap = c.gap;
    const std::string path = dir.write("image.bmp", bmpFile(spec).data());
    uint16_t width = 0;
    uint16_t height = 0;
    testing::internal::CaptureStderr();
    const PixelBuffer pixels = readBmp(path.c_str(), width, height);
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    ASSERT_NE(nullptr, pixels.get());
    EXPECT_EQ(c.width, width);
    EXPECT_EQ(c.height, height);
    const std::vector<uint8_t> expected = test::bmpPixelRows(c.width, c.height);
    EXPECT_EQ(0, std::memcmp(expected.data(), pixels.get(), expected.size()))
        << c.width << " x " << c.height;
  }
}

TEST(BmpReaderTest, ZeroSizeFieldUsesPaddedRows) {
  TempDir dir;
  // 1 x 2 image: padded rows of 4 bytes, 8 bytes in all, not 1 x 2 x 3 = 6.
  BmpSpec spec;
  spec.width = 1;
  spec.height = 2;
  const std::string path = dir.write("tall.bmp", bmpFile(spec).data());
  uint16_t width = 0;
  uint16_t height = 0;
  const PixelBuffer pixels = readBmp(path.c_str(), width, height);
  ASSERT_NE(nullptr, pixels.get());
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(sampleByte(0, 0, c), pixels[c]);
    EXPECT_EQ(sampleByte(0, 1, c), pixels[4 + c]);  // second row starts at 4
  }
}

TEST(BmpReaderTest, ExplicitSizeFieldLargerThanNeededIsAccepted) {
  TempDir dir;
  BmpSpec spec;
  spec.width = 2;
  spec.height = 1;
  std::vector<uint8_t> pixels = test::bmpPixelRows(2, 1);
  pixels.push_back(0);
  pixels.push_back(0);  // some writers pad the pixel block
  spec.imageSizeField = static_cast<uint32_t>(pixels.size());
  const std::string path = dir.write("padded.bmp", bmpFile(spec, pixels).data());
  uint16_t width = 0;
  uint16_t height = 0;
  const PixelBuffer read = readBmp(path.c_str(), width, height);
  ASSERT_NE(nullptr, read.get());
  EXPECT_EQ(2, width);
  EXPECT_EQ(0, std::memcmp(pixels.data(), read.get(), 8));
}

TEST(BmpReaderTest, TopDownFilesAreFlippedToBottomUp) {
  TempDir dir;
  BmpSpec spec;
  spec.width = 2;
  spec.height = -3;
  const std::string path = dir.write("topdown.bmp", bmpFile(spec).data());
  for (const ReaderCase& r : kReaders) {
    uint16_t width = 0;
    uint16_t height = 0;
    const PixelBuffer pixels = r.read(path.c_str(), width, height);
    ASSERT_NE(nullptr, pixels.get()) << r.label;
    EXPECT_EQ(3, height) << r.label;
    const std::size_t rowBytes = 8;  // 2 x 3 bytes padded to 8, or 2 x 4 bytes
    const std::size_t pixelBytes = r.read == readBmp ? 3 : 4;
    // The first stored row is the top: it lands in the last memory row.
    for (int y = 0; y < 3; ++y) {
      const uint8_t* row = pixels.get() + (2 - y) * rowBytes;
      EXPECT_EQ(sampleByte(1, y, 2), row[pixelBytes + 2]) << r.label << " row " << y;
    }
  }
}

TEST(BmpReaderTest, AlphaReaderCopiesRedIntoAlpha) {
  TempDir dir;
  BmpSpec spec;
  spec.width = 2;
  spec.height = 1;
  const std::vector<uint8_t> pixels = {10, 20, 30, 40, 50, 60, 0, 0};
  const std::string path = dir.write("pair.fnt", bmpFile(spec, pixels).data());
  uint16_t width = 0;
  uint16_t height = 0;
  const PixelBuffer read = readBmpWithAlpha(path.c_str(), width, height);
  ASSERT_NE(nullptr, read.get());
  EXPECT_EQ(2, width);
  EXPECT_EQ(1, height);
  const std::vector<uint8_t> expected = {10, 20, 30, 30, 40, 50, 60, 60};
  EXPECT_EQ(expected, std::vector<uint8_t>(read.get(), read.get() + 8));
}

TEST(BmpReaderTest, AlphaReaderSkipsRowPaddingAndPacksRows) {
  TempDir dir;
  for (int32_t w : {1, 2, 3, 4, 5, 7}) {
    BmpSpec spec;
    spec.width = w;
    spec.height = 3;
    const std::string path = dir.write("rows.fnt", bmpFile(spec).data());
    uint16_t width = 0;
    uint16_t height = 0;
    const PixelBuffer read = readBmpWithAlpha(path.c_str(), width, height);
    ASSERT_NE(nullptr, read.get()) << w;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint8_t* px = read.get() + (y * w + x) * 4;
        EXPECT_EQ(sampleByte(x, y, 0), px[0]) << w << " " << x << "," << y;
        EXPECT_EQ(sampleByte(x, y, 1), px[1]) << w << " " << x << "," << y;
        EXPECT_EQ(sampleByte(x, y, 2), px[2]) << w << " " << x << "," << y;
        EXPECT_EQ(sampleByte(x, y, 2), px[3]) << w << " " << x << "," << y;
      }
    }
  }
}

TEST(BmpReaderTest, MalformedFilesAreRefusedWithOneLine) {
  TempDir dir;
  const Bytes good = bmpFile(BmpSpec{});
  auto variant = [](void (*change)(BmpSpec&)) {
    BmpSpec spec;
    change(spec);
    return bmpFile(spec, test::bmpPixelRows(2, 2)).data();  // 2 x 2 pixels whatever it claims
  };
  struct Case {
    const char* label;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"truncated header", std::vector<uint8_t>(good.data().begin(), good.data().begin() + 40)},
      {"wrong magic", variant([](BmpSpec& s) { s.magic[0] = 'P'; })},
      {"8 bits per pixel", variant([](BmpSpec& s) { s.bitsPerPixel = 8; })},
      {"32 bits per pixel", variant([](BmpSpec& s) { s.bitsPerPixel = 32; })},
      {"compressed", variant([](BmpSpec& s) { s.compression = 1; })},
      {"core header", variant([](BmpSpec& s) { s.infoSize = 12; })},
      {"zero width", variant([](BmpSpec& s) { s.width = 0; })},
      {"negative width", variant([](BmpSpec& s) { s.width = -2; })},
      {"zero height", variant([](BmpSpec& s) { s.height = 0; })},
      {"huge width", variant([](BmpSpec& s) { s.width = 65536; })},
      {"huge height", variant([](BmpSpec& s) { s.height = -70000; })},
      {"size field beyond the file", variant([](BmpSpec& s) { s.imageSizeField = 100000; })},
      {"size field too small", variant([](BmpSpec& s) { s.imageSizeField = 6; })},
  };
  // Pixels missing: the header promises 2 x 2 but only 10 of 16 bytes follow.
  cases.push_back({"truncated pixels",
                   std::vector<uint8_t>(good.data().begin(), good.data().begin() + 54 + 10)});
  // A huge claimed image in a tiny file must not be allocated.
  BmpSpec huge;
  huge.width = 65535;
  huge.height = 65535;
  cases.push_back({"huge claimed image", bmpFile(huge, std::vector<uint8_t>(64, 1)).data()});
  for (const Case& c : cases) {
    const std::string path = dir.write(std::string("bad-") + c.label, c.bytes);
    for (const ReaderCase& r : kReaders) {
      SCOPED_TRACE(std::string(c.label) + " / " + r.label);
      expectRefused(r.read, path);
    }
  }
  for (const ReaderCase& r : kReaders) {
    SCOPED_TRACE(std::string("missing / ") + r.label);
    expectRefused(r.read, dir.path() + "/no-such-file.bmp");
  }
}

}  // namespace
}  // namespace dravik
