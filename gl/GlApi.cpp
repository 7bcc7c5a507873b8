#include "gl/GlApi.h"

#include "gl/GlShadow.h"

namespace glentry {

namespace driver {
#define DRAVIK_DEFINE_GL_POINTER(ret, name, params, called, shadow) name##Fn name = nullptr;
DRAVIK_GL_ENTRY_POINTS(DRAVIK_DEFINE_GL_POINTER)
#undef DRAVIK_DEFINE_GL_POINTER
}  // namespace driver

namespace {
#define DRAVIK_GL_NAME(ret, name, params, called, shadow) #name,
const char* const kNames[] = {DRAVIK_GL_ENTRY_POINTS(DRAVIK_GL_NAME)};
#undef DRAVIK_GL_NAME
}  // namespace

void loadAll(ProcLookup lookup) {
#define DRAVIK_LOAD_GL_POINTER(ret, name, params, called, shadow) \
  driver::name = reinterpret_cast<name##Fn>(lookup(#name));
  DRAVIK_GL_ENTRY_POINTS(DRAVIK_LOAD_GL_POINTER)
#undef DRAVIK_LOAD_GL_POINTER
  installTable();
  forgetDriverState();
}

const char* firstMissingCalledEntryPoint() {
#define DRAVIK_CHECK_GL_POINTER(ret, name, params, called, shadow) \
  if ((called) && name == nullptr) return #name;
  DRAVIK_GL_ENTRY_POINTS(DRAVIK_CHECK_GL_POINTER)
#undef DRAVIK_CHECK_GL_POINTER
  return nullptr;
}

const char* const* entryPointNames() { return kNames; }

namespace {
bool gContextAvailable = false;
}

bool contextAvailable() { return gContextAvailable; }
void setContextAvailable(bool available) {
  gContextAvailable = available;
  if (available) {
    forgetDriverState();
  } else {
    forgetPrograms();
  }
}

void resetAll() {
#define DRAVIK_RESET_GL_POINTER(ret, name, params, called, shadow) driver::name = nullptr;
  DRAVIK_GL_ENTRY_POINTS(DRAVIK_RESET_GL_POINTER)
#undef DRAVIK_RESET_GL_POINTER
  installTable();
}

}  // namespace glentry
