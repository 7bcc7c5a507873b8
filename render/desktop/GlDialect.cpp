// Desktop OpenGL takes the GLSL 1.20 sources and the BGR/BGRA uploads as
// they are.
#include "render/GlDialect.h"

namespace dravik {

std::string shaderSourceForGl(std::string source, GLenum /*shaderType*/) { return source; }

void texImage2DForGl(GLint internalFormat, GLsizei width, GLsizei height, GLenum pixelFormat,
                     const void* pixels) {
  glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, pixelFormat, GL_UNSIGNED_BYTE,
               pixels);
}

}  // namespace dravik
