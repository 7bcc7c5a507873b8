// Inside gl/: what the shadow keeps of each program, shared by
// GlShadowPrograms.cpp (made, linked, used, locations) and
// GlShadowUniforms.cpp (values).
#pragma once

#include <cstddef>
#include <cstdint>

#include "gl/GlShadow.h"

namespace glentry::shadow {

constexpr int kUniformsPerProgram = 12;
constexpr int kNamesPerProgram = 12;
constexpr std::size_t kNameLength = 24;

enum class UniformKind : uint8_t { Int1, Float1, Float2, Float3, Float4, Matrix4 };

struct UniformValue {
  GLint location = -1;
  bool known = false;
  UniformKind kind = UniformKind::Int1;
  uint32_t words[16] = {};
};

struct NamedLocation {
  bool attribute = false;
  GLint location = -1;
  char name[kNameLength] = {};
};

struct ProgramRecord {
  GLuint id = 0;  // 0: a free record
  bool linked = false;
  int uniformCount = 0;
  UniformValue uniforms[kUniformsPerProgram];
  int nameCount = 0;
  NamedLocation names[kNamesPerProgram];
};

// The current program's record where it is known and linked, else null.
ProgramRecord* currentProgramRecord();
// Whether the current program is known (0 or a followed one).
bool currentProgramKnown();

}  // namespace glentry::shadow
