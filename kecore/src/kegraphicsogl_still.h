// kegraphicsogl_still.h - the renderer's still layers: the run of draws a frame opens with that
// the last frame opened with too is kept as a picture, and copied at once instead of drawn again.
#pragma once
#include <cstdint>

#include "kegraphics.h"

// Everything that decides a draw's pixels, compared byte for byte (made with GfxDrawOf, which
// zeroes the padding too).
struct GfxDrawKey {
  uint32_t mesh, texture;  // serials; 0: no texture
  Mtx44 model, viewProj;
  Mtx33 texTransform;
  uint32_t modColor, fillPaths;
  int32_t useModColor, blend, viewW, viewH;
};
struct GfxDraw {
  GfxDrawKey key;
  Mesh* mesh;
  Texture* texture;
};

// Given by the renderer (kegraphicsogl.cpp).
GfxDraw GfxDrawOf(Mesh* mesh);    // the draw of mesh with the render state as it stands
void GfxDrawNow(const GfxDraw& draw);  // with the draw's own state; the current one is kept

void GfxStillFrameStart();        // at the frame's clear
void GfxStillSubmit(const GfxDraw& draw);
void GfxStillFlush();             // what is held back is drawn: anything else may now touch the frame
void GfxStillFrameEnd();          // the frame's own draws are given
void GfxStillFree();
