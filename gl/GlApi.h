// The game's view of OpenGL: the GL types and constants it uses, and the
// table of process-wide pointers it calls GL through: the OpenGL 1.1
// functions linked from the system library and the 44 newer entry points
// fetched at run time.
//
// The system <GL/gl.h> is never included: Mesa's header already declares
// some of these entry points (glActiveTexture) as functions, which would
// clash with the pointers of the same names. The pointers live in the
// namespace glentry so that their symbols never collide with the functions
// libGL exports, and are brought into the global namespace by name.
#pragma once

#include <cstddef>

#if defined(_WIN32)
#define DRAVIK_GLAPIENTRY __stdcall
#else
#define DRAVIK_GLAPIENTRY
#endif

using GLenum = unsigned int;
using GLboolean = unsigned char;
using GLbitfield = unsigned int;
using GLbyte = signed char;
using GLubyte = unsigned char;
using GLshort = short;
using GLushort = unsigned short;
using GLint = int;
using GLuint = unsigned int;
using GLsizei = int;
using GLfloat = float;
using GLclampf = float;
using GLdouble = double;
using GLchar = char;
using GLvoid = void;
using GLsizeiptr = std::ptrdiff_t;
using GLintptr = std::ptrdiff_t;

// clang-format off
constexpr GLboolean GL_FALSE = 0;
constexpr GLboolean GL_TRUE = 1;
constexpr GLenum GL_NO_ERROR = 0;
constexpr GLenum GL_INVALID_ENUM = 0x0500;
constexpr GLenum GL_INVALID_VALUE = 0x0501;
constexpr GLenum GL_INVALID_OPERATION = 0x0502;

constexpr GLenum GL_TRIANGLES = 0x0004;
constexpr GLbitfield GL_DEPTH_BUFFER_BIT = 0x0100;
constexpr GLbitfield GL_COLOR_BUFFER_BIT = 0x4000;
constexpr GLenum GL_LEQUAL = 0x0203;
constexpr GLenum GL_LESS = 0x0201;
constexpr GLenum GL_SRC_ALPHA = 0x0302;
constexpr GLenum GL_ONE_MINUS_SRC_ALPHA = 0x0303;
constexpr GLenum GL_CULL_FACE = 0x0B44;
constexpr GLenum GL_DEPTH_TEST = 0x0B71;
constexpr GLenum GL_DEPTH_WRITEMASK = 0x0B72;
constexpr GLenum GL_DEPTH_FUNC = 0x0B74;
constexpr GLenum GL_VIEWPORT = 0x0BA2;
constexpr GLenum GL_BLEND_DST = 0x0BE0;
constexpr GLenum GL_BLEND_SRC = 0x0BE1;
constexpr GLenum GL_BLEND = 0x0BE2;
constexpr GLenum GL_COLOR_CLEAR_VALUE = 0x0C22;
constexpr GLenum GL_UNPACK_ALIGNMENT = 0x0CF5;
constexpr GLenum GL_PACK_ALIGNMENT = 0x0D05;
constexpr GLenum GL_TEXTURE_2D = 0x0DE1;
constexpr GLenum GL_TEXTURE_WIDTH = 0x1000;
constexpr GLenum GL_TEXTURE_HEIGHT = 0x1001;
constexpr GLenum GL_TEXTURE_INTERNAL_FORMAT = 0x1003;
constexpr GLenum GL_UNSIGNED_BYTE = 0x1401;
constexpr GLenum GL_UNSIGNED_SHORT = 0x1403;
constexpr GLenum GL_FLOAT = 0x1406;
constexpr GLenum GL_RGB = 0x1907;
constexpr GLenum GL_RGBA = 0x1908;
constexpr GLenum GL_RENDERER = 0x1F01;
constexpr GLenum GL_VERSION = 0x1F02;
constexpr GLenum GL_NEAREST = 0x2600;
constexpr GLenum GL_LINEAR = 0x2601;
constexpr GLenum GL_TEXTURE_MAG_FILTER = 0x2800;
constexpr GLenum GL_TEXTURE_MIN_FILTER = 0x2801;
constexpr GLenum GL_TEXTURE_WRAP_S = 0x2802;
constexpr GLenum GL_TEXTURE_WRAP_T = 0x2803;
constexpr GLenum GL_REPEAT = 0x2901;
constexpr GLenum GL_TEXTURE_BINDING_2D = 0x8069;
constexpr GLenum GL_BGR = 0x80E0;
constexpr GLenum GL_BGRA = 0x80E1;
constexpr GLenum GL_CLAMP_TO_BORDER = 0x812D;
constexpr GLenum GL_CLAMP_TO_EDGE = 0x812F;
constexpr GLenum GL_MIRRORED_REPEAT = 0x8370;
constexpr GLenum GL_TEXTURE0 = 0x84C0;
constexpr GLenum GL_ACTIVE_TEXTURE = 0x84E0;
constexpr GLenum GL_BUFFER_SIZE = 0x8764;
constexpr GLenum GL_ARRAY_BUFFER = 0x8892;
constexpr GLenum GL_ELEMENT_ARRAY_BUFFER = 0x8893;
constexpr GLenum GL_ARRAY_BUFFER_BINDING = 0x8894;
constexpr GLenum GL_ELEMENT_ARRAY_BUFFER_BINDING = 0x8895;
constexpr GLenum GL_STATIC_DRAW = 0x88E4;
constexpr GLenum GL_DYNAMIC_DRAW = 0x88E8;
constexpr GLenum GL_FRAGMENT_SHADER = 0x8B30;
constexpr GLenum GL_VERTEX_SHADER = 0x8B31;
constexpr GLenum GL_COMPILE_STATUS = 0x8B81;
constexpr GLenum GL_LINK_STATUS = 0x8B82;
constexpr GLenum GL_INFO_LOG_LENGTH = 0x8B84;
constexpr GLenum GL_ATTACHED_SHADERS = 0x8B85;
constexpr GLenum GL_CURRENT_PROGRAM = 0x8B8D;
// clang-format on

