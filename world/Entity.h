#pragma once

#include <cstdint>

#include "mesh/Mesh.h"
#include "render/Camera.h"
#include "render/Math.h"
#include "render/Texture.h"
#include "world/Collider.h"

namespace dravik {

// Where a drawable thing stands and what it is drawn with. Never owns what
// it points to.
struct PlacedModel {
  Vec3 position;
  Mat4 modelMatrix;
  Mesh* mesh = nullptr;
  Texture* texture = nullptr;
  Camera* camera = nullptr;
  float angle = 0.0f;  // degrees about z
};

class Entity : public PlacedModel {
 public:
  // Sets position and pointers; resets angle, size and pivot to zero.
  void place(float x, float y, float z, Mesh* mesh, Texture* texture, Camera* camera);
  void setSize(float sx, float sy, float sz) { size = Vec3(sx, sy, sz); }
  void setPivot(float px, float py) { pivot = Vec2(px, py); }
  void setAngle(float degrees) { angle = degrees; }
  float getAngle() const { return angle; }
  Entity& setCollider(Collider* shape) {
    collider = shape;
    return *this;
  }

  // Builds the model matrix, binds the texture and draws the mesh.
  void draw();
  // Builds the model matrix and draws without binding or touching the
  // sampler, for batches that share one bound texture.
  void drawShared();

  // Steps 1-6 of the model matrix: view, translate, rotate, scale, pivot,
  // then projection (or "mvMat" upload when the program has one).
  void buildModelMatrix();

  Vec2 pivot;
  Vec3 size;
  Collider* collider = nullptr;
  bool animated = false;
  uint32_t animationIndex = 0;
  float animationTime = 0.0f;
};

}  // namespace dravik
