// kegraphicsogl_trim.cpp - trimmed sprites: a quad drawn only over the part of its picture that is
// not wholly transparent, which under alpha blending leaves every other pixel as it was anyway.
#include "kegraphicsogl_trim.h"

#include <cmath>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

const int kCell = 8;              // texels a side of the map's cells
const int kMargin = 2;            // texels kept round what is lit: the bilinear filter's reach
const float kWorthShare = 0.85f;  // a trim keeping more of the quad than this is not worth it

// Which cells of a picture hold a texel with alpha above 0. The cells along each edge also count
// the opposite edge's, since a repeating texture's filter reaches across.
struct LitMap {
  int w = 0, h = 0, cols = 0, rows = 0;
  std::vector<uint8_t> lit;
};
struct TrimState {
  std::unordered_map<uint32_t, LitMap> maps;  // by texture serial
};
TrimState gTrim;

LitMap BuildMap(int w, int h, const uint8_t* rgba) {
  LitMap m;
  m.w = w, m.h = h, m.cols = (w + kCell - 1) / kCell, m.rows = (h + kCell - 1) / kCell;
  m.lit.assign((size_t)m.cols * m.rows, 0);
  const uint64_t alpha = 0xFF000000FF000000ull;  // two texels' alpha bytes, little-endian
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = rgba + (size_t)y * w * 4;
    uint8_t* cells = &m.lit[(size_t)(y / kCell) * m.cols];
    int whole = w / kCell;
    for (int c = 0; c < whole; ++c) {  // a cell's eight texels of a row, read as four words
      uint64_t q[4];
      memcpy(q, row + (size_t)c * kCell * 4, sizeof q);
      cells[c] |= ((q[0] | q[1] | q[2] | q[3]) & alpha) != 0;
    }
    for (int x = whole * kCell; x < w; ++x) cells[whole] |= row[x * 4 + 3] != 0;
  }
  for (int r = 0; r < m.rows; ++r) {
    uint8_t& a = m.lit[(size_t)r * m.cols];
    uint8_t& b = m.lit[(size_t)r * m.cols + m.cols - 1];
    a = b = a | b;
  }
  for (int c = 0; c < m.cols; ++c) {
    uint8_t& a = m.lit[c];
    uint8_t& b = m.lit[(size_t)(m.rows - 1) * m.cols + c];
    a = b = a | b;
  }
  return m;
}

// The cells the filter may read from texels [t0, t1): one texel beyond them too, since at a sheet
// frame's edge the next frame's texels bleed in and must be drawn as they were.
int FirstCell(int t0) { return (t0 > 0 ? t0 - 1 : 0) / kCell; }
int LastCell(int t1, int cells) {
  int c = t1 / kCell;
  return c < cells ? c : cells - 1;
}

// The lit part of texels [x0, x1) x [y0, y1), kMargin wider and kept inside them; false: none.
bool LitPart(const LitMap& m, int* x0, int* y0, int* x1, int* y1) {
  int cx0 = m.cols, cy0 = m.rows, cx1 = -1, cy1 = -1;
  for (int cy = FirstCell(*y0); cy <= LastCell(*y1, m.rows); ++cy)
    for (int cx = FirstCell(*x0); cx <= LastCell(*x1, m.cols); ++cx)
      if (m.lit[(size_t)cy * m.cols + cx]) {
        cx0 = cx < cx0 ? cx : cx0, cx1 = cx > cx1 ? cx : cx1;
        cy0 = cy < cy0 ? cy : cy0, cy1 = cy > cy1 ? cy : cy1;
      }
  if (cx1 < 0) return false;
  int lx0 = cx0 * kCell - kMargin, ly0 = cy0 * kCell - kMargin;
  int lx1 = (cx1 + 1) * kCell + kMargin, ly1 = (cy1 + 1) * kCell + kMargin;
  *x0 = lx0 > *x0 ? lx0 : *x0, *y0 = ly0 > *y0 ? ly0 : *y0;
  *x1 = lx1 < *x1 ? lx1 : *x1, *y1 = ly1 < *y1 ? ly1 : *y1;
  return *x1 > *x0 && *y1 > *y0;
}

// One axis of the trim: the quad's [q0, q1] carries texture coordinate t0 at q0 and t1 at q1,
// which the texture transform takes to s * t + o; the lit texture coordinates [l0, l1] come back
// as a scale and offset for that axis of the model (a, b) and the texture transform (c).
void Axis(float q0, float q1, float t0, float t1, float s, float o, float l0, float l1, float* a,
          float* b, float* c) {
  float k = (t1 - t0) / (q1 - q0);
  float p0 = q0 + ((l0 - o) / s - t0) / k, p1 = q0 + ((l1 - o) / s - t0) / k;
  if ((p1 - p0) * (q1 - q0) < 0) std::swap(p0, p1);  // keep the quad's own direction
  *a = (p1 - p0) / (q1 - q0);
  *b = p0 - *a * q0;
  *c = t0 * (1 - *a) + (p0 - q0) * k;
}

}  // namespace

void GfxTrimTextureAdd(const Texture* t, const uint8_t* rgba) {
  if (t && rgba && t->width > 0 && t->height > 0)
    gTrim.maps[t->serial] = BuildMap(t->width, t->height, rgba);
}

