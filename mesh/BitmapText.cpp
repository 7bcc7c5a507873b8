#include "mesh/BitmapText.h"

#include "gl/GlApi.h"

namespace dravik {

namespace {

constexpr float kCell = 0.0625f;

struct GlyphCell {
  float left, right, bottom, top;
};

// Characters are signed bytes; those above 127 give negative cells, which
// the atlas's mirrored-repeat wrapping turns into mirrored glyphs.
GlyphCell cellOf(char c) {
  const int code = static_cast<signed char>(c);
  const int column = code % 16;
  const int row = code / 16;
  GlyphCell cell;
  cell.left = static_cast<float>(column) * kCell;
  cell.right = cell.left + kCell;
  cell.top = 1.0f - static_cast<float>(row) * kCell;
  cell.bottom = cell.top - kCell;
  return cell;
}

}  // namespace

void BitmapText::create(const char* text, float x, float y, float z, uint32_t glyphSize, float r,
                        float g, float b, Texture* font, Camera* camera) {
  compose(text, x, y, z, glyphSize, r, g, b, font, camera);
  mesh_.createBuffers();
}

void BitmapText::compose(const char* text, float x, float y, float z, uint32_t glyphSize, float r,
                         float g, float b, Texture* font, Camera* camera) {
  position_ = Vec3(x, y, z);
  glyphSize_ = glyphSize;
  colour_ = Vec3(r, g, b);
  font_ = font;
  camera_ = camera;
  angle_ = 0.0f;
  uint32_t length = 0;
  if (text != nullptr) {
    while (text[length] != '\0' && length < kMaxCharacters) {
      appendGlyph(length, text[length]);
      ++length;
    }
  }
  slotCount_ = length;
  mesh_.updateCounts();
}

void BitmapText::appendGlyph(uint32_t slot, char c) {
  const float left = static_cast<float>(slot * glyphSize_);
  const float right = static_cast<float>((slot + 1) * glyphSize_);
  const float size = static_cast<float>(glyphSize_);
  mesh_.addVertex(left, 0.0f, 0.0f);
  mesh_.addVertex(left, size, 0.0f);
  mesh_.addVertex(right, 0.0f, 0.0f);
  mesh_.addVertex(right, size, 0.0f);
  const int base = static_cast<int>(slot * 4);
  mesh_.addTriangle(base, base + 2, base + 1);
  mesh_.addTriangle(base + 1, base + 2, base + 3);
  const GlyphCell cell = cellOf(c);
  mesh_.addUv(cell.left, cell.bottom);
  mesh_.addUv(cell.left, cell.top);
  mesh_.addUv(cell.right, cell.bottom);
  mesh_.addUv(cell.right, cell.top);
  for (int i = 0; i < 4; ++i) mesh_.addColour(colour_.x, colour_.y, colour_.z);
}

void BitmapText::updateGlyph(uint32_t slot, char c) {
  const GlyphCell cell = cellOf(c);
  const uint32_t base = slot * 4;
  mesh_.setUv(base, cell.left, cell.bottom);
  mesh_.setUv(base + 1, cell.left, cell.top);
  mesh_.setUv(base + 2, cell.right, cell.bottom);
  mesh_.setUv(base + 3, cell.right, cell.top);
}

void BitmapText::setText(const char* text) {
  if (text == nullptr) text = "";
  uint32_t i = 0;
  while (text[i] != '\0' && i < slotCount_ && i < kMaxCharacters) {
    updateGlyph(i, text[i]);
    ++i;
  }
  while (text[i] != '\0' && i < kMaxCharacters) {
    appendGlyph(i, text[i]);
    ++i;
  }
  if (slotCount_ < i) {
    slotCount_ = i;
    mesh_.updateCounts();
  } else {
    mesh_.setCounts(12 * i, 12 * i, 6 * i, 8 * i);
  }
  mesh_.uploadBuffers();
}

void BitmapText::setColour(float r, float g, float b) {
  colour_ = Vec3(r, g, b);
  const uint32_t vertices = mesh_.colourCount() / 3;
  for (uint32_t i = 0; i < vertices; ++i) mesh_.setColour(i, r, g, b);
  mesh_.uploadBuffers();
}

void BitmapText::draw() {
  if (camera_ == nullptr) return;
  loadMatrix(modelMatrix_, camera_->view());
  translate(modelMatrix_, position_.x, position_.y, position_.z);
  rotateZ(modelMatrix_, static_cast<float>(angle_ * kDegreesToRadians));
  setProduct(modelMatrix_, camera_->projection(), modelMatrix_);
  if (font_ != nullptr) font_->bind();
  mesh_.draw(modelMatrix_);
}

}  // namespace dravik
