#include "render/RenderState.h"

#include "gl/GlApi.h"

namespace dravik {

void RenderState::setDepthTest(bool on) const {
  if (on) {
    glEnable(GL_DEPTH_TEST);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
}

void RenderState::clear() const { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void RenderState::setDepthWrite(bool on) const { glDepthMask(on ? GL_TRUE : GL_FALSE); }

void RenderState::setViewport(int x, int y, int width, int height) const {
  glViewport(x, y, width, height);
}

}  // namespace dravik
