// BitmapText::create and setText on arbitrary strings, checked against the
// mesh counts and against what reaches the (fake) GL buffers. The input is
// split at zero bytes: the first piece goes to create, every further piece
// to one setText.
#include <cstring>
#include <map>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "gl/GlApi.h"
#include "mesh/BitmapText.h"

namespace {

// A stand-in for the GL buffer entry points: it copies every upload, so an
// upload that reads past its array is caught by AddressSanitizer, and keeps
// the size of each buffer for the checks below.
struct FakeBuffers {
  GLuint nextName = 1;
  GLuint arrayBinding = 0;
  GLuint elementBinding = 0;
  std::map<GLuint, std::size_t> sizes;
  std::vector<unsigned char> copy;
};
FakeBuffers fake;

void DRAVIK_GLAPIENTRY genBuffers(GLsizei n, GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) {
    names[i] = fake.nextName++;
    fake.sizes[names[i]] = 0;
  }
}

void DRAVIK_GLAPIENTRY deleteBuffers(GLsizei n, const GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) {
    DRAVIK_FUZZ_CHECK(fake.sizes.erase(names[i]) == 1);
  }
}

void DRAVIK_GLAPIENTRY bindBuffer(GLenum target, GLuint name) {
  DRAVIK_FUZZ_CHECK(name == 0 || fake.sizes.count(name) == 1);
  if (target == GL_ARRAY_BUFFER) fake.arrayBinding = name;
  if (target == GL_ELEMENT_ARRAY_BUFFER) fake.elementBinding = name;
}

void DRAVIK_GLAPIENTRY bufferData(GLenum target, GLsizeiptr size, const void* data, GLenum) {
  DRAVIK_FUZZ_CHECK(size >= 0);
  const GLuint bound = target == GL_ARRAY_BUFFER ? fake.arrayBinding : fake.elementBinding;
  DRAVIK_FUZZ_CHECK(bound != 0);
  fake.sizes[bound] = static_cast<std::size_t>(size);
  if (data != nullptr && size > 0) {
    fake.copy.resize(static_cast<std::size_t>(size));
    std::memcpy(fake.copy.data(), data, static_cast<std::size_t>(size));
  }
}

void DRAVIK_GLAPIENTRY bufferSubData(GLenum target, GLintptr offset, GLsizeiptr size,
                                     const void* data) {
  const GLuint bound = target == GL_ARRAY_BUFFER ? fake.arrayBinding : fake.elementBinding;
  DRAVIK_FUZZ_CHECK(offset >= 0 && size >= 0);
  DRAVIK_FUZZ_CHECK(static_cast<std::size_t>(offset + size) <= fake.sizes[bound]);
  fake.copy.resize(static_cast<std::size_t>(size));
  if (size > 0) std::memcpy(fake.copy.data(), data, static_cast<std::size_t>(size));
}

void checkText(const dravik::BitmapText& text, const char* string, uint32_t largestSoFar) {
  using dravik::BitmapText;
  const std::size_t length = std::min<std::size_t>(std::strlen(string), BitmapText::kMaxCharacters);
  const dravik::Mesh& mesh = text.mesh();
  // One quad per character of the current string; the arrays keep the
  // quads of the longest string so far.
  DRAVIK_FUZZ_CHECK(text.slotCount() == largestSoFar);
  DRAVIK_FUZZ_CHECK(mesh.positions().size() == 12u * largestSoFar);
  DRAVIK_FUZZ_CHECK(mesh.colours().size() == 12u * largestSoFar);
  DRAVIK_FUZZ_CHECK(mesh.uvs().size() == 8u * largestSoFar);
  DRAVIK_FUZZ_CHECK(mesh.indices().size() == 6u * largestSoFar);
  DRAVIK_FUZZ_CHECK(mesh.positionCount() == 12 * length);
  DRAVIK_FUZZ_CHECK(mesh.colourCount() == 12 * length);
  DRAVIK_FUZZ_CHECK(mesh.uvCount() == 8 * length);
  DRAVIK_FUZZ_CHECK(mesh.indexCount() == 6 * length);
  const std::size_t vertices = mesh.positions().size() / 3;
  for (uint16_t index : mesh.indices()) DRAVIK_FUZZ_CHECK(index < vertices);
  // What GL holds matches the counts.
  const uint32_t* buffers = mesh.staticBuffers();
  DRAVIK_FUZZ_CHECK(fake.sizes.at(buffers[0]) == 4u * mesh.positionCount());
  DRAVIK_FUZZ_CHECK(fake.sizes.at(buffers[1]) == 4u * mesh.colourCount());
  DRAVIK_FUZZ_CHECK(fake.sizes.at(buffers[2]) == 2u * mesh.indexCount());
  DRAVIK_FUZZ_CHECK(fake.sizes.at(buffers[3]) == 4u * mesh.uvCount());
  // Each character shows a 1/16 x 1/16 cell of the atlas whose column is
  // the character code modulo 16.
  for (std::size_t k = 0; k < length; ++k) {
    const float* uv = mesh.uvs().data() + 8 * k;
    const int column = static_cast<signed char>(string[k]) % 16;
    DRAVIK_FUZZ_CHECK(uv[0] * 16.0f == static_cast<float>(column));
    DRAVIK_FUZZ_CHECK(uv[4] - uv[0] == 0.0625f);
    DRAVIK_FUZZ_CHECK(uv[3] - uv[1] == 0.0625f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  glentry::glGenBuffers = genBuffers;
  glentry::glDeleteBuffers = deleteBuffers;
  glentry::glBindBuffer = bindBuffer;
  glentry::glBufferData = bufferData;
  glentry::glBufferSubData = bufferSubData;
  glentry::setContextAvailable(true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using dravik::BitmapText;
  // Zero-terminated pieces of the input.
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  const uint32_t glyphSize = size > 0 ? data[0] : 16;
  {
    BitmapText bitmapText;
    const char* piece = text.data();
    bitmapText.create(piece, 150.0f, 35.0f, -35.0f, glyphSize, 0.0f, 1.0f, 0.0f, nullptr, nullptr);
    uint32_t largest = static_cast<uint32_t>(
        std::min<std::size_t>(std::strlen(piece), BitmapText::kMaxCharacters));
    DRAVIK_FUZZ_CHECK(bitmapText.mesh().hasBuffers());
    checkText(bitmapText, piece, largest);
    const char* end = text.data() + text.size() - 1;
    piece += std::strlen(piece);
    while (piece < end) {
      ++piece;  // past the zero byte
      bitmapText.setText(piece);
      largest = std::max<uint32_t>(largest, static_cast<uint32_t>(std::min<std::size_t>(
                                                std::strlen(piece), BitmapText::kMaxCharacters)));
      checkText(bitmapText, piece, largest);
      piece += std::strlen(piece);
    }
  }
  // The text's mesh gave back all its buffers.
  DRAVIK_FUZZ_CHECK(fake.sizes.empty());
  return 0;
}
