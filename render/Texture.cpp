#include "render/Texture.h"

#include <cstring>

#include "gl/GlApi.h"
#include "render/FileProblem.h"
#include "render/GlDialect.h"

namespace dravik {

namespace {

bool endsWith(const char* name, std::size_t length, const char* suffix) {
  return std::memcmp(name + length - 4, suffix, 4) == 0;
}

}  // namespace

void Texture::loadFromFile(const char* name) {
  pixels_.reset();
  width_ = 0;
  height_ = 0;
  if (name == nullptr) name = "";
  const std::size_t length = std::strlen(name);
  using Reader = PixelBuffer (*)(const char*, uint16_t&, uint16_t&);
  Reader reader = readBmpWithAlpha;
  internalFormat_ = GL_RGBA;
  pixelFormat_ = GL_BGRA;
  if (length >= 4 && endsWith(name, length, ".bmp")) {
    reader = readBmp;
    internalFormat_ = GL_RGB;
    pixelFormat_ = GL_BGR;
  } else if (length >= 4 && endsWith(name, length, ".png")) {
    reader = readPng;
    internalFormat_ = GL_RGBA;
    pixelFormat_ = GL_RGBA;
  }
  if (length < 4) {
    reportFileProblem(name, "name too short to tell the image format");
    return;
  }
  uint16_t width = 0;
  uint16_t height = 0;
  pixels_ = reader(name, width, height);
  if (pixels_) {
    width_ = width;
    height_ = height;
  }
}

void Texture::upload() {
  glGenTextures(1, &name_);
  glBindTexture(GL_TEXTURE_2D, name_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_MIRRORED_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_MIRRORED_REPEAT);
  // Without pixels the texture is made empty (0 x 0) rather than handing GL
  // a null image of some size.
  const GLsizei width = pixels_ ? width_ : 0;
  const GLsizei height = pixels_ ? height_ : 0;
  texImage2DForGl(static_cast<GLint>(internalFormat_), width, height, pixelFormat_, pixels_.get());
}

void Texture::releasePixels() { pixels_.reset(); }

void Texture::deleteTexture() {
  if (name_ != 0 && glentry::contextAvailable()) glDeleteTextures(1, &name_);
  name_ = 0;
}

void Texture::bind() const { glBindTexture(GL_TEXTURE_2D, name_); }

void Texture::setLinearFilter(bool linear) {
  bind();
  const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void Texture::setWrap(int mode) {
  bind();
  GLint wrap = 0;
  switch (mode) {
    case kWrapMirroredRepeat:
      wrap = GL_MIRRORED_REPEAT;
      break;
    case kWrapRepeat:
      wrap = GL_REPEAT;
      break;
    case kWrapClampToEdge:
      wrap = GL_CLAMP_TO_EDGE;
      break;
    case kWrapClampToBorder:
      wrap = GL_CLAMP_TO_BORDER;
      break;
    default:
      return;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

}  // namespace dravik
