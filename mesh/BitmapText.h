#pragma once

#include <cstdint>

#include "mesh/Mesh.h"
#include "render/Camera.h"
#include "render/Math.h"
#include "render/Texture.h"

namespace dravik {

// A string as one mesh of square quads, each showing a cell of the 16 x 16
// glyph atlas. Changing the text rewrites uvs in place and only appends
// quads for a string longer than any before.
class BitmapText {
 public:
  // Lays out the quads and makes the buffers.
  void create(const char* text, float x, float y, float z, uint32_t glyphSize, float r, float g,
              float b, Texture* font, Camera* camera);
  // create without the buffers: plain data, no GL.
  void compose(const char* text, float x, float y, float z, uint32_t glyphSize, float r, float g,
               float b, Texture* font, Camera* camera);
  // The buffers of the text as it stands; release deletes them (or, without
  // a context, forgets them).
  void createBuffers() { mesh_.createBuffers(); }
  void releaseBuffers() { mesh_.deleteBuffers(); }
  void setText(const char* text);
  void setColour(float r, float g, float b);
  void setAngle(float degrees) { angle_ = degrees; }
  void draw();

  uint32_t slotCount() const { return slotCount_; }
  uint32_t glyphSize() const { return glyphSize_; }
  float angle() const { return angle_; }
  const Mesh& mesh() const { return mesh_; }
  const Mat4& modelMatrix() const { return modelMatrix_; }

  // 16-bit indices address 65536 vertices, four per character.
  static constexpr uint32_t kMaxCharacters = Mesh::kMaxVertices / 4;

 private:
  void appendGlyph(uint32_t slot, char c);
  void updateGlyph(uint32_t slot, char c);

  Vec3 position_;
  Mat4 modelMatrix_;
  Mesh mesh_;
  Texture* font_ = nullptr;
  Vec3 colour_;
  Camera* camera_ = nullptr;
  float angle_ = 0.0f;
  uint32_t slotCount_ = 0;
  uint32_t glyphSize_ = 0;
};

}  // namespace dravik
