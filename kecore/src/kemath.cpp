// kemath.cpp - vectors, matrices and overlap tests for the engine and game, with the library
// functions taken in double precision as the game was tuned with them.
#include "kemath.h"

#include <cmath>

void MathMtx33Identity(Mtx33& out) {
  out = Mtx33{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

void MathMtx44Identity(Mtx44& out) {
  out = Mtx44{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

void MathMtx44Concat(Mtx44& out, const Mtx44& a, const Mtx44& b) {
  Mtx44 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float s = 0;
      for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
      r.m[i][j] = s;
    }
  out = r;
}

void MathVec2Set(Vec2& out, float x, float y) {
  out.x = x;
  out.y = y;
}

float MathVec2Distance(const Vec2& a, const Vec2& b) {
  float dx = a.x - b.x, dy = a.y - b.y;
  return MathSqrt(dx * dx + dy * dy);
}

float MathCos(float x) {
  return (float)cos((double)x);
}

float MathSin(float x) {
  return (float)sin((double)x);
}

float MathFabs(float x) {
  return (float)fabs((double)x);
}

float MathSqrt(float x) {
  return (float)sqrt((double)x);
}

bool MathRectOverlap(const Vec2& ca, float wa, float ha, const Vec2& cb, float wb, float hb) {
  float aLeft = ca.x - wa / 2, aRight = ca.x + wa / 2, aBottom = ca.y - ha / 2, aTop = ca.y + ha / 2;
  float bLeft = cb.x - wb / 2, bRight = cb.x + wb / 2, bBottom = cb.y - hb / 2, bTop = cb.y + hb / 2;
  if (aLeft > bRight || bLeft > aRight) return false;
  if (aBottom > bTop || bBottom > aTop) return false;
  return true;
}

void MathMtx33ScaleRotTrans(Mtx33& out, float sx, float sy, float rot, float tx, float ty) {
  float c = MathCos(rot), s = MathSin(rot);
  out = Mtx33{{{c * sx, -s * sy, tx}, {s * sx, c * sy, ty}, {0, 0, 1}}};
}
