// The game's view of OpenGL: the GL types and constants it uses
// (GlTypes.h), and the table of process-wide pointers it calls GL through
// (GlEntryPoints.h): the OpenGL 1.1 functions linked from the system library
// and the newer entry points fetched at run time.
//
// The system <GL/gl.h> is never included: Mesa's header already declares
// some of these entry points (glActiveTexture) as functions, which would
// clash with the pointers of the same names. The pointers live in the
// namespace glentry so that their symbols never collide with the functions
// libGL exports, and are brought into the global namespace by name.
//
// One context on one thread. Code that calls GL other than through the
// table calls glentry::syncDriverState() before and
// glentry::forgetDriverState() after.
#pragma once

#include "gl/GlEntryPoints.h"
#include "gl/GlTypes.h"

// Every layer calls GL through the pointers in glentry; each leads to the
// state shadow (GlShadow.h), which passes on to the driver's own
// entry points in glentry::driver only the calls that change something.
namespace glentry {
#define DRAVIK_DECLARE_GL_POINTER(ret, name, params, called, shadow) \
  using name##Fn = ret(DRAVIK_GLAPIENTRY*) params;                   \
  extern name##Fn name;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DECLARE_GL_POINTER)
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DECLARE_GL_POINTER)
#undef DRAVIK_DECLARE_GL_POINTER

namespace driver {
#define DRAVIK_DECLARE_DRIVER_POINTER(ret, name, params, called, shadow) extern name##Fn name;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DECLARE_DRIVER_POINTER)
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DECLARE_DRIVER_POINTER)
#undef DRAVIK_DECLARE_DRIVER_POINTER
}  // namespace driver
}  // namespace glentry

// The file that takes the linked functions' addresses declares them under
// the same names, so it does without these.
#ifndef DRAVIK_GL_NO_GLOBAL_NAMES
#define DRAVIK_USE_GL_POINTER(ret, name, params, called, shadow) using glentry::name;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_USE_GL_POINTER)
DRAVIK_GL_ENTRY_POINTS(DRAVIK_USE_GL_POINTER)
#undef DRAVIK_USE_GL_POINTER
#endif

namespace glentry {

// The number of entry points fetched at run time, counted in the table.
#define DRAVIK_COUNT_GL_ENTRY(ret, name, params, called, shadow) +1
constexpr int kEntryPointCount = 0 DRAVIK_GL_ENTRY_POINTS(DRAVIK_COUNT_GL_ENTRY);
#undef DRAVIK_COUNT_GL_ENTRY

// Looks up one entry point by name; the platform backend supplies it
// (wglGetProcAddress, SDL_GL_GetProcAddress).
using ProcLookup = void* (*)(const char* name);

// Fetches every run-time entry point, in table order, through lookup, and
// forgets the driver's state. An entry point the lookup lacks stays null.
void loadAll(ProcLookup lookup);

// The first entry point the game calls that is still null, or nullptr when
// every one the game needs is present.
const char* firstMissingCalledEntryPoint();

// Names of the kEntryPointCount entry points in fetch order (for tests and
// diagnostics).
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
// program in use, uniform values): with a context, what the shadow holds
// back is sent first; then the next call of each kind reaches the driver
// and builds on whatever the driver holds. The active texture unit is asked
// here, once. Programs keep their looked-up locations until linked again.
void forgetDriverState();

}  // namespace glentry