// OpenGL 1.1 entry points, linked from the system library (opengl32 /
// libGL) and called through the table like the others.
// X(return type, name, parameter list, called by the game)
// clang-format off
#define DRAVIK_GL_LINKED_ENTRY_POINTS(X)                                                       \
  X(void, glEnable, (GLenum cap), true)                                                        \
  X(void, glDisable, (GLenum cap), true)                                                       \
  X(GLboolean, glIsEnabled, (GLenum cap), true)                                                \
  X(void, glClear, (GLbitfield mask), true)                                                    \
  X(void, glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), true)                \
  X(void, glDepthFunc, (GLenum func), true)                                                    \
  X(void, glDepthMask, (GLboolean flag), true)                                                 \
  X(void, glBlendFunc, (GLenum sfactor, GLenum dfactor), true)                                 \
  X(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height), true)                 \
  X(void, glGenTextures, (GLsizei n, GLuint* textures), true)                                  \
  X(void, glDeleteTextures, (GLsizei n, const GLuint* textures), true)                         \
  X(void, glBindTexture, (GLenum target, GLuint texture), true)                                \
  X(void, glTexParameteri, (GLenum target, GLenum pname, GLint param), true)                   \
  X(void, glGetTexParameteriv, (GLenum target, GLenum pname, GLint* params), true)             \
  X(void, glTexImage2D, (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels), true) \
  X(void, glDrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices), true) \
  X(void, glReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels), true) \
  X(void, glPixelStorei, (GLenum pname, GLint param), true)                                    \
  X(void, glGetIntegerv, (GLenum pname, GLint* params), true)                                  \
  X(void, glGetFloatv, (GLenum pname, GLfloat* params), true)                                  \
  X(void, glGetBooleanv, (GLenum pname, GLboolean* params), true)                              \
  X(const GLubyte*, glGetString, (GLenum name), true)                                          \
  X(GLenum, glGetError, (), true)                                                              \
  X(void, glFinish, (), true)
