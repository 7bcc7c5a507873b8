#include <cmath>

#include "game/Game.h"
#include "gl/GlApi.h"

namespace dravik {

namespace {

constexpr double kCullDistanceSquared = 293.7796;  // about 17.14 squared
constexpr float kTiltDistanceSquared = 225.0f;     // 15 squared
constexpr float kTiltStart = 15.0f;
constexpr float kGrassRadiusSquared = 400.0f;

}  // namespace

void Game::drawInstance(Entity& entity, float x, float y, float z) {
  const float xs = x - groundOffset.x;
  const float ys = y - groundOffset.y;
  entity.position = Vec3(xs, ys, z);
  const float d2 = xs * xs + ys * ys;
  if (static_cast<double>(d2) < kCullDistanceSquared) {
    if (d2 > kTiltDistanceSquared) {
      // Near the rim the piece leans outward about the tangent of the circle
      // through it, more the farther out it stands.
      Mat4& matrix = entity.modelMatrix;
      loadMatrix(matrix, worldCamera.view());
      translate(matrix, xs, ys, z);
      const Vec3 axis = cross(Vec3(xs, ys, z), Vec3(xs, ys, -10.0f));
      const float length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
      if (length > 0.0f) {
        const float angle = std::sqrt(d2) - kTiltStart;
        rotateAxis(matrix, angle, axis.x / length, axis.y / length, axis.z / length);
      }
      scale(matrix, 1, 1, 1);
      translate(matrix, -entity.pivot.x, -entity.pivot.y, 0);
      setProduct(matrix, worldCamera.projection(), matrix);
      if (entity.mesh != nullptr) entity.mesh->drawShared(matrix);
    } else {
      entity.drawShared();
    }
  }
  entity.position = Vec3(0, 0, -1);
}

template <std::size_t N>
void Game::drawList(Entity& entity, const InstanceList<N>& list) {
  for (std::size_t i = 0; i < N; ++i) {
    drawInstance(entity, list[i].x, list[i].y, list[i].z);
  }
}

void Game::drawGrass() {
  for (int i = -40; i < 40; ++i) {
    for (int j = -40; j < 40; ++j) {
      const float savedX = groundTile.position.x;
      const float savedY = groundTile.position.y;
      const float xs = savedX - groundOffset.x + static_cast<float>(i);
      const float ys = savedY - groundOffset.y + static_cast<float>(j);
      groundTile.position.x = xs;
      groundTile.position.y = ys;
      if (xs * xs + ys * ys < kGrassRadiusSquared) {
        glUniform2f(posLocation, xs, ys);
        groundTile.draw();
      }
      groundTile.position.x = savedX;
      groundTile.position.y = savedY;
    }
  }
}

void Game::render() {
  renderState.clear();
  worldCamera.resetView();
  worldCamera.resetProjection();
  if (perspective) {
    worldCamera.setPerspective(40, 1.7777778f, 1, 1000);
  } else {
    worldCamera.setOrtho(-26, 26, -14.625f, 14.625f, 1, 1000);
  }
  // The target does not follow the pan, so panning also turns the view.
  worldCamera.setLookAt(cameraEye.x, cameraEye.y, 20, 0, 5.46237f, -5, 0, 10, 0);

  // Drawn with whatever program is current: the basic one from the previous
  // frame, or the conveyor one that init left on the first frame.
  background.draw();

  conveyorProgram.use();
  posLocation = glGetUniformLocation(conveyorProgram.programId(), "pos");
  const GLint projMat = glGetUniformLocation(conveyorProgram.programId(), "projMat");
  glUniformMatrix4fv(projMat, 1, GL_FALSE, worldCamera.projection().m);
  drawGrass();

  basicProgram.use();
  renderState.setDepthWrite(true);
  if (playing) {
    player.draw();
    bar.draw();
  }

  if (treeEntity.texture != nullptr) treeEntity.texture->bind();
  drawList(treeEntity, treePositions);
  if (wallEntity.texture != nullptr) wallEntity.texture->bind();
  drawList(wallEntity, wallPositions);
  // The wall texture is still bound.
  drawList(tallWallEntity, tallWallPositions);
  if (woodEntity.texture != nullptr) woodEntity.texture->bind();
  drawList(woodEntity, woodPositions);
  // The wood texture is still bound.
  drawList(floorEntity, floorPositions);

  renderState.setDepthTest(true);
}

}  // namespace dravik
