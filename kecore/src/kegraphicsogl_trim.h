// kegraphicsogl_trim.h - the renderer's trimmed sprites: a textured quad drawn over only the part
// of its picture that has any alpha, for the same pixels with fewer filled.
#pragma once
#include <cstdint>

#include "kegraphics.h"

// A mesh that is one axis-aligned rectangle whose texture coordinates follow x and y alone.
struct GfxQuad {
  bool valid;
  float x0, y0, x1, y1;  // corners, model space
  float u0, v0, u1, v1;  // texture coordinates at x0 / x1 and y0 / y1
};

enum GfxTrimResult { GFX_TRIM_WHOLE, GFX_TRIM_PART, GFX_TRIM_NOTHING };

GfxQuad GfxQuadOf(const float* vertices, uint32_t count, int stride);  // x y at 0, u v at 7
void GfxTrimTextureAdd(const Texture* t, const uint8_t* rgba);  // as it is uploaded
void GfxTrimTextureRemove(const Texture* t);
// PART: model and tex now draw the quad over its lit part alone; NOTHING: no texel is lit.
GfxTrimResult GfxTrim(const GfxQuad& q, const Texture* t, Mtx44* model, Mtx33* tex);
