// kemath.h - the small 2D math the engine and game share: vectors, 3x3 and 4x4 row-major
// matrices, distances and centre-based rectangle overlap.
#pragma once

struct Vec2 {
  float x, y;
};

struct Mtx33 {
  float m[3][3];
};

struct Mtx44 {
  float m[4][4];
};

const float MATH_PI = 3.14159265358979323846f;
const float MATH_HALF_PI = MATH_PI / 2;

void MathMtx33Identity(Mtx33& out);
void MathMtx44Identity(Mtx44& out);
void MathMtx44Concat(Mtx44& out, const Mtx44& a, const Mtx44& b);  // out = a x b
void MathVec2Set(Vec2& out, float x, float y);
float MathVec2Distance(const Vec2& a, const Vec2& b);
float MathCos(float x);
float MathSin(float x);
float MathFabs(float x);
float MathSqrt(float x);
// Rectangles by centre, width and height; touching edges count as overlap.
bool MathRectOverlap(const Vec2& ca, float wa, float ha, const Vec2& cb, float wb, float hb);
// Scale, then rotate (radians), then translate.
void MathMtx33ScaleRotTrans(Mtx33& out, float sx, float sy, float rot, float tx, float ty);
