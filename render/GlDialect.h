// What differs between the GLs the game is built for: desktop OpenGL (a 3.0
// or a 2.1 context) and OpenGL ES as WebGL offers it. CMake compiles one of
// desktop/GlDialect.cpp and gles/GlDialect.cpp into the render library.
#pragma once

#include <string>

#include "gl/GlApi.h"

namespace dravik {

// A shader's source as read from data/, made ready for this build's GL.
std::string shaderSourceForGl(std::string source, GLenum shaderType);

// glTexImage2D of a level-0 2D texture from pixels in the game's formats
// (GL_BGR, GL_BGRA, GL_RGBA; bytes, unpack alignment 4).
void texImage2DForGl(GLint internalFormat, GLsizei width, GLsizei height, GLenum pixelFormat,
                     const void* pixels);

}  // namespace dravik
