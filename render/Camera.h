#pragma once

#include "render/Math.h"

namespace dravik {

// A view matrix followed by a projection matrix; the owner sets both before
// use. The view is the first member, so a pointer to the camera is also a
// pointer to its view.
class Camera {
 public:
  void resetView();
  void resetProjection();
  // Writes six elements of the projection; a zero depth range, zero sine of
  // the half angle or zero aspect leaves it untouched.
  void setPerspective(float fovyDegrees, float aspect, float nearPlane, float farPlane);
  // Writes six elements of the projection (call resetProjection first).
  void setOrtho(float left, float right, float bottom, float top, float nearPlane, float farPlane);
  void setLookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ,
                 float upX, float upY, float upZ);

  Mat4& view() { return view_; }
  const Mat4& view() const { return view_; }
  Mat4& projection() { return projection_; }
  const Mat4& projection() const { return projection_; }

 private:
  Mat4 view_;
  Mat4 projection_;
};

}  // namespace dravik
