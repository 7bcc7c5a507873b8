// Inside gl/: the state shadow behind the table. The game sets every draw's
// full state (program, buffers, attribute arrays, texture, uniforms); on a
// phone or a Pi each call that reaches the driver costs CPU time whether it
// changes anything or not. The shadow remembers what the driver holds and
// passes a call on only when it changes something. By concern:
//   GlShadowTable.cpp       the pass-through, and the table's pointers set
//   GlShadowBindings.cpp    buffer bindings, texture units and textures
//   GlShadowAttributes.cpp  attribute pointers, arrays switched on and off, draws
//   GlShadowPrograms.cpp    programs made, linked, used; looked-up locations
//   GlShadowUniforms.cpp    uniform values
// Each entry point says in the table (GlEntryPoints.h) which of these
// handles it.
//
// Contract: one context, on one thread. Whatever is not known (after a
// context is made, restored or lost, or a call the shadow cannot follow)
// counts as different, so the next call reaches the driver. Code that calls
// GL other than through the table calls syncDriverState before and
// forgetDriverState after.
#pragma once

#include <cstdint>

#include "gl/GlApi.h"

namespace glentry {

// Points each entry of the table at its shadowing (or, with the shadow off,
// counting) call where the driver has the entry point, at null where not.
void installTable();

// The programs are gone with the context: what the shadow knew of them
// (linked, locations) is dropped, as well as the driver's state.
void forgetPrograms();

namespace shadow {

constexpr GLuint kUnknown = 0xFFFFFFFFu;

extern CallCounts gCounts;

template <class Fn, class... Args>
auto issue(Fn fn, Args... args) {
  ++gCounts.issued;
  return fn(args...);
}

// Bindings: the array buffer binding is only wanted until a call reads it.
void flushArrayBuffer();
GLuint wantedArrayBuffer();  // kUnknown: not asked since forgotten
void forgetBindings();

// Attributes: arrays switched on or off take effect at the next draw.
void syncAttributes();
void forgetAttributes();
void forgetPointersTo(GLuint buffer);

// Programs and uniforms.
void forgetCurrentProgram();
void forgetProgramRecords();
void forgetUniformValues();
// The kept value at location (and, for a count above 1, the rest of the
// array after it) in the current program is not known any more.
void forgetUniform(GLint location, GLsizei count);

// The handlers of the entries marked follows or followsAlways, defined by
// concern. One that is missing fails the link; one defined for an entry
// not so marked fails to compile (it names no declared function).
#define DRAVIK_SHADOW_HANDLER_passes(ret, name, params)
#define DRAVIK_SHADOW_HANDLER_reads(ret, name, params)
#define DRAVIK_SHADOW_HANDLER_unkept(ret, name, params)
#define DRAVIK_SHADOW_HANDLER_follows(ret, name, params) ret DRAVIK_GLAPIENTRY name params;
#define DRAVIK_SHADOW_HANDLER_followsAlways DRAVIK_SHADOW_HANDLER_follows
#define DRAVIK_DECLARE_SHADOW_HANDLER(ret, name, params, called, shadow) \
  DRAVIK_SHADOW_HANDLER_##shadow(ret, name, params)
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DECLARE_SHADOW_HANDLER)
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DECLARE_SHADOW_HANDLER)
#undef DRAVIK_DECLARE_SHADOW_HANDLER

}  // namespace shadow
}  // namespace glentry
