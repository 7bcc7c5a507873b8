// The table of GL entry points the game calls, as X-macro lists: one line
// per entry point, saying how the state shadow handles it.
#pragma once

#include "gl/GlTypes.h"

// OpenGL 1.1 entry points, linked from the system library (opengl32 /
// libGL) and called through the table like the others.
// X(return type, name, parameter list, called by the game, shadow)
//
// shadow: what the state shadow (GlShadow.h) does with the call; a new
// entry must say, or the table does not compile:
//   passes         changes and reads nothing the shadow keeps: passed on
//   reads          reads what the shadow holds back: that is sent first
//   unkept         sets a uniform the shadow does not compare: its kept
//                  value is forgotten, the call passed on
//   follows        the shadow follows it: shadow::name, in a GlShadow*.cpp
//                  file by concern (declared for it in GlShadow.h)
//   followsAlways  as follows, with the shadow off too (programs made and
//                  linked, so that what it knows of them stays true)
// clang-format off
#define DRAVIK_GL_LINKED_ENTRY_POINTS(X)                                                        \
  X(void, glEnable, (GLenum cap), true, passes)                                                 \
  X(void, glDisable, (GLenum cap), true, passes)                                                \
  X(GLboolean, glIsEnabled, (GLenum cap), true, passes)                                         \
  X(void, glClear, (GLbitfield mask), true, passes)                                             \
  X(void, glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), true, passes)         \
  X(void, glDepthFunc, (GLenum func), true, passes)                                             \
  X(void, glDepthMask, (GLboolean flag), true, passes)                                          \
  X(void, glBlendFunc, (GLenum sfactor, GLenum dfactor), true, passes)                          \
  X(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height), true, passes)          \
  X(void, glGenTextures, (GLsizei n, GLuint* textures), true, passes)                           \
  X(void, glDeleteTextures, (GLsizei n, const GLuint* textures), true, follows)                 \
  X(void, glBindTexture, (GLenum target, GLuint texture), true, follows)                        \
  X(void, glTexParameteri, (GLenum target, GLenum pname, GLint param), true, passes)            \
  X(void, glGetTexParameteriv, (GLenum target, GLenum pname, GLint* params), true, passes)      \
  X(void, glTexImage2D, (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels), true, passes) \
  X(void, glDrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices), true, follows) \
  X(void, glReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels), true, passes) \
  X(void, glPixelStorei, (GLenum pname, GLint param), true, passes)                             \
  X(void, glGetIntegerv, (GLenum pname, GLint* params), true, reads)                            \
  X(void, glGetFloatv, (GLenum pname, GLfloat* params), true, reads)                            \
  X(void, glGetBooleanv, (GLenum pname, GLboolean* params), true, reads)                        \
  X(const GLubyte*, glGetString, (GLenum name), true, passes)                                   \
  X(GLenum, glGetError, (), true, passes)                                                       \
  X(void, glFinish, (), true, passes)
// clang-format on

// Desktop GL only (WebGL has no such query), for checks; linked directly.
extern "C" void DRAVIK_GLAPIENTRY glGetTexLevelParameteriv(GLenum target, GLint level, GLenum pname,
                                                           GLint* params);

// The entry points fetched at run time, in the order they are fetched.
// X(return type, name, parameter list, called by the game, shadow)
// clang-format off
#define DRAVIK_GL_ENTRY_POINTS(X)                                                               \
  X(void, glGenBuffers, (GLsizei n, GLuint* buffers), true, passes)                             \
  X(void, glDeleteBuffers, (GLsizei n, const GLuint* buffers), true, follows)                   \
  X(void, glBindBuffer, (GLenum target, GLuint buffer), true, follows)                          \
  X(void, glBufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage), true, follows) \
  X(void, glBufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void* data), true, follows) \
  X(GLuint, glCreateShader, (GLenum type), true, passes)                                        \
  X(void, glDeleteShader, (GLuint shader), true, passes)                                        \
  X(GLuint, glCreateProgram, (), true, followsAlways)                                           \
  X(void, glShaderSource, (GLuint shader, GLsizei count, const GLchar* const* string, const GLint* length), true, passes) \
  X(void, glCompileShader, (GLuint shader), true, passes)                                       \
  X(void, glGetShaderiv, (GLuint shader, GLenum pname, GLint* params), true, passes)            \
  X(void, glAttachShader, (GLuint program, GLuint shader), true, passes)                        \
  X(void, glDetachShader, (GLuint program, GLuint shader), true, passes)                        \
  X(void, glLinkProgram, (GLuint program), true, followsAlways)                                 \
  X(void, glGetProgramiv, (GLuint program, GLenum pname, GLint* params), true, passes)          \
  X(void, glUseProgram, (GLuint program), true, follows)                                        \
  X(void, glGetProgramInfoLog, (GLuint program, GLsizei bufSize, GLsizei* length, GLchar* infoLog), false, passes) \
  X(void, glGetShaderInfoLog, (GLuint shader, GLsizei bufSize, GLsizei* length, GLchar* infoLog), true, passes) \
  X(GLint, glGetUniformLocation, (GLuint program, const GLchar* name), true, follows)           \
  X(void, glUniform1f, (GLint location, GLfloat v0), false, follows)                            \
  X(void, glUniform2f, (GLint location, GLfloat v0, GLfloat v1), true, follows)                 \
  X(void, glUniform3f, (GLint location, GLfloat v0, GLfloat v1, GLfloat v2), false, follows)    \
  X(void, glUniform4f, (GLint location, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3), false, follows) \
  X(void, glUniform1fv, (GLint location, GLsizei count, const GLfloat* value), false, unkept)   \
  X(void, glUniform2fv, (GLint location, GLsizei count, const GLfloat* value), false, unkept)   \
  X(void, glUniform3fv, (GLint location, GLsizei count, const GLfloat* value), false, unkept)   \
  X(void, glUniform4fv, (GLint location, GLsizei count, const GLfloat* value), false, unkept)   \
  X(void, glUniform1i, (GLint location, GLint v0), true, follows)                               \
  X(void, glUniform2i, (GLint location, GLint v0, GLint v1), false, unkept)                     \
  X(void, glUniform3i, (GLint location, GLint v0, GLint v1, GLint v2), false, unkept)           \
  X(void, glUniform4i, (GLint location, GLint v0, GLint v1, GLint v2, GLint v3), false, unkept) \
  X(void, glUniform1ui, (GLint location, GLuint v0), false, unkept)                             \
  X(void, glUniform2ui, (GLint location, GLuint v0, GLuint v1), false, unkept)                  \
  X(void, glUniform3ui, (GLint location, GLuint v0, GLuint v1, GLuint v2), false, unkept)       \
  X(void, glUniform4ui, (GLint location, GLuint v0, GLuint v1, GLuint v2, GLuint v3), false, unkept) \
  X(void, glUniformMatrix2fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value), false, unkept) \
  X(void, glUniformMatrix3fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value), false, unkept) \
  X(void, glUniformMatrix4fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value), true, follows) \
  X(GLint, glGetAttribLocation, (GLuint program, const GLchar* name), true, follows)            \
  X(void, glBindAttribLocation, (GLuint program, GLuint index, const GLchar* name), false, passes) \
  X(void, glVertexAttribPointer, (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride, const void* pointer), true, follows) \
  X(void, glEnableVertexAttribArray, (GLuint index), true, follows)                             \
  X(void, glDisableVertexAttribArray, (GLuint index), true, follows)                            \
  X(void, glActiveTexture, (GLenum texture), true, follows)
// clang-format on
