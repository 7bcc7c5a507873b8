// OpenGL ES 2.0 / 3.0 as WebGL 1 / 2: GLSL ES shaders, and no BGR or BGRA
// upload formats, so those images are uploaded as RGB / RGBA copies.
#include "render/GlDialect.h"

#include "render/GlslEs.h"
#include "render/PixelOrder.h"

namespace dravik {

std::string shaderSourceForGl(std::string source, GLenum shaderType) {
  const ShaderStage stage =
      shaderType == GL_FRAGMENT_SHADER ? ShaderStage::Fragment : ShaderStage::Vertex;
  return adaptShaderForGlslEs(source, stage);
}

void texImage2DForGl(GLint internalFormat, GLsizei width, GLsizei height, GLenum pixelFormat,
                     const void* pixels) {
  PixelBuffer swapped;
  if (pixelFormat == GL_BGR || pixelFormat == GL_BGRA) {
    const int bytesPerPixel = pixelFormat == GL_BGR ? 3 : 4;
    pixelFormat = pixelFormat == GL_BGR ? GL_RGB : GL_RGBA;
    swapped = swapRedAndBlue(static_cast<const uint8_t*>(pixels), width, height, bytesPerPixel);
    // Without memory for the copy the texture is made empty rather than
    // with blue and red crossed.
    if (!swapped) width = height = 0;
    pixels = swapped.get();
  }
  glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, pixelFormat, GL_UNSIGNED_BYTE,
               pixels);
}

}  // namespace dravik
