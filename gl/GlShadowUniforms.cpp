// Uniform values. Each program's record keeps the values set through the
// setters the game uses (one int, one to four floats, one 4 x 4 matrix), so
// that setting a location to the value it holds passes nothing on. Calls
// the shadow cannot follow make the values they may have changed unknown.
#include <cstring>
#include <type_traits>

#include "gl/GlShadowPrograms.h"

namespace glentry::shadow {

namespace {

// A uniform set while the current program is unknown may have gone to any
// program: no program's values are known any more.
void forgetValuesOfUnknownProgram() {
  if (!currentProgramKnown()) forgetUniformValues();
}

// The value slot of a location in the current program, or null where the
// shadow does not keep it (no linked program known, no room).
UniformValue* uniformSlot(GLint location) {
  forgetValuesOfUnknownProgram();
  ProgramRecord* record = currentProgramRecord();
  if (record == nullptr || location < 0) return nullptr;
  for (int i = 0; i < record->uniformCount; ++i) {
    if (record->uniforms[i].location == location) return &record->uniforms[i];
  }
  if (record->uniformCount == kUniformsPerProgram) return nullptr;
  UniformValue& fresh = record->uniforms[record->uniformCount++];
  fresh.location = location;
  fresh.known = false;
  return &fresh;
}

// Whether the location already holds these words of this kind; records them
// when not.
bool uniformUnchanged(GLint location, UniformKind kind, const void* words, std::size_t count) {
  UniformValue* slot = uniformSlot(location);
  if (slot == nullptr) return false;
  const bool same =
      slot->known && slot->kind == kind && std::memcmp(slot->words, words, count * 4) == 0;
  slot->known = true;
  slot->kind = kind;
  std::memcpy(slot->words, words, count * 4);
  return same;
}

template <auto Driver, UniformKind Kind, class... V>
void setUniform(GLint location, V... values) {
  ++gCounts.asked;
  if (location == -1) return;  // GL ignores it (a uniform the shader lacks)
  uint32_t words[sizeof...(V)];
  const std::common_type_t<V...> all[] = {values...};
  std::memcpy(words, all, sizeof words);
  if (uniformUnchanged(location, Kind, words, sizeof...(V))) return;
  issue(*Driver, location, values...);
}

}  // namespace

// A call with a count above 1 also sets the array elements after location,
// whose locations GL does not promise to be the next numbers: every value
// of the program is forgotten.
void forgetUniform(GLint location, GLsizei count) {
  forgetValuesOfUnknownProgram();
  ProgramRecord* record = currentProgramRecord();
  if (record == nullptr) return;
  if (count > 1) {
    record->uniformCount = 0;
    return;
  }
  for (int i = 0; i < record->uniformCount; ++i) {
    if (record->uniforms[i].location == location) {
      record->uniforms[i] = record->uniforms[--record->uniformCount];
      return;
    }
  }
}

void DRAVIK_GLAPIENTRY glUniform1i(GLint location, GLint v0) {
  setUniform<&driver::glUniform1i, UniformKind::Int1>(location, v0);
}

void DRAVIK_GLAPIENTRY glUniform1f(GLint location, GLfloat v0) {
  setUniform<&driver::glUniform1f, UniformKind::Float1>(location, v0);
}

void DRAVIK_GLAPIENTRY glUniform2f(GLint location, GLfloat v0, GLfloat v1) {
  setUniform<&driver::glUniform2f, UniformKind::Float2>(location, v0, v1);
}

void DRAVIK_GLAPIENTRY glUniform3f(GLint location, GLfloat v0, GLfloat v1, GLfloat v2) {
  setUniform<&driver::glUniform3f, UniformKind::Float3>(location, v0, v1, v2);
}

void DRAVIK_GLAPIENTRY glUniform4f(GLint location, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3) {
  setUniform<&driver::glUniform4f, UniformKind::Float4>(location, v0, v1, v2, v3);
}

void DRAVIK_GLAPIENTRY glUniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose,
                                          const GLfloat* value) {
  ++gCounts.asked;
  if (location == -1) return;  // GL ignores it
  if (count == 1 && transpose == GL_FALSE && value != nullptr) {
    if (uniformUnchanged(location, UniformKind::Matrix4, value, 16)) return;
  } else {
    forgetUniform(location, count);
  }
  issue(driver::glUniformMatrix4fv, location, count, transpose, value);
}

}  // namespace glentry::shadow
