#include <algorithm>

#include "gl/GlApi.h"
#include "mesh/Mesh.h"
#include "render/ShaderProgram.h"

namespace dravik {

namespace {

void fill(GLenum target, GLuint buffer, std::size_t bytes, const void* data, GLenum usage) {
  glBindBuffer(target, buffer);
  glBufferData(target, static_cast<GLsizeiptr>(bytes), data, usage);
}

void replace(GLuint buffer, uint32_t floats, std::size_t available, const float* data) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  const std::size_t count = std::min<std::size_t>(floats, available);
  glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(float)), data);
}

void enable(GLint location) {
  if (location >= 0) glEnableVertexAttribArray(static_cast<GLuint>(location));
}

void disable(GLint location) {
  if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
}

void attribute(GLint location, GLuint buffer, GLint components) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  if (location >= 0) {
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0,
                          nullptr);
  }
}

}  // namespace

void Mesh::createBuffers() {
  if (buffersCreated_) deleteBuffers();
  glGenBuffers(4, staticBuffers_);
  buffersCreated_ = true;
  uploadBuffers();
  if (animation_) {
    glGenBuffers(3, animatedBuffers_);
    fill(GL_ARRAY_BUFFER, animatedBuffers_[0], positionCount_ * sizeof(float), positions_.data(),
         GL_DYNAMIC_DRAW);
    fill(GL_ARRAY_BUFFER, animatedBuffers_[1], colourCount_ * sizeof(float), colours_.data(),
         GL_DYNAMIC_DRAW);
    fill(GL_ARRAY_BUFFER, animatedBuffers_[2], uvCount_ * sizeof(float), uvs_.data(),
         GL_DYNAMIC_DRAW);
  }
}

void Mesh::uploadBuffers() {
  if (!buffersCreated_) return;
  fill(GL_ARRAY_BUFFER, staticBuffers_[0], positionCount_ * sizeof(float), positions_.data(),
       GL_STATIC_DRAW);
  fill(GL_ARRAY_BUFFER, staticBuffers_[1], colourCount_ * sizeof(float), colours_.data(),
       GL_STATIC_DRAW);
  fill(GL_ELEMENT_ARRAY_BUFFER, staticBuffers_[2], indexCount_ * sizeof(uint16_t), indices_.data(),
       GL_STATIC_DRAW);
  fill(GL_ARRAY_BUFFER, staticBuffers_[3], uvCount_ * sizeof(float), uvs_.data(), GL_STATIC_DRAW);
}

void Mesh::deleteBuffers() {
  if (!buffersCreated_) return;
  if (glentry::contextAvailable()) {
    glDeleteBuffers(4, staticBuffers_);
    if (hasAnimatedBuffers()) glDeleteBuffers(3, animatedBuffers_);
  }
  std::fill(std::begin(staticBuffers_), std::end(staticBuffers_), 0u);
  std::fill(std::begin(animatedBuffers_), std::end(animatedBuffers_), 0u);
  buffersCreated_ = false;
}

void Mesh::draw(const Mat4& matrix) const {
  drawWith(matrix, true, staticBuffers_[0], staticBuffers_[1], staticBuffers_[3]);
}

void Mesh::drawShared(const Mat4& matrix) const {
  drawWith(matrix, false, staticBuffers_[0], staticBuffers_[1], staticBuffers_[3]);
}

void Mesh::drawAnimated(const Mat4& matrix, uint32_t animationIndex, float time) {
  if (!animation_ || !hasAnimatedBuffers()) {
    draw(matrix);
    return;
  }
  animation_->setTime(animationIndex, time);
  const std::size_t vertices = animation_->verticesPerFrame();
  replace(animatedBuffers_[0], positionCount_, vertices * 3, animation_->currentPositions());
  replace(animatedBuffers_[1], colourCount_, vertices * 3, animation_->currentColours());
  replace(animatedBuffers_[2], uvCount_, vertices * 2, animation_->currentUvs());
  drawWith(matrix, true, animatedBuffers_[0], animatedBuffers_[1], animatedBuffers_[2]);
}

void Mesh::drawWith(const Mat4& matrix, bool setSampler, uint32_t positionBuffer,
                    uint32_t colourBuffer, uint32_t uvBuffer) const {
  // Without an index buffer GL would read the indices from client memory.
  if (!buffersCreated_) return;
  const ShaderLocations& at = shaderLocations();
  glUniformMatrix4fv(at.finalMatrix, 1, GL_FALSE, matrix.m);
  if (setSampler) glUniform1i(at.texture0, 0);
  enable(at.inVertex);
  enable(at.inNormal);
  enable(at.inTexCoord);
  attribute(at.inVertex, positionBuffer, 3);
  attribute(at.inNormal, colourBuffer, 3);
  attribute(at.inTexCoord, uvBuffer, 2);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, staticBuffers_[2]);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount_), GL_UNSIGNED_SHORT, nullptr);
  disable(at.inTexCoord);
  disable(at.inNormal);
  disable(at.inVertex);
}

}  // namespace dravik
