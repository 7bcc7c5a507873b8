// The state shadow behind the GL table. The game sets every draw's full
// state (program, buffers, attribute arrays, texture, uniforms); on a phone
// or a Pi each call that reaches the driver costs CPU time whether it
// changes anything or not. The shadow remembers what the driver holds and
// passes a call on only when it changes something:
// - the element buffer, the program, the active unit and each unit's 2D
//   texture are compared and set at once;
// - the array buffer binding is only wanted until a call reads it (an
//   attribute pointer, a buffer upload, a query): a run of draws of one mesh
//   binds three buffers a draw and needs none of them bound again;
// - attribute arrays switched on or off take effect at the next draw, so the
//   switch-off at the end of one draw and the switch-on of the next cancel;
// - each program's uniform values and looked-up locations are kept until it
//   is linked again.
// Whatever is not known (after a context is made, restored or lost, or a
// call the shadow cannot follow) counts as different, so the next call
// reaches the driver.
#include "gl/GlStateShadow.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "gl/GlApi.h"

namespace glentry {

namespace {

constexpr GLuint kUnknown = 0xFFFFFFFFu;
constexpr GLuint kAttributes = 16;
constexpr GLuint kUnits = 8;
constexpr int kPrograms = 8;
constexpr int kUniformsPerProgram = 12;
constexpr int kNamesPerProgram = 12;
constexpr std::size_t kNameLength = 24;

enum class UniformKind : uint8_t { Int1, Float1, Float2, Float3, Float4, Matrix4 };

// An attribute pointer as the driver has it; buffer kUnknown where unknown.
struct AttributePointer {
  GLuint buffer;
  GLint size;
  GLenum type;
  GLboolean normalized;
  GLsizei stride;
  const void* pointer;
};

struct UniformValue {
  GLint location = -1;
  bool known = false;
  UniformKind kind = UniformKind::Int1;
  uint32_t words[16] = {};
};

// An attribute array as asked for and as the driver has it.
enum class Switch : uint8_t { Unknown, Off, On };

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

  void forgetLink() {
    linked = false;
    uniformCount = 0;
    nameCount = 0;
  }
};

struct Shadow {
  GLuint arrayBufferWanted = kUnknown;  // kUnknown: not asked since forgotten
  GLuint arrayBufferIssued = kUnknown;
  GLuint elementBuffer = kUnknown;
  Switch attributeWanted[kAttributes] = {};  // Unknown: not asked
  Switch attributeIssued[kAttributes] = {};
  uint32_t attributesToSync = 0;  // a bit for each index where the two differ
  AttributePointer pointers[kAttributes] = {};
  GLenum activeUnit = kUnknown;
  GLuint unitTexture[kUnits] = {};
  GLuint program = kUnknown;
  ProgramRecord* programRecord = nullptr;  // the current program's, if any
  ProgramRecord programs[kPrograms];
  unsigned nextEviction = 0;