void GfxTrimTextureRemove(const Texture* t) {
  if (t) gTrim.maps.erase(t->serial);
}

GfxTrimResult GfxTrim(const GfxQuad& q, const Texture* t, Mtx44* model, Mtx33* tex) {
  if (!q.valid || !t) return GFX_TRIM_WHOLE;
  auto it = gTrim.maps.find(t->serial);
  const Mtx33& m = *tex;
  if (it == gTrim.maps.end() || m.m[0][1] != 0 || m.m[1][0] != 0 || m.m[0][0] == 0 ||
      m.m[1][1] == 0)
    return GFX_TRIM_WHOLE;
  const LitMap& lit = it->second;
  float ua = m.m[0][0] * q.u0 + m.m[0][2], ub = m.m[0][0] * q.u1 + m.m[0][2];
  float va = m.m[1][1] * q.v0 + m.m[1][2], vb = m.m[1][1] * q.v1 + m.m[1][2];
  float u0 = fminf(ua, ub), u1 = fmaxf(ua, ub), v0 = fminf(va, vb), v1 = fmaxf(va, vb);
  const float e = 1e-5f;  // beyond the picture the texture repeats: left whole
  if (!(u0 >= -e && v0 >= -e && u1 <= 1 + e && v1 <= 1 + e)) return GFX_TRIM_WHOLE;
  int x0 = (int)floorf(u0 * lit.w + e), x1 = (int)ceilf(u1 * lit.w - e);
  int y0 = (int)floorf(v0 * lit.h + e), y1 = (int)ceilf(v1 * lit.h - e);
  x0 = x0 < 0 ? 0 : x0, y0 = y0 < 0 ? 0 : y0;
  x1 = x1 > lit.w ? lit.w : x1, y1 = y1 > lit.h ? lit.h : y1;
  if (x1 <= x0 || y1 <= y0) return GFX_TRIM_WHOLE;
  int area = (x1 - x0) * (y1 - y0);
  if (!LitPart(lit, &x0, &y0, &x1, &y1)) return GFX_TRIM_NOTHING;
  if ((x1 - x0) * (y1 - y0) > kWorthShare * area) return GFX_TRIM_WHOLE;
  float l0 = fmaxf((float)x0 / lit.w, u0), l1 = fminf((float)x1 / lit.w, u1);
  float k0 = fmaxf((float)y0 / lit.h, v0), k1 = fminf((float)y1 / lit.h, v1);
  float ax, bx, cx, ay, by, cy;
  Axis(q.x0, q.x1, q.u0, q.u1, m.m[0][0], m.m[0][2], l0, l1, &ax, &bx, &cx);
  Axis(q.y0, q.y1, q.v0, q.v1, m.m[1][1], m.m[1][2], k0, k1, &ay, &by, &cy);
  Mtx44& d = *model;
  for (int r = 0; r < 4; ++r) {
    d.m[r][3] += d.m[r][0] * bx + d.m[r][1] * by;
    d.m[r][0] *= ax, d.m[r][1] *= ay;
  }
  Mtx33& s = *tex;
  for (int r = 0; r < 3; ++r) {
    s.m[r][2] += s.m[r][0] * cx + s.m[r][1] * cy;
    s.m[r][0] *= ax, s.m[r][1] *= ay;
  }
  return GFX_TRIM_PART;
}

GfxQuad GfxQuadOf(const float* v, uint32_t count, int stride) {
  GfxQuad q = {};
  if (count != 6) return q;
  float x0 = v[0], x1 = v[0], y0 = v[1], y1 = v[1];
  for (uint32_t i = 1; i < count; ++i) {
    const float* p = v + i * stride;
    x0 = fminf(x0, p[0]), x1 = fmaxf(x1, p[0]), y0 = fminf(y0, p[1]), y1 = fmaxf(y1, p[1]);
  }
  if (!(x1 > x0 && y1 > y0)) return q;
  bool seen[4] = {false, false, false, false};  // u at x0, u at x1, v at y0, v at y1
  float at[4] = {0, 0, 0, 0};
  int corners[2] = {0, 0};  // each triangle's corners, a bit each: right + 2 * top
  for (uint32_t i = 0; i < count; ++i) {
    const float* p = v + i * stride;
    bool left = p[0] == x0, bottom = p[1] == y0;
    if ((!left && p[0] != x1) || (!bottom && p[1] != y1)) return q;
    int iu = left ? 0 : 1, iv = bottom ? 2 : 3;
    if ((seen[iu] && at[iu] != p[7]) || (seen[iv] && at[iv] != p[8])) return q;
    seen[iu] = seen[iv] = true, at[iu] = p[7], at[iv] = p[8];
    corners[i / 3] |= 1 << ((left ? 0 : 1) + (bottom ? 0 : 2));
  }
  // Two triangles cover the rectangle only when they share one diagonal and nothing else.
  int shared = corners[0] & corners[1];
  bool tiled = (corners[0] | corners[1]) == 15 && (shared == 9 || shared == 6) &&
               corners[0] != shared && corners[1] != shared;
  if (!tiled || at[0] == at[1] || at[2] == at[3]) return q;
  return {true, x0, y0, x1, y1, at[0], at[2], at[1], at[3]};
}