// clang-format on

// Desktop GL only (WebGL has no such query), for checks; linked directly.
extern "C" void DRAVIK_GLAPIENTRY glGetTexLevelParameteriv(GLenum target, GLint level, GLenum pname,
                                                           GLint* params);

// The entry points fetched at run time, in the order they are fetched.
// X(return type, name, parameter list, called by the game)
// clang-format off
#define DRAVIK_GL_ENTRY_POINTS(X)                                                              \
  X(void, glGenBuffers, (GLsizei n, GLuint* buffers), true)                                    \
  X(void, glDeleteBuffers, (GLsizei n, const GLuint* buffers), true)                           \
  X(void, glBindBuffer, (GLenum target, GLuint buffer), true)                                  \
  X(void, glBufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage), true) \
  X(void, glBufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void* data), true) \
  X(GLuint, glCreateShader, (GLenum type), true)                                               \
  X(void, glDeleteShader, (GLuint shader), true)                                               \
  X(GLuint, glCreateProgram, (), true)                                                         \
  X(void, glShaderSource, (GLuint shader, GLsizei count, const GLchar* const* string, const GLint* length), true) \
  X(void, glCompileShader, (GLuint shader), true)                                              \
  X(void, glGetShaderiv, (GLuint shader, GLenum pname, GLint* params), true)                   \
  X(void, glAttachShader, (GLuint program, GLuint shader), true)                               \
  X(void, glDetachShader, (GLuint program, GLuint shader), true)                               \
  X(void, glLinkProgram, (GLuint program), true)                                               \
  X(void, glGetProgramiv, (GLuint program, GLenum pname, GLint* params), true)                 \
  X(void, glUseProgram, (GLuint program), true)                                                \
  X(void, glGetProgramInfoLog, (GLuint program, GLsizei bufSize, GLsizei* length, GLchar* infoLog), false) \
  X(void, glGetShaderInfoLog, (GLuint shader, GLsizei bufSize, GLsizei* length, GLchar* infoLog), true) \
  X(GLint, glGetUniformLocation, (GLuint program, const GLchar* name), true)                   \
  X(void, glUniform1f, (GLint location, GLfloat v0), false)                                    \
  X(void, glUniform2f, (GLint location, GLfloat v0, GLfloat v1), true)                         \
  X(void, glUniform3f, (GLint location, GLfloat v0, GLfloat v1, GLfloat v2), false)            \
  X(void, glUniform4f, (GLint location, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3), false) \
  X(void, glUniform1fv, (GLint location, GLsizei count, const GLfloat* value), false)          \
  X(void, glUniform2fv, (GLint location, GLsizei count, const GLfloat* value), false)          \
  X(void, glUniform3fv, (GLint location, GLsizei count, const GLfloat* value), false)          \
  X(void, glUniform4fv, (GLint location, GLsizei count, const GLfloat* value), false)          \
  X(void, glUniform1i, (GLint location, GLint v0), true)                                       \
  X(void, glUniform2i, (GLint location, GLint v0, GLint v1), false)                            \
  X(void, glUniform3i, (GLint location, GLint v0, GLint v1, GLint v2), false)                  \
  X(void, glUniform4i, (GLint location, GLint v0, GLint v1, GLint v2, GLint v3), false)        \
  X(void, glUniform1ui, (GLint location, GLuint v0), false)                                    \
  X(void, glUniform2ui, (GLint location, GLuint v0, GLuint v1), false)                         \
  X(void, glUniform3ui, (GLint location, GLuint v0, GLuint v1, GLuint v2), false)              \
  X(void, glUniform4ui, (GLint location, GLuint v0, GLuint v1, GLuint v2, GLuint v3), false)   \
  X(void, glUniformMatrix2fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value), false) \
  X(void, glUniformMatrix3fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value), false) \
  X(void, glUniformMatrix4fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value), true) \
  X(GLint, glGetAttribLocation, (GLuint program, const GLchar* name), true)                    \
  X(void, glBindAttribLocation, (GLuint program, GLuint index, const GLchar* name), false)     \
  X(void, glVertexAttribPointer, (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride, const void* pointer), true) \
  X(void, glEnableVertexAttribArray, (GLuint index), true)                                     \
  X(void, glDisableVertexAttribArray, (GLuint index), true)                                    \
  X(void, glActiveTexture, (GLenum texture), true)
