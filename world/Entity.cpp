#include "world/Entity.h"

#include "gl/GlApi.h"
#include "render/ShaderProgram.h"

namespace dravik {

void Entity::place(float x, float y, float z, Mesh* meshToDraw, Texture* textureToBind,
                   Camera* drawCamera) {
  position = Vec3(x, y, z);
  mesh = meshToDraw;
  texture = textureToBind;
  camera = drawCamera;
  angle = 0.0f;
  size = Vec3();
  pivot = Vec2();
}

void Entity::buildModelMatrix() {
  if (camera == nullptr) return;
  loadMatrix(modelMatrix, camera->view());
  translate(modelMatrix, position.x, position.y, position.z);
  rotateZ(modelMatrix, static_cast<float>(angle * kDegreesToRadians));
  scale(modelMatrix, size.x, size.y, size.z);
  translate(modelMatrix, -pivot.x, -pivot.y, 0.0f);
  const int32_t mvMat = shaderLocations().mvMat;
  if (mvMat == -1) {
    setProduct(modelMatrix, camera->projection(), modelMatrix);
  } else {
    glUniformMatrix4fv(mvMat, 1, GL_FALSE, modelMatrix.m);
  }
}

void Entity::draw() {
  if (mesh == nullptr || camera == nullptr) return;
  buildModelMatrix();
  if (texture != nullptr) texture->bind();
  // drawAnimated needs the mesh's animation; without one, draw the static pose.
  if (animated && mesh->animation() != nullptr) {
    mesh->drawAnimated(modelMatrix, animationIndex, animationTime);
  } else {
    mesh->draw(modelMatrix);
  }
}

void Entity::drawShared() {
  if (mesh == nullptr || camera == nullptr) return;
  buildModelMatrix();
  mesh->drawShared(modelMatrix);
}

}  // namespace dravik
