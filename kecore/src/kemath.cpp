// kemath.cpp - vectors, matrices and overlap tests for the engine and game, with the library
// functions taken in double precision as the game was tuned with them; sine and cosine are our
// own, so that a battle computes the same bits in every build.
#include "kemath.h"

#include <cmath>

namespace {

// pi/2 in three parts of 33 bits each: k times a part is exact for any k below 2^20.
const double kHalfPi1 = 1.57079632673412561417e+00;
const double kHalfPi2 = 6.07710050630396597660e-11;
const double kHalfPi3 = 2.02226624871116645580e-21;
const double kTwoOverPi = 6.36619772367581382433e-01;
const double kLargest = 1.0e9;  // beyond this the reduction has no bits left to give

// Taylor series to the 13th and 14th power over |r| <= pi/4: far more exact than a float needs.
// Horner's rule over r^2, highest power first.
const double kSinTerms[] = {1.0 / 6227020800.0, -1.0 / 39916800.0, 1.0 / 362880.0,
                            -1.0 / 5040.0, 1.0 / 120.0, -1.0 / 6.0};
const double kCosTerms[] = {1.0 / 87178291200.0, -1.0 / 479001600.0, 1.0 / 3628800.0,
                            -1.0 / 40320.0, 1.0 / 720.0, -1.0 / 24.0, 0.5};

template <size_t N>
double Horner(const double (&terms)[N], double r2) {
  double p = terms[0];
  for (size_t i = 1; i < N; ++i) p = p * r2 + terms[i];
  return p;
}

double SinNear(double r) { return r + r * (r * r) * Horner(kSinTerms, r * r); }
double CosNear(double r) { return 1.0 - (r * r) * Horner(kCosTerms, r * r); }

// The sine of x shifted by quarter turns: only + - * / and conversions, each rounded as IEEE 754
// prescribes, where C libraries' sinf and cosf differ in the last bit.
float SinQuarters(float x, int quarters) {
  double d = x;
  if (!(std::fabs(d) < kLargest)) return x - x;  // NaN for infinities and NaN
  double q = d * kTwoOverPi;
  long long k = (long long)(q < 0 ? q - 0.5 : q + 0.5);
  double r = ((d - (double)k * kHalfPi1) - (double)k * kHalfPi2) - (double)k * kHalfPi3;
  switch ((int)(((k + quarters) % 4 + 4) % 4)) {
    case 0: return (float)SinNear(r);
    case 1: return (float)CosNear(r);
    case 2: return (float)-SinNear(r);
    default: return (float)-CosNear(r);
  }
}

}  // namespace

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
  return SinQuarters(x, 1);
}

float MathSin(float x) {
  return SinQuarters(x, 0);
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