// clang-format on

// Every layer calls GL through the pointers in glentry; each leads to the
// state shadow (GlStateShadow.cpp), which passes on to the driver's own
// entry points in glentry::driver only the calls that change something.
namespace glentry {
#define DRAVIK_DECLARE_GL_POINTER(ret, name, params, called) \
  using name##Fn = ret(DRAVIK_GLAPIENTRY*) params;           \
  extern name##Fn name;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DECLARE_GL_POINTER)
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DECLARE_GL_POINTER)
#undef DRAVIK_DECLARE_GL_POINTER

namespace driver {
#define DRAVIK_DECLARE_DRIVER_POINTER(ret, name, params, called) extern name##Fn name;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DECLARE_DRIVER_POINTER)
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DECLARE_DRIVER_POINTER)
#undef DRAVIK_DECLARE_DRIVER_POINTER
}  // namespace driver
}  // namespace glentry

// The file that takes the linked functions' addresses declares them under
// the same names, so it does without these.
#ifndef DRAVIK_GL_NO_GLOBAL_NAMES
#define DRAVIK_USE_GL_POINTER(ret, name, params, called) using glentry::name;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_USE_GL_POINTER)
DRAVIK_GL_ENTRY_POINTS(DRAVIK_USE_GL_POINTER)
#undef DRAVIK_USE_GL_POINTER
#endif

namespace glentry {

constexpr int kEntryPointCount = 44;

// Looks up one entry point by name; the platform backend supplies it
// (wglGetProcAddress, SDL_GL_GetProcAddress).
using ProcLookup = void* (*)(const char* name);

// Fetches every run-time entry point, in table order, through lookup, and
// forgets the driver's state. An entry point the lookup lacks stays null.
void loadAll(ProcLookup lookup);

// The first entry point the game calls that is still null, or nullptr when
// every one the game needs is present.
const char* firstMissingCalledEntryPoint();

// Names of all 44 entry points in fetch order (for tests and diagnostics).
const char* const* entryPointNames();

// Sets every run-time entry point back to null (the linked ones stay).
void resetAll();

// Whether a GL context is current on this thread. The window sets it when it
// makes its context current and clears it when the context is deleted;
// destructors and release paths skip their GL calls while it is clear, so
// tearing the game down after the window closed is harmless.
// Setting it either way also forgets the driver's state (forgetDriverState);
// clearing it, the programs too.
bool contextAvailable();
void setContextAvailable(bool available);

// GL calls the game made through the table (asked) and calls that reached
// the driver (issued), counted since the last resetCallCounts.
struct CallCounts {
  unsigned long long asked = 0;
  unsigned long long issued = 0;
};
CallCounts callCounts();
void resetCallCounts();

// Whether the table skips calls that change nothing (on by default). Off,
// every call reaches the driver, in the game's order.
void setStateShadow(bool on);

// Sends what the shadow holds back (the array buffer binding, attribute
// arrays switched on or off) to the driver now: for code that calls GL
// other than through the table.
void syncDriverState();

// The driver's state is unknown again (bindings, attribute arrays, the
// program in use, uniform values): the next call of each kind reaches the
// driver. Programs keep their looked-up locations until linked again.
void forgetDriverState();

}  // namespace glentry
