// The driver's OpenGL 1.1 functions, as the system library links them.
#define DRAVIK_GL_NO_GLOBAL_NAMES
#include "gl/GlApi.h"

extern "C" {
#define DRAVIK_DECLARE_LINKED(ret, name, params, called, shadow) ret DRAVIK_GLAPIENTRY name params;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DECLARE_LINKED)
#undef DRAVIK_DECLARE_LINKED
}

namespace glentry::driver {
#define DRAVIK_DEFINE_LINKED(ret, name, params, called, shadow) name##Fn name = &::name;
DRAVIK_GL_LINKED_ENTRY_POINTS(DRAVIK_DEFINE_LINKED)
#undef DRAVIK_DEFINE_LINKED
}  // namespace glentry::driver
