#include "render/Math.h"

#include <cmath>

namespace dravik {

float lengthSquared(const Vec2& v) { return v.x * v.x + v.y * v.y; }

Vec3 cross(const Vec3& a, const Vec3& b) {
  return Vec3(a.y * b.z - b.y * a.z, b.x * a.z - a.x * b.z, a.x * b.y - b.x * a.y);
}

void identity(Mat4& target) {
  for (float& v : target.m) v = 0.0f;
  target.m[0] = target.m[5] = target.m[10] = target.m[15] = 1.0f;
}

void multiply(const Mat4& a, const Mat4& b, Mat4& output) {
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      output.m[4 * c + r] = a.m[r] * b.m[4 * c] + a.m[4 + r] * b.m[4 * c + 1] +
                            a.m[8 + r] * b.m[4 * c + 2] + a.m[12 + r] * b.m[4 * c + 3];
    }
  }
}

void setProduct(Mat4& target, const Mat4& a, const Mat4& b) {
  const Mat4 left = a;
  const Mat4 right = b;
  multiply(left, right, target);
}

namespace {
// target := target x factor
void postMultiply(Mat4& target, const Mat4& factor) { setProduct(target, target, factor); }
}  // namespace

void translate(Mat4& target, float x, float y, float z) {
  Mat4 t;
  identity(t);
  t.m[12] = x;
  t.m[13] = y;
  t.m[14] = z;
  postMultiply(target, t);
}

void rotateZ(Mat4& target, float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  Mat4 r;
  r.m[0] = c;
  r.m[1] = s;
  r.m[4] = -s;
  r.m[5] = c;
  r.m[10] = 1.0f;
  r.m[15] = 1.0f;
  postMultiply(target, r);
}

void rotateAxis(Mat4& target, float angle, float x, float y, float z) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const float t = 1.0f - c;
  Mat4 r;
  r.m[0] = x * x * t + c;
  r.m[1] = x * t * y + s * z;
  r.m[2] = x * t * z - y * s;
  r.m[4] = x * t * y - s * z;
  r.m[5] = c + t * y * y;
  r.m[6] = z * t * y + x * s;
  r.m[8] = x * t * z + y * s;
  r.m[9] = z * t * y - x * s;
  r.m[10] = c + t * z * z;
  r.m[15] = 1.0f;
  postMultiply(target, r);
}

void scale(Mat4& target, float sx, float sy, float sz) {
  Mat4 s;
  s.m[0] = sx;
  s.m[5] = sy;
  s.m[10] = sz;
  s.m[15] = 1.0f;
  postMultiply(target, s);
}

void loadMatrix(Mat4& target, const Mat4& source) { target = source; }

}  // namespace dravik
