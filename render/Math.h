// Vectors, the column-major 4 x 4 matrix handed to GL untransposed, and the
// model-matrix operations. The operations post-multiply: the last one issued
// acts first on the vertices.
#pragma once

namespace dravik {

// Degrees to radians, as the game has always converted them (slightly
// below pi / 180).
constexpr double kDegreesToRadians = 0.017453292519943;

struct Vec2 {
  float x = 0.0f;
  float y = 0.0f;
  Vec2() = default;
  Vec2(float x_, float y_) : x(x_), y(y_) {}
};

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  Vec3() = default;
  Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

float lengthSquared(const Vec2& v);
Vec3 cross(const Vec3& a, const Vec3& b);

// Element (row r, column c) is m[4c + r]; translation at 12, 13, 14.
struct Mat4 {
  float m[16] = {};
  float& operator[](int i) { return m[i]; }
  float operator[](int i) const { return m[i]; }
};

void identity(Mat4& target);
// output := a x b. output must be neither a nor b.
void multiply(const Mat4& a, const Mat4& b, Mat4& output);
// target := a x b, reading all inputs first, so target may be a or b.
void setProduct(Mat4& target, const Mat4& a, const Mat4& b);
void translate(Mat4& target, float x, float y, float z);
void rotateZ(Mat4& target, float angle);
// The axis is used as given (callers pass a unit vector).
void rotateAxis(Mat4& target, float angle, float x, float y, float z);
void scale(Mat4& target, float sx, float sy, float sz);
void loadMatrix(Mat4& target, const Mat4& source);

}  // namespace dravik
