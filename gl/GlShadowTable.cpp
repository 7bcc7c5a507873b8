// The pass-through: every entry with the shadow off, and with it on the
// entries that change nothing it keeps; and how each entry of the table is
// set, by what the table says of it.
#include "gl/GlShadow.h"

namespace glentry {

namespace shadow {
CallCounts gCounts;
}  // namespace shadow

namespace {

using shadow::gCounts;
using shadow::issue;

bool gShadowOn = true;

void nothingFirst() {}

// A call that counts, does First and passes on.
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

// The count of a vector or matrix setter (its first argument after the
// location); 1 for the others.
template <class... A>
GLsizei countOf(A...) {
  return 1;
}
inline GLsizei countOf(GLsizei count, const GLfloat*) { return count; }
inline GLsizei countOf(GLsizei count, GLboolean, const GLfloat*) { return count; }

// A uniform setter the shadow does not compare.
template <auto Driver>
struct Unkept;

template <class... A, void(DRAVIK_GLAPIENTRY** Driver)(GLint, A...)>
struct Unkept<Driver> {
  static void DRAVIK_GLAPIENTRY call(GLint location, A... args) {
    ++gCounts.asked;
    if (location == -1) return;  // GL ignores it
    shadow::forgetUniform(location, countOf(args...));
    issue(*Driver, location, args...);
  }
};

// What each entry calls with the shadow on, by what the table says of it.
#define DRAVIK_SHADOW_ON_passes(name) &Plain<&driver::name>::call
#define DRAVIK_SHADOW_ON_reads(name) &Plain<&driver::name, syncDriverState>::call
#define DRAVIK_SHADOW_ON_unkept(name) &Unkept<&driver::name>::call
#define DRAVIK_SHADOW_ON_follows(name) &shadow::name
#define DRAVIK_SHADOW_ON_followsAlways(name) &shadow::name
// Programs made and linked are followed with the shadow off too.
#define DRAVIK_SHADOW_OFF_passes(name) &Plain<&driver::name>::call
#define DRAVIK_SHADOW_OFF_reads(name) &Plain<&driver::name>::call
#define DRAVIK_SHADOW_OFF_unkept(name) &Plain<&driver::name>::call
#define DRAVIK_SHADOW_OFF_follows(name) &Plain<&driver::name>::call
#define DRAVIK_SHADOW_OFF_followsAlways(name) &shadow::name

// A handler of another type than its entry's does not compile here.
template <class Fn>
void install(Fn& entry, Fn driver, Fn on, Fn off) {
  entry = driver == nullptr ? nullptr : gShadowOn ? on : off;
}

}  // namespace

#define DRAVIK_DEFINE_LINKED_ENTRY(ret, name, params, called, shadow) \
  name##Fn name = DRAVIK_SHADOW_ON_##shadow(name);
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DEFINE_LINKED_ENTRY)
#undef DRAVIK_DEFINE_LINKED_ENTRY

#define DRAVIK_DEFINE_FETCHED_ENTRY(ret, name, params, called, shadow) name##Fn name = nullptr;
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DEFINE_FETCHED_ENTRY)
#undef DRAVIK_DEFINE_FETCHED_ENTRY

void installTable() {
#define DRAVIK_INSTALL_ENTRY(ret, name, params, called, shadow)          \
  install<name##Fn>(name, driver::name, DRAVIK_SHADOW_ON_##shadow(name), \
                    DRAVIK_SHADOW_OFF_##shadow(name));
  DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_INSTALL_ENTRY)
  DRAVIK_GL_ENTRY_POINTS(DRAVIK_INSTALL_ENTRY)
#undef DRAVIK_INSTALL_ENTRY
}

CallCounts callCounts() { return gCounts; }
void resetCallCounts() { gCounts = CallCounts{}; }

void setStateShadow(bool on) {
  gShadowOn = on;
  installTable();
  forgetDriverState();
}

void syncDriverState() {
  if (driver::glBindBuffer != nullptr) shadow::flushArrayBuffer();
  if (driver::glEnableVertexAttribArray != nullptr &&
      driver::glDisableVertexAttribArray != nullptr) {
    shadow::syncAttributes();
  }
}

void forgetDriverState() {
  // What the game asked for reaches the driver first; from here the
  // driver's state, whatever other code or a new context made of it, is
  // what the game's next calls build on.
  if (contextAvailable()) syncDriverState();
  shadow::forgetBindings();
  shadow::forgetAttributes();
  shadow::forgetCurrentProgram();
  shadow::forgetUniformValues();
}

void forgetPrograms() {
  forgetDriverState();
  shadow::forgetProgramRecords();
}

}  // namespace glentry
