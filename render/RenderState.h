#pragma once

namespace dravik {

// Facade over four GL state calls; each operation issues exactly one.
class RenderState {
 public:
  void setDepthTest(bool on) const;
  void clear() const;
  void setDepthWrite(bool on) const;
  void setViewport(int x, int y, int width, int height) const;
};

}  // namespace dravik
