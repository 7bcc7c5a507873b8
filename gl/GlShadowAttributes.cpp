// Attribute pointers, attribute arrays and draws. Arrays switched on or off
// take effect at the next draw, so the switch-off at the end of one draw and
// the switch-on of the next cancel; a pointer is passed on when it differs
// from the one the driver has, buffer included.
#include "gl/GlShadow.h"

namespace glentry::shadow {

namespace {

constexpr GLuint kAttributes = 16;

// An attribute pointer as the driver has it; buffer kUnknown where unknown.
struct AttributePointer {
  GLuint buffer = kUnknown;
  GLint size = 0;
  GLenum type = 0;
  GLboolean normalized = GL_FALSE;
  GLsizei stride = 0;
  const void* pointer = nullptr;
};

// An attribute array as asked for and as the driver has it.
enum class Switch : uint8_t { Unknown, Off, On };

struct Attributes {
  Switch wanted[kAttributes] = {};  // Unknown: not asked
  Switch issued[kAttributes] = {};
  uint32_t toSync = 0;  // a bit for each index where the two differ
  AttributePointer pointers[kAttributes];
};

Attributes gAttributes;

void want(GLuint index, Switch on) {
  gAttributes.wanted[index] = on;
  const uint32_t bit = 1u << index;
  if (gAttributes.issued[index] == on) {
    gAttributes.toSync &= ~bit;
  } else {
    gAttributes.toSync |= bit;
  }
}

template <auto Driver, Switch To>
void switchArray(GLuint index) {
  ++gCounts.asked;
  if (index < kAttributes) {
    want(index, To);
  } else {
    issue(*Driver, index);
  }
}

}  // namespace

void syncAttributes() {
  uint32_t pending = gAttributes.toSync;
  for (GLuint index = 0; pending != 0; ++index, pending >>= 1) {
    if ((pending & 1u) == 0) continue;
    const Switch wanted = gAttributes.wanted[index];
    if (wanted == Switch::On) {
      issue(driver::glEnableVertexAttribArray, index);
    } else {
      issue(driver::glDisableVertexAttribArray, index);
    }
    gAttributes.issued[index] = wanted;
  }
  gAttributes.toSync = 0;
}

void forgetAttributes() { gAttributes = Attributes{}; }

void forgetPointersTo(GLuint buffer) {
  for (AttributePointer& p : gAttributes.pointers) {
    if (p.buffer == buffer) p.buffer = kUnknown;
  }
}

void DRAVIK_GLAPIENTRY glVertexAttribPointer(GLuint index, GLint size, GLenum type,
                                             GLboolean normalized, GLsizei stride,
                                             const void* pointer) {
  ++gCounts.asked;
  const GLuint buffer = wantedArrayBuffer();
  if (index >= kAttributes || buffer == kUnknown) {
    flushArrayBuffer();
    issue(driver::glVertexAttribPointer, index, size, type, normalized, stride, pointer);
    if (index < kAttributes) gAttributes.pointers[index].buffer = kUnknown;
    return;
  }
  AttributePointer& p = gAttributes.pointers[index];
  if (p.buffer == buffer && p.size == size && p.type == type && p.normalized == normalized &&
      p.stride == stride && p.pointer == pointer) {
    return;
  }
  flushArrayBuffer();
  issue(driver::glVertexAttribPointer, index, size, type, normalized, stride, pointer);
  p = AttributePointer{buffer, size, type, normalized, stride, pointer};
}

void DRAVIK_GLAPIENTRY glEnableVertexAttribArray(GLuint index) {
  switchArray<&driver::glEnableVertexAttribArray, Switch::On>(index);
}

void DRAVIK_GLAPIENTRY glDisableVertexAttribArray(GLuint index) {
  switchArray<&driver::glDisableVertexAttribArray, Switch::Off>(index);
}

void DRAVIK_GLAPIENTRY glDrawElements(GLenum mode, GLsizei count, GLenum type,
                                      const GLvoid* indices) {
  ++gCounts.asked;
  syncAttributes();
  issue(driver::glDrawElements, mode, count, type, indices);
}

}  // namespace glentry::shadow
