#include "mesh/Mesh.h"

#include <algorithm>

#include "gl/GlApi.h"

namespace dravik {

Mesh::~Mesh() {
  if (buffersCreated_ && glentry::contextAvailable()) {
    deleteBuffers();
  }
}

bool Mesh::loadFile(const std::string& name) {
  if (name.find(".json", 1) != std::string::npos) {
    return loadJson(name);
  }
  return loadBinary(name);
}

void Mesh::clear() {
  positions_.clear();
  colours_.clear();
  indices_.clear();
  uvs_.clear();
  animation_.reset();
  positionCount_ = colourCount_ = indexCount_ = uvCount_ = 0;
}

void Mesh::addVertex(float x, float y, float z) {
  positions_.push_back(x);
  positions_.push_back(y);
  positions_.push_back(z);
}

void Mesh::addColour(float r, float g, float b) {
  colours_.push_back(r);
  colours_.push_back(g);
  colours_.push_back(b);
}

void Mesh::addTriangle(int a, int b, int c) {
  indices_.push_back(static_cast<uint16_t>(a));
  indices_.push_back(static_cast<uint16_t>(b));
  indices_.push_back(static_cast<uint16_t>(c));
}

void Mesh::addUv(float u, float v) {
  uvs_.push_back(u);
  uvs_.push_back(v);
}

void Mesh::setColour(uint32_t vertex, float r, float g, float b) {
  const std::size_t at = std::size_t{vertex} * 3;
  if (at + 3 > colours_.size()) return;
  colours_[at] = r;
  colours_[at + 1] = g;
  colours_[at + 2] = b;
}

void Mesh::setUv(uint32_t vertex, float u, float v) {
  const std::size_t at = std::size_t{vertex} * 2;
  if (at + 2 > uvs_.size()) return;
  uvs_[at] = u;
  uvs_[at + 1] = v;
}

void Mesh::updateCounts() {
  positionCount_ = static_cast<uint32_t>(positions_.size());
  colourCount_ = static_cast<uint32_t>(colours_.size());
  indexCount_ = static_cast<uint32_t>(indices_.size());
  uvCount_ = static_cast<uint32_t>(uvs_.size());
}

void Mesh::setCounts(uint32_t positionCount, uint32_t colourCount, uint32_t indexCount,
                     uint32_t uvCount) {
  // A count past its array would make the uploads read beyond it.
  positionCount_ = std::min(positionCount, static_cast<uint32_t>(positions_.size()));
  colourCount_ = std::min(colourCount, static_cast<uint32_t>(colours_.size()));
  indexCount_ = std::min(indexCount, static_cast<uint32_t>(indices_.size()));
  uvCount_ = std::min(uvCount, static_cast<uint32_t>(uvs_.size()));
}

}  // namespace dravik
