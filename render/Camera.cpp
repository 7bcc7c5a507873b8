#include "render/Camera.h"

#include <cmath>

namespace dravik {

void Camera::resetView() { identity(view_); }
void Camera::resetProjection() { identity(projection_); }

void Camera::setPerspective(float fovyDegrees, float aspect, float nearPlane, float farPlane) {
  const float half = static_cast<float>((fovyDegrees / 2.0f) * kDegreesToRadians);
  const float depth = farPlane - nearPlane;
  const float s = std::sin(half);
  if (depth == 0.0f || s == 0.0f || aspect == 0.0f) return;
  const float cot = std::cos(half) / s;
  projection_.m[0] = cot / aspect;
  projection_.m[5] = cot;
  projection_.m[10] = -(farPlane + nearPlane) / depth;
  projection_.m[11] = -1.0f;
  projection_.m[14] = -2.0f * nearPlane * farPlane / depth;
  projection_.m[15] = 0.0f;
}

void Camera::setOrtho(float left, float right, float bottom, float top, float nearPlane,
                      float farPlane) {
  projection_.m[0] = 2.0f / (right - left);
  projection_.m[5] = 2.0f / (top - bottom);
  projection_.m[10] = -2.0f / (farPlane - nearPlane);
  projection_.m[12] = -(right + left) / (right - left);
  projection_.m[13] = -(top + bottom) / (top - bottom);
  projection_.m[14] = -(farPlane + nearPlane) / (farPlane - nearPlane);
}

namespace {
Vec3 normalised(const Vec3& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return Vec3(v.x / length, v.y / length, v.z / length);
}
}  // namespace

void Camera::setLookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY,
                       float centreZ, float upX, float upY, float upZ) {
  const Vec3 f = normalised(Vec3(centreX - eyeX, centreY - eyeY, centreZ - eyeZ));
  const Vec3 s = normalised(cross(f, Vec3(upX, upY, upZ)));
  const Vec3 u = normalised(cross(s, f));
  Mat4 m;
  identity(m);
  m.m[0] = s.x;
  m.m[4] = s.y;
  m.m[8] = s.z;
  m.m[1] = u.x;
  m.m[5] = u.y;
  m.m[9] = u.z;
  m.m[2] = -f.x;
  m.m[6] = -f.y;
  m.m[10] = -f.z;
  m.m[3] = m.m[7] = m.m[11] = 0.0f;
  m.m[12] = m.m[13] = m.m[14] = 0.0f;
  m.m[15] = 1.0f;
  Mat4 t;
  identity(t);
  t.m[12] = -eyeX;
  t.m[13] = -eyeY;
  t.m[14] = -eyeZ;
  multiply(m, t, view_);
}

}  // namespace dravik
