// kegraphicsogl_still.h - the renderer's still layers: the run of draws a frame opens with that
// the last frame opened with too is kept as a picture, and copied at once instead of drawn again.
#pragma once
#include <cstdint>

#include "kegraphics.h"

// Everything that decides a draw's pixels, compared byte for byte: so it has no padding.
struct GfxDrawKey {
  uint32_t mesh, texture;  // serials; 0: no texture
  Mtx44 model, viewProj;
  Mtx33 texTransform;
  uint32_t modColor, fillPaths;
  int32_t useModColor, blend, viewW, viewH;
};
static_assert(sizeof(GfxDrawKey) == 8 * 4 + 2 * sizeof(Mtx44) + sizeof(Mtx33), "no padding");
struct GfxDraw {
  GfxDrawKey key;
  Mesh* mesh;
  Texture* texture;
};

// Given by the renderer (kegraphicsogl.cpp).
GfxDraw GfxDrawOf(Mesh* mesh);         // the draw of mesh with the render state as it stands
void GfxDrawGiven(const GfxDraw& draw);  // drawn as it is given: the state is still its own
void GfxDrawHeld(const GfxDraw& draw);   // drawn later, with its own state; the current one kept

void GfxStillFrameStart();        // at the frame's clear
void GfxStillSubmit(const GfxDraw& draw);
void GfxStillFlush();             // what is held back is drawn: anything else may now touch the frame
void GfxStillFrameEnd();          // the frame's own draws are given
void GfxStillFree();
