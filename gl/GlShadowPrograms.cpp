// Programs made, linked and used, and the locations looked up in them.
// Programs are never deleted, so a program's name comes again only in a new
// context (forgetPrograms). Each record keeps its looked-up locations and its
// uniform values until the program is linked again.
#include "gl/GlShadowPrograms.h"

#include <cstring>

namespace glentry::shadow {

namespace {

constexpr int kPrograms = 8;

struct Programs {
  GLuint current = kUnknown;
  ProgramRecord* currentRecord = nullptr;  // the current program's, if any
  ProgramRecord records[kPrograms];
  unsigned nextEviction = 0;
};

Programs gPrograms;

ProgramRecord* findProgram(GLuint id) {
  if (id == 0) return nullptr;
  for (ProgramRecord& record : gPrograms.records) {
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
  for (ProgramRecord& record : gPrograms.records) {
    if (record.id == 0) {
      fresh = &record;
      break;
    }
  }
  for (int tries = 0; fresh == nullptr && tries < kPrograms; ++tries) {
    ProgramRecord& next = gPrograms.records[gPrograms.nextEviction++ % kPrograms];
    if (&next != gPrograms.currentRecord) fresh = &next;
  }
  if (fresh == nullptr) return nullptr;
  *fresh = ProgramRecord{};
  fresh->id = id;
  return fresh;
}

template <auto Driver, bool Attribute>
GLint location(GLuint program, const GLchar* name) {
  ++gCounts.asked;
  ProgramRecord* record = findProgram(program);
  const std::size_t length = name != nullptr ? std::strlen(name) : kNameLength;
  if (record == nullptr || !record->linked || length >= kNameLength) {
    return issue(*Driver, program, name);
  }
  for (int i = 0; i < record->nameCount; ++i) {
    const NamedLocation& known = record->names[i];
    if (known.attribute == Attribute && std::strcmp(known.name, name) == 0) return known.location;
  }
  const GLint found = issue(*Driver, program, name);
  if (record->nameCount < kNamesPerProgram) {
    NamedLocation& fresh = record->names[record->nameCount++];
    fresh.attribute = Attribute;
    fresh.location = found;
    std::memcpy(fresh.name, name, length + 1);
  }
  return found;
}

}  // namespace

ProgramRecord* currentProgramRecord() { return gPrograms.currentRecord; }
bool currentProgramKnown() { return gPrograms.current != kUnknown; }

void forgetCurrentProgram() {
  gPrograms.current = kUnknown;
  gPrograms.currentRecord = nullptr;
}

void forgetProgramRecords() { gPrograms = Programs{}; }

void forgetUniformValues() {
  for (ProgramRecord& record : gPrograms.records) record.uniformCount = 0;
}

GLuint DRAVIK_GLAPIENTRY glCreateProgram() {
  ++gCounts.asked;
  const GLuint program = issue(driver::glCreateProgram);
  // A record under this name was left by a program other code deleted.
  if (ProgramRecord* stale = findProgram(program)) {
    if (stale == gPrograms.currentRecord) forgetCurrentProgram();
    stale->id = 0;
  }
  return program;
}

void DRAVIK_GLAPIENTRY glLinkProgram(GLuint program) {
  ++gCounts.asked;
  issue(driver::glLinkProgram, program);
  // Linking resets the uniforms and may move every location. A program
  // that failed to link is not made current by glUseProgram, so only a
  // linked one is followed.
  ProgramRecord* record = recordProgram(program);
  if (record == nullptr) {
    if (gPrograms.current == program) forgetCurrentProgram();
    return;
  }
  *record = ProgramRecord{};
  record->id = program;
  GLint status = 0;
  if (driver::glGetProgramiv != nullptr) {
    issue(driver::glGetProgramiv, program, GL_LINK_STATUS, &status);
  }
  record->linked = status == GL_TRUE;
  if (gPrograms.current == program) gPrograms.currentRecord = record->linked ? record : nullptr;
}

void DRAVIK_GLAPIENTRY glUseProgram(GLuint program) {
  ++gCounts.asked;
  if (program == gPrograms.current) return;
  issue(driver::glUseProgram, program);
  ProgramRecord* record = findProgram(program);
  if (program == 0 || (record != nullptr && record->linked)) {
    gPrograms.current = program;
    gPrograms.currentRecord = record;
  } else {
    forgetCurrentProgram();
  }
}

GLint DRAVIK_GLAPIENTRY glGetUniformLocation(GLuint program, const GLchar* name) {
  return location<&driver::glGetUniformLocation, false>(program, name);
}

GLint DRAVIK_GLAPIENTRY glGetAttribLocation(GLuint program, const GLchar* name) {
  return location<&driver::glGetAttribLocation, true>(program, name);
}

}  // namespace glentry::shadow