  Shadow() {
    for (GLuint& texture : unitTexture) texture = kUnknown;
    for (AttributePointer& pointer : pointers) pointer.buffer = kUnknown;
  }
};

Shadow gShadow;
CallCounts gCounts;
bool gShadowOn = true;

template <class Fn, class... Args>
auto issue(Fn fn, Args... args) {
  ++gCounts.issued;
  return fn(args...);
}

void forgetUnits() {
  for (GLuint& texture : gShadow.unitTexture) texture = kUnknown;
}

void forgetProgram() {
  gShadow.program = kUnknown;
  gShadow.programRecord = nullptr;
}

ProgramRecord* findProgram(GLuint id) {
  if (id == 0) return nullptr;
  for (ProgramRecord& record : gShadow.programs) {
    if (record.id == id) return &record;
  }
  return nullptr;
}

// A program's record, made where there is none. With every record taken,
// the one after the last made gives way (never the current program's): a
// program without a record is still drawn with, only not followed.
ProgramRecord* recordProgram(GLuint id) {
  if (ProgramRecord* found = findProgram(id)) return found;
  ProgramRecord* fresh = nullptr;
  for (ProgramRecord& record : gShadow.programs) {
    if (record.id == 0) {
      fresh = &record;
      break;
    }
  }
  for (int tries = 0; fresh == nullptr && tries < kPrograms; ++tries) {
    ProgramRecord& next = gShadow.programs[gShadow.nextEviction++ % kPrograms];
    if (&next != gShadow.programRecord) fresh = &next;
  }
  if (fresh == nullptr) return nullptr;
  *fresh = ProgramRecord{};
  fresh->id = id;
  return fresh;
}

void flushArrayBuffer() {
  const GLuint wanted = gShadow.arrayBufferWanted;
  if (wanted != kUnknown && wanted != gShadow.arrayBufferIssued) {
    issue(driver::glBindBuffer, GL_ARRAY_BUFFER, wanted);
    gShadow.arrayBufferIssued = wanted;
  }
}

void syncAttributes() {
  uint32_t pending = gShadow.attributesToSync;
  for (GLuint index = 0; pending != 0; ++index, pending >>= 1) {
    if ((pending & 1u) == 0) continue;
    const Switch wanted = gShadow.attributeWanted[index];
    if (wanted == Switch::On) {
      issue(driver::glEnableVertexAttribArray, index);
    } else {
      issue(driver::glDisableVertexAttribArray, index);
    }
    gShadow.attributeIssued[index] = wanted;
  }
  gShadow.attributesToSync = 0;
}

void wantAttribute(GLuint index, Switch on) {
  gShadow.attributeWanted[index] = on;
  const uint32_t bit = 1u << index;
  if (gShadow.attributeIssued[index] == on) {
    gShadow.attributesToSync &= ~bit;
  } else {
    gShadow.attributesToSync |= bit;
  }
}

// A uniform set while the current program is unknown may have gone to any
// program: no program's values are known any more.
void forgetUniformsOfUnknownProgram() {
  if (gShadow.program != kUnknown) return;
  for (ProgramRecord& record : gShadow.programs) record.uniformCount = 0;
}

// The value slot of a location in the current program, or null where the
// shadow does not keep it (no linked program known, no room).
UniformValue* uniformSlot(GLint location) {
  forgetUniformsOfUnknownProgram();
  ProgramRecord* record = gShadow.programRecord;
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

// A call with a count above 1 sets the array elements after location too,
// whose locations GL does not promise to be the next numbers: every value of
// the program is forgotten.
void forgetUniform(GLint location, GLsizei count) {
  forgetUniformsOfUnknownProgram();
  ProgramRecord* record = gShadow.programRecord;
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

GLint cachedLocation(GLuint program, const GLchar* name, bool attribute,
                     GLint (*lookup)(GLuint, const GLchar*)) {
  ProgramRecord* record = findProgram(program);
  const std::size_t length = name != nullptr ? std::strlen(name) : kNameLength;
  if (record == nullptr || !record->linked || length >= kNameLength) {
    return lookup(program, name);
  }
  for (int i = 0; i < record->nameCount; ++i) {
    const NamedLocation& known = record->names[i];
    if (known.attribute == attribute && std::strcmp(known.name, name) == 0) return known.location;
  }
  const GLint location = lookup(program, name);
  if (record->nameCount < kNamesPerProgram) {
    NamedLocation& fresh = record->names[record->nameCount++];
    fresh.attribute = attribute;
    fresh.location = location;
    std::memcpy(fresh.name, name, length + 1);
  }
  return location;
}

void nothingFirst() {}

// A call that counts, does First and passes on: every entry with the shadow
// off.
template <auto Driver, void (*First)() = nothingFirst>
struct Plain;

template <class R, class... A, R(DRAVIK_GLAPIENTRY** Driver)(A...), void (*First)()>
struct Plain<Driver, First> {
  static R DRAVIK_GLAPIENTRY call(A... args) {
    ++gCounts.asked;
    First();
    return issue(*Driver, args...);
  }
};

// Each table entry with the shadow on: by default as plain; the
// specialisations below shadow the state they change.
template <auto Driver>
struct Gl : Plain<Driver> {};

// Queries first bring the driver up to date.
template <auto Driver>
struct Query : Plain<Driver, syncDriverState> {};

// The count of a vector or matrix setter's arguments (its first), 1 for the others.
template <class... A>
GLsizei countOf(A...) {
  return 1;
}
template <class... A>
GLsizei countOf(GLsizei count, const GLfloat*) {
  return count;
}
template <class... A>
GLsizei countOf(GLsizei count, GLboolean, const GLfloat*) {
  return count;
}

// Uniform setters the shadow does not compare: the location's value is no
// longer known.
template <auto Driver>
struct UnkeptUniform;

template <class... A, void(DRAVIK_GLAPIENTRY** Driver)(GLint, A...)>
struct UnkeptUniform<Driver> {
  static void DRAVIK_GLAPIENTRY call(GLint location, A... args) {
    ++gCounts.asked;
    if (location == -1) return;  // GL ignores it
    forgetUniform(location, countOf(args...));
    issue(*Driver, location, args...);
  }
};

#define DRAVIK_GL_AS(entry, kind) \
  template <>                     \
  struct Gl<&driver::entry> : kind<&driver::entry> {};
DRAVIK_GL_AS(glGetIntegerv, Query)
DRAVIK_GL_AS(glGetFloatv, Query)
DRAVIK_GL_AS(glGetBooleanv, Query)
DRAVIK_GL_AS(glUniform1fv, UnkeptUniform)
DRAVIK_GL_AS(glUniform2fv, UnkeptUniform)
DRAVIK_GL_AS(glUniform3fv, UnkeptUniform)
DRAVIK_GL_AS(glUniform4fv, UnkeptUniform)
DRAVIK_GL_AS(glUniform2i, UnkeptUniform)
DRAVIK_GL_AS(glUniform3i, UnkeptUniform)
DRAVIK_GL_AS(glUniform4i, UnkeptUniform)
DRAVIK_GL_AS(glUniform1ui, UnkeptUniform)
DRAVIK_GL_AS(glUniform2ui, UnkeptUniform)
DRAVIK_GL_AS(glUniform3ui, UnkeptUniform)
DRAVIK_GL_AS(glUniform4ui, UnkeptUniform)
DRAVIK_GL_AS(glUniformMatrix2fv, UnkeptUniform)
DRAVIK_GL_AS(glUniformMatrix3fv, UnkeptUniform)
#undef DRAVIK_GL_AS

template <>
struct Gl<&driver::glBindBuffer> {
  static void DRAVIK_GLAPIENTRY call(GLenum target, GLuint buffer) {
    ++gCounts.asked;
    if (target == GL_ARRAY_BUFFER) {
      gShadow.arrayBufferWanted = buffer;
    } else if (target != GL_ELEMENT_ARRAY_BUFFER) {
      issue(driver::glBindBuffer, target, buffer);
    } else if (gShadow.elementBuffer != buffer) {
      issue(driver::glBindBuffer, target, buffer);
      gShadow.elementBuffer = buffer;
    }
  }
};

// Deleting names: the driver first, then what the shadow held of each.
template <auto Driver, void (*Forget)(GLuint)>
struct Deleting {
  static void DRAVIK_GLAPIENTRY call(GLsizei n, const GLuint* names) {
    ++gCounts.asked;
    issue(*Driver, n, names);
    for (GLsizei i = 0; i < n; ++i) {
      if (names[i] != 0) Forget(names[i]);
    }
  }
};

// A deleted buffer is unbound; attribute pointers keep the old buffer,
// which a new buffer of the same name is not.
void forgetBuffer(GLuint buffer) {
  if (gShadow.arrayBufferIssued == buffer) gShadow.arrayBufferIssued = 0;
  if (gShadow.arrayBufferWanted == buffer) gShadow.arrayBufferWanted = 0;
  if (gShadow.elementBuffer == buffer) gShadow.elementBuffer = 0;
  for (AttributePointer& p : gShadow.pointers) {
    if (p.buffer == buffer) p.buffer = kUnknown;
  }
}

// GL unbinds a deleted texture from every unit.
void forgetTexture(GLuint texture) {
  for (GLuint& bound : gShadow.unitTexture) {
    if (bound == texture) bound = 0;
  }
}

template <>
struct Gl<&driver::glDeleteBuffers> : Deleting<&driver::glDeleteBuffers, forgetBuffer> {};
template <>
struct Gl<&driver::glDeleteTextures> : Deleting<&driver::glDeleteTextures, forgetTexture> {};

template <>
struct Gl<&driver::glBufferData> {
  static void DRAVIK_GLAPIENTRY call(GLenum target, GLsizeiptr size, const void* data,
                                     GLenum usage) {
    ++gCounts.asked;
    if (target == GL_ARRAY_BUFFER) flushArrayBuffer();
    issue(driver::glBufferData, target, size, data, usage);
  }
};

template <>
struct Gl<&driver::glBufferSubData> {
  static void DRAVIK_GLAPIENTRY call(GLenum target, GLintptr offset, GLsizeiptr size,
                                     const void* data) {
    ++gCounts.asked;
    if (target == GL_ARRAY_BUFFER) flushArrayBuffer();
    issue(driver::glBufferSubData, target, offset, size, data);
  }
};

template <>
struct Gl<&driver::glVertexAttribPointer> {
  static void DRAVIK_GLAPIENTRY call(GLuint index, GLint size, GLenum type, GLboolean normalized,
                                     GLsizei stride, const void* pointer) {
    ++gCounts.asked;
    const GLuint buffer = gShadow.arrayBufferWanted;
    if (index >= kAttributes || buffer == kUnknown) {
      flushArrayBuffer();
      issue(driver::glVertexAttribPointer, index, size, type, normalized, stride, pointer);
      if (index < kAttributes) gShadow.pointers[index].buffer = kUnknown;
      return;
    }
    AttributePointer& p = gShadow.pointers[index];
    if (p.buffer == buffer && p.size == size && p.type == type && p.normalized == normalized &&
        p.stride == stride && p.pointer == pointer) {
      return;
    }
    flushArrayBuffer();
    issue(driver::glVertexAttribPointer, index, size, type, normalized, stride, pointer);
    p = AttributePointer{buffer, size, type, normalized, stride, pointer};
  }
};

template <auto Driver, Switch To>
struct AttributeSwitch {
  static void DRAVIK_GLAPIENTRY call(GLuint index) {
    ++gCounts.asked;
    if (index < kAttributes) {
      wantAttribute(index, To);
    } else {
      issue(*Driver, index);
    }
  }
};

template <>
struct Gl<&driver::glEnableVertexAttribArray>
    : AttributeSwitch<&driver::glEnableVertexAttribArray, Switch::On> {};
template <>
struct Gl<&driver::glDisableVertexAttribArray>
    : AttributeSwitch<&driver::glDisableVertexAttribArray, Switch::Off> {};

template <>
struct Gl<&driver::glDrawElements> {
  static void DRAVIK_GLAPIENTRY call(GLenum mode, GLsizei count, GLenum type,
                                     const GLvoid* indices) {
    ++gCounts.asked;
    syncAttributes();
    issue(driver::glDrawElements, mode, count, type, indices);
  }
};

template <>
struct Gl<&driver::glActiveTexture> {
  static void DRAVIK_GLAPIENTRY call(GLenum unit) {
    ++gCounts.asked;
    if (unit != gShadow.activeUnit) {
      issue(driver::glActiveTexture, unit);
      // A unit past those followed (or past the driver's) is not followed.
      gShadow.activeUnit = unit - GL_TEXTURE0 < kUnits ? unit : kUnknown;
    }
  }
};

template <>
struct Gl<&driver::glBindTexture> {
  static void DRAVIK_GLAPIENTRY call(GLenum target, GLuint texture) {
    ++gCounts.asked;
    const GLuint unit = gShadow.activeUnit - GL_TEXTURE0;
    if (target != GL_TEXTURE_2D) {
      issue(driver::glBindTexture, target, texture);
    } else if (gShadow.activeUnit == kUnknown || unit >= kUnits) {
      issue(driver::glBindTexture, target, texture);
      if (gShadow.activeUnit == kUnknown) forgetUnits();
    } else if (gShadow.unitTexture[unit] != texture) {
      issue(driver::glBindTexture, target, texture);
      gShadow.unitTexture[unit] = texture;
    }
  }
};

template <>
struct Gl<&driver::glCreateProgram> {
  static GLuint DRAVIK_GLAPIENTRY call() {
    ++gCounts.asked;
    const GLuint program = issue(driver::glCreateProgram);
    if (ProgramRecord* stale = findProgram(program)) {
      if (stale == gShadow.programRecord) forgetProgram();
      stale->id = 0;
    }
    return program;
  }
};

template <>
struct Gl<&driver::glLinkProgram> {
  static void DRAVIK_GLAPIENTRY call(GLuint program) {
    ++gCounts.asked;
    issue(driver::glLinkProgram, program);
    // Linking resets the uniforms and may move every location. A program
    // that failed to link is not made current by glUseProgram, so only a
    // linked one is followed.
    ProgramRecord* record = recordProgram(program);
    if (record == nullptr) {
      if (gShadow.program == program) forgetProgram();
      return;
    }
    record->forgetLink();
    GLint status = 0;
    if (driver::glGetProgramiv != nullptr) {
      issue(driver::glGetProgramiv, program, GL_LINK_STATUS, &status);
    }
    record->linked = status == GL_TRUE;
    if (gShadow.program == program) gShadow.programRecord = record->linked ? record : nullptr;
  }
};

template <>
struct Gl<&driver::glUseProgram> {
  static void DRAVIK_GLAPIENTRY call(GLuint program) {
    ++gCounts.asked;
    if (program == gShadow.program) return;
    issue(driver::glUseProgram, program);
    ProgramRecord* record = findProgram(program);
    if (program == 0 || (record != nullptr && record->linked)) {
      gShadow.program = program;
      gShadow.programRecord = record;
    } else {
      forgetProgram();
    }
  }
};

template <auto Driver, bool Attribute>
struct LocationLookup {
  static GLint DRAVIK_GLAPIENTRY call(GLuint program, const GLchar* name) {
    ++gCounts.asked;
    return cachedLocation(program, name, Attribute,
                          [](GLuint p, const GLchar* n) { return issue(*Driver, p, n); });
  }
};

template <>
struct Gl<&driver::glGetUniformLocation> : LocationLookup<&driver::glGetUniformLocation, false> {};
template <>
struct Gl<&driver::glGetAttribLocation> : LocationLookup<&driver::glGetAttribLocation, true> {};

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

template <>
struct Gl<&driver::glUniform1i> {
  static void DRAVIK_GLAPIENTRY call(GLint location, GLint v0) {
    setUniform<&driver::glUniform1i, UniformKind::Int1>(location, v0);
  }
};

template <>
struct Gl<&driver::glUniform1f> {
  static void DRAVIK_GLAPIENTRY call(GLint location, GLfloat v0) {
    setUniform<&driver::glUniform1f, UniformKind::Float1>(location, v0);
  }
};

template <>
struct Gl<&driver::glUniform2f> {
  static void DRAVIK_GLAPIENTRY call(GLint location, GLfloat v0, GLfloat v1) {
    setUniform<&driver::glUniform2f, UniformKind::Float2>(location, v0, v1);
  }
};

template <>
struct Gl<&driver::glUniform3f> {
  static void DRAVIK_GLAPIENTRY call(GLint location, GLfloat v0, GLfloat v1, GLfloat v2) {
    setUniform<&driver::glUniform3f, UniformKind::Float3>(location, v0, v1, v2);
  }
};

template <>
struct Gl<&driver::glUniform4f> {
  static void DRAVIK_GLAPIENTRY call(GLint location, GLfloat v0, GLfloat v1, GLfloat v2,
                                     GLfloat v3) {
    setUniform<&driver::glUniform4f, UniformKind::Float4>(location, v0, v1, v2, v3);
  }
};

template <>
struct Gl<&driver::glUniformMatrix4fv> {
  static void DRAVIK_GLAPIENTRY call(GLint location, GLsizei count, GLboolean transpose,
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
};

}  // namespace

#define DRAVIK_DEFINE_LINKED_ENTRY(ret, name, params, called) \
  name##Fn name = &Gl<&driver::name>::call;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DEFINE_LINKED_ENTRY)
#undef DRAVIK_DEFINE_LINKED_ENTRY

#define DRAVIK_DEFINE_FETCHED_ENTRY(ret, name, params, called) name##Fn name = nullptr;
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DEFINE_FETCHED_ENTRY)
#undef DRAVIK_DEFINE_FETCHED_ENTRY

namespace {

// Programs made and linked are followed with the shadow off too, so that
// what it knows of them stays true when it is on again.
template <auto Driver>
constexpr bool kFollowsPrograms = false;
template <>
constexpr bool kFollowsPrograms<&driver::glCreateProgram> = true;
template <>
constexpr bool kFollowsPrograms<&driver::glLinkProgram> = true;

template <auto Driver, class Fn>
void install(Fn& entry) {
  if (*Driver == nullptr) {
    entry = nullptr;
  } else if (gShadowOn || kFollowsPrograms<Driver>) {
    entry = &Gl<Driver>::call;
  } else {
    entry = &Plain<Driver>::call;
  }
}

}  // namespace

void installTable() {
#define DRAVIK_INSTALL_ENTRY(ret, name, params, called) install<&driver::name>(name);
  DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_INSTALL_ENTRY)
  DRAVIK_GL_ENTRY_POINTS(DRAVIK_INSTALL_ENTRY)
#undef DRAVIK_INSTALL_ENTRY
}

CallCounts callCounts() { return gCounts; }
void resetCallCounts() { gCounts = CallCounts{}; }

void setStateShadow(bool on) {
  // What was asked for reaches the driver now; from here the game's calls
  // say what it wants.
  syncDriverState();
  gShadow.arrayBufferWanted = kUnknown;
  for (Switch& wanted : gShadow.attributeWanted) wanted = Switch::Unknown;
  gShadowOn = on;
  installTable();
  forgetDriverState();
}

void syncDriverState() {
  if (driver::glBindBuffer != nullptr) flushArrayBuffer();
  if (driver::glEnableVertexAttribArray != nullptr &&
      driver::glDisableVertexAttribArray != nullptr) {
    syncAttributes();
  }
}

void forgetDriverState() {
  // What the game asked for reaches the driver first; from here the driver's
  // state, whatever other code or a new context made of it, is what the
  // game's next calls build on.
  if (contextAvailable()) syncDriverState();
  gShadow.arrayBufferWanted = kUnknown;
  for (Switch& wanted : gShadow.attributeWanted) wanted = Switch::Unknown;
  gShadow.arrayBufferIssued = kUnknown;
  gShadow.elementBuffer = kUnknown;
  gShadow.attributesToSync = 0;
  for (GLuint i = 0; i < kAttributes; ++i) {
    gShadow.attributeIssued[i] = Switch::Unknown;
    gShadow.pointers[i].buffer = kUnknown;
  }
  // Asked once here, so that no bind in the middle of a frame has to.
  gShadow.activeUnit = kUnknown;
  if (contextAvailable()) {
    GLint active = 0;
    issue(driver::glGetIntegerv, GL_ACTIVE_TEXTURE, &active);
    if (static_cast<GLuint>(active) - GL_TEXTURE0 < kUnits) gShadow.activeUnit = active;
  }
  forgetUnits();
  forgetProgram();
  for (ProgramRecord& record : gShadow.programs) record.uniformCount = 0;
}

void forgetPrograms() {
  forgetDriverState();
  for (ProgramRecord& record : gShadow.programs) record = ProgramRecord{};
}

}  // namespace glentry
