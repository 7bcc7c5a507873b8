// Buffer bindings, texture units and their textures. The element buffer,
// the active unit and each unit's 2D texture are compared and set at once;
// the array buffer binding is only wanted until a call reads it (an
// attribute pointer, a buffer upload, a query): a run of draws of one mesh
// binds three buffers a draw and needs none of them bound again.
#include "gl/GlShadow.h"

namespace glentry::shadow {

namespace {

constexpr GLuint kUnits = 8;  // the units followed; binds on others pass on

struct Bindings {
  GLuint arrayBufferWanted = kUnknown;  // kUnknown: not asked since forgotten
  GLuint arrayBufferIssued = kUnknown;
  GLuint elementBuffer = kUnknown;
  GLenum activeUnit = kUnknown;  // kUnknown also for a unit not followed
  GLuint unitTexture[kUnits];

  Bindings() {
    for (GLuint& texture : unitTexture) texture = kUnknown;
  }
};

Bindings gBindings;

void forgetUnits() {
  for (GLuint& texture : gBindings.unitTexture) texture = kUnknown;
}

bool followed(GLenum unit) { return unit - GL_TEXTURE0 < kUnits; }

// Deleting names: the driver first, then what the shadow held of each.
template <auto Driver, void (*Forget)(GLuint)>
void deleteNames(GLsizei n, const GLuint* names) {
  ++gCounts.asked;
  issue(*Driver, n, names);
  for (GLsizei i = 0; i < n; ++i) {
    if (names[i] != 0) Forget(names[i]);
  }
}

// A deleted buffer is unbound; attribute pointers keep the old buffer,
// which a new buffer of the same name is not.
void forgetBuffer(GLuint buffer) {
  if (gBindings.arrayBufferIssued == buffer) gBindings.arrayBufferIssued = 0;
  if (gBindings.arrayBufferWanted == buffer) gBindings.arrayBufferWanted = 0;
  if (gBindings.elementBuffer == buffer) gBindings.elementBuffer = 0;
  forgetPointersTo(buffer);
}

// GL unbinds a deleted texture from every unit.
void forgetTexture(GLuint texture) {
  for (GLuint& bound : gBindings.unitTexture) {
    if (bound == texture) bound = 0;
  }
}

}  // namespace

void flushArrayBuffer() {
  const GLuint wanted = gBindings.arrayBufferWanted;
  if (wanted != kUnknown && wanted != gBindings.arrayBufferIssued) {
    issue(driver::glBindBuffer, GL_ARRAY_BUFFER, wanted);
    gBindings.arrayBufferIssued = wanted;
  }
}

GLuint wantedArrayBuffer() { return gBindings.arrayBufferWanted; }

void forgetBindings() {
  gBindings = Bindings{};
  // Asked once here, so that no bind in the middle of a frame has to.
  if (contextAvailable()) {
    GLint active = 0;
    issue(driver::glGetIntegerv, GL_ACTIVE_TEXTURE, &active);
    if (followed(static_cast<GLenum>(active))) gBindings.activeUnit = static_cast<GLenum>(active);
  }
}

void DRAVIK_GLAPIENTRY glBindBuffer(GLenum target, GLuint buffer) {
  ++gCounts.asked;
  if (target == GL_ARRAY_BUFFER) {
    gBindings.arrayBufferWanted = buffer;
  } else if (target != GL_ELEMENT_ARRAY_BUFFER) {
    issue(driver::glBindBuffer, target, buffer);
  } else if (gBindings.elementBuffer != buffer) {
    issue(driver::glBindBuffer, target, buffer);
    gBindings.elementBuffer = buffer;
  }
}

void DRAVIK_GLAPIENTRY glDeleteBuffers(GLsizei n, const GLuint* buffers) {
  deleteNames<&driver::glDeleteBuffers, forgetBuffer>(n, buffers);
}

void DRAVIK_GLAPIENTRY glBufferData(GLenum target, GLsizeiptr size, const void* data,
                                    GLenum usage) {
  ++gCounts.asked;
  if (target == GL_ARRAY_BUFFER) flushArrayBuffer();
  issue(driver::glBufferData, target, size, data, usage);
}

void DRAVIK_GLAPIENTRY glBufferSubData(GLenum target, GLintptr offset, GLsizeiptr size,
                                       const void* data) {
  ++gCounts.asked;
  if (target == GL_ARRAY_BUFFER) flushArrayBuffer();
  issue(driver::glBufferSubData, target, offset, size, data);
}

void DRAVIK_GLAPIENTRY glActiveTexture(GLenum unit) {
  ++gCounts.asked;
  if (unit != gBindings.activeUnit) {
    issue(driver::glActiveTexture, unit);
    // A unit past those followed (or past the driver's) is not followed.
    gBindings.activeUnit = followed(unit) ? unit : kUnknown;
  }
}

void DRAVIK_GLAPIENTRY glBindTexture(GLenum target, GLuint texture) {
  ++gCounts.asked;
  if (target != GL_TEXTURE_2D) {
    issue(driver::glBindTexture, target, texture);
  } else if (gBindings.activeUnit == kUnknown) {
    // The bind may have gone to any unit.
    issue(driver::glBindTexture, target, texture);
    forgetUnits();
  } else if (GLuint& bound = gBindings.unitTexture[gBindings.activeUnit - GL_TEXTURE0];
             bound != texture) {
    issue(driver::glBindTexture, target, texture);
    bound = texture;
  }
}

void DRAVIK_GLAPIENTRY glDeleteTextures(GLsizei n, const GLuint* textures) {
  deleteNames<&driver::glDeleteTextures, forgetTexture>(n, textures);
}

}  // namespace glentry::shadow
